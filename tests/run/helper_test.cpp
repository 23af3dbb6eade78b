#include "run/helper.h"

#include <gtest/gtest.h>

namespace {

TEST(HelperText, RestartLibrariesCommandLineAndListPath) {
    // Only the file name counts, whatever the case; a directory of that name or a
    // short name of something else does not.
    struct Restart { const char* path; int restart; } restarts[] = {
        {"C:\\WINDOWS\\SYSTEM\\EVENTM32.DLL", 1}, {"c:\\demo\\AudioM32.Dll", 1}, {"C:eventm32.dll", 1},
        {"C:\\DEMO\\XEVENTM32.DLL", 0}, {"C:\\EVENTM32.DLL\\README.TXT", 0}, {"C:\\DEMO\\EVENTM~1.DLL", 0}};
    for (const Restart& c : restarts) EXPECT_EQ(HELPER_IsRestartLibrary(c.path), c.restart) << c.path;
    struct Line { const char *module, *ini, *line; } lines[] = {
        {"C:\\DEMO\\UNINSTAL.EXE", "C:\\WINDOWS\\helper.ini", "C:\\DEMO\\helper.exe C:\\WINDOWS\\helper.ini"},
        {"C:INST.EXE", "C:\\W\\helper.ini", "C:helper.exe C:\\W\\helper.ini"},
        {"INST.EXE", "helper.ini", "helper.exe helper.ini"}};
    for (const Line& c : lines) EXPECT_EQ(HELPER_MakeCommandLine(c.module, c.ini), c.line) << c.module;
    struct Ini { const char *windows, *ini; } inis[] = {{"C:\\WINDOWS\\", "C:\\WINDOWS\\helper.ini"}, {"C:\\", "C:\\helper.ini"}};
    for (const Ini& c : inis) EXPECT_EQ(HELPER_MakeIniPath(c.windows), c.ini) << c.windows;
}

}  // namespace
