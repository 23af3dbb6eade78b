# The product's Windows binaries, all built into bin/ beside each other as they are shipped.
# Included by the top-level list file for Windows builds only.

# ---------------------------------------------------------------------------------------------
# Language resource libraries: res/<language>/<language>.rc becomes bin/<language>.dll.
# They are resource-only DLLs (no code, no entry point, no imports), so the installer can load
# any of them on any Windows version and the uninstaller can carry a renamed copy.
file(GLOB ZYN_LANGUAGE_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*/*.rc)
file(GLOB ZYN_RESOURCE_ID_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*_ids.h)

add_custom_target(zynlanguages ALL)
foreach(rc IN LISTS ZYN_LANGUAGE_RC)
  get_filename_component(lang ${rc} NAME_WE)
  set(obj ${CMAKE_CURRENT_BINARY_DIR}/languages/${lang}.res.o)
  set(dll ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${lang}.dll)
  add_custom_command(
    OUTPUT ${dll}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/languages
    COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_SOURCE_DIR}/src -O coff -i ${rc} -o ${obj}
    # No time stamp, so that an unchanged language rebuilds to the same bytes.
    COMMAND ${CMAKE_C_COMPILER} -shared -nostdlib -s -Wl,-e,0 -Wl,--no-insert-timestamp
            ${obj} -o ${dll}
    DEPENDS ${rc} ${ZYN_RESOURCE_ID_HEADERS}
    COMMENT "Building language library ${lang}.dll"
    VERBATIM)
  add_custom_target(zynlang_${lang} DEPENDS ${dll})
  add_dependencies(zynlanguages zynlang_${lang})
endforeach()

# ---------------------------------------------------------------------------------------------
# The removal helper: a small stand-alone GUI-subsystem program (no window, no console) that
# the installer's temporary copy and the uninstaller start at their end. It shares no code with
# the installer, so it stays small and cannot be held up by the installer's libraries.
add_executable(zynhelper WIN32 ${CMAKE_SOURCE_DIR}/src/helper/helper.cpp)
set_target_properties(zynhelper PROPERTIES OUTPUT_NAME HELPER SUFFIX .EXE)
# Shipped without symbols: a third of the size.
target_link_options(zynhelper PRIVATE -s)
