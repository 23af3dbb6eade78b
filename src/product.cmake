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

# ---------------------------------------------------------------------------------------------
# The installer INSTALL.EXE: entry (winmain), every module (zyncore), its own resources (error
# dialogs, language choice) and the install script as resource TEXT "INSTALL_INF" - here the
# sample demo's. Statically linked like every product binary, so it runs from any folder.
#
# Making an installer for another script needs no rebuild of the tree: bin/pack/ receives
#   winmain.obj          the entry
#   libzyncore.a         every module
#   res/*.res            the executable's own resources (compiled COFF objects)
#   link.txt             the resource compiler, the compiler driver and the link libraries
#   relink.sh SCRIPT.INF OUT.EXE [EXTRA.rc ...]
#                        compiles SCRIPT.INF as TEXT "INSTALL_INF" (and each extra .rc, from
#                        its own folder, e.g. billboard pictures), then links OUT.EXE exactly
#                        as INSTALL.EXE is linked
set(ZYN_PACK_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/pack)
set(ZYN_DEMO_SCRIPT ${CMAKE_SOURCE_DIR}/samples/demo/install.inf)
set(ZYN_INSTALLER_LIBS comctl32 comdlg32 ole32 oleaut32 uuid shell32 gdi32 user32 advapi32 version)
set(ZYN_INSTALLER_LINK_FLAGS -mwindows -static -static-libgcc -static-libstdc++ -s)

add_library(zynwinmain OBJECT ${CMAKE_SOURCE_DIR}/src/run/winmain.cpp)

set(ZYN_DEMO_SCRIPT_RC ${CMAKE_CURRENT_BINARY_DIR}/installer/install_inf.rc)
file(WRITE ${ZYN_DEMO_SCRIPT_RC}.in "INSTALL_INF TEXT \"${ZYN_DEMO_SCRIPT}\"\n")
configure_file(${ZYN_DEMO_SCRIPT_RC}.in ${ZYN_DEMO_SCRIPT_RC} COPYONLY)
# The resource compiler does not report the files a resource statement reads.
set_source_files_properties(${ZYN_DEMO_SCRIPT_RC} PROPERTIES OBJECT_DEPENDS ${ZYN_DEMO_SCRIPT})

add_executable(zyninstall WIN32 ${ZYN_DEMO_SCRIPT_RC} $<TARGET_OBJECTS:zynwinmain> $<TARGET_OBJECTS:zynres>)
set_target_properties(zyninstall PROPERTIES OUTPUT_NAME INSTALL SUFFIX .EXE)
target_link_libraries(zyninstall PRIVATE zyncore)
target_link_options(zyninstall PRIVATE -s)

list(JOIN ZYN_INSTALLER_LIBS " -l" ZYN_PACK_LIBS)
list(JOIN ZYN_INSTALLER_LINK_FLAGS " " ZYN_PACK_FLAGS)
file(GENERATE OUTPUT ${ZYN_PACK_DIR}/link.txt CONTENT
"WINDRES=${CMAKE_RC_COMPILER}
CXX=${CMAKE_CXX_COMPILER}
LDFLAGS=${ZYN_PACK_FLAGS}
LIBS=-l${ZYN_PACK_LIBS}
LINK=$CXX $LDFLAGS -o OUT.EXE SCRIPT.res [EXTRA.res...] res/*.res winmain.obj libzyncore.a $LIBS
")
configure_file(${CMAKE_SOURCE_DIR}/src/relink.sh.in ${ZYN_PACK_DIR}/relink.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

add_custom_command(TARGET zyninstall POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZYN_PACK_DIR}/res
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_OBJECTS:zynres> ${ZYN_PACK_DIR}/res/
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_OBJECTS:zynwinmain> ${ZYN_PACK_DIR}/winmain.obj
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zyncore> ${ZYN_PACK_DIR}/libzyncore.a
  COMMAND_EXPAND_LISTS
  VERBATIM)
