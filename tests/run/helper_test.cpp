#include "run/helper.h"

#include <gtest/gtest.h>

namespace {

TEST(HelperText, OnlyTheTwoLoadedLibrariesNeedARestart) {
    struct Case {
        const char* path;
        int restart;
    } cases[] = {
        {"C:\\WINDOWS\\SYSTEM\\EVENTM32.DLL", 1},
        {"C:\\WINDOWS\\SYSTEM\\audiom32.dll", 1},
        {"c:\\demo\\AudioM32.Dll", 1},
        {"eventm32.dll", 1},
        {"C:eventm32.dll", 1},
        {"C:\\DEMO\\EVENTM32.DL_", 0},
        {"C:\\DEMO\\XEVENTM32.DLL", 0},
        {"C:\\DEMO\\EVENTM32.DLL.BAK", 0},
        {"C:\\EVENTM32.DLL\\README.TXT", 0},  // the directory's name does not count
        {"C:\\DEMO\\EVENTM~1.DLL", 0},        // the short name of something else
        {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(HELPER_IsRestartLibrary(c.path), c.restart) << c.path;
}

TEST(HelperText, CommandLineRunsTheHelperBesideTheProgram) {
    struct Case {
        const char* module;
        const char* ini;
        const char* line;
    } cases[] = {
        {"C:\\DEMO\\UNINSTAL.EXE", "C:\\WINDOWS\\helper.ini", "C:\\DEMO\\helper.exe C:\\WINDOWS\\helper.ini"},
        {"C:\\_zyntemp\\INST.EXE", "C:\\WINDOWS\\HELPER.INI", "C:\\_zyntemp\\helper.exe C:\\WINDOWS\\HELPER.INI"},
        {"D:\\INST.EXE", "C:\\WIN\\helper.ini", "D:\\helper.exe C:\\WIN\\helper.ini"},
        {"C:\\PROGRAM FILES\\DEMO\\UNINSTAL.EXE", "C:\\WINDOWS\\helper.ini",
         "C:\\PROGRAM FILES\\DEMO\\helper.exe C:\\WINDOWS\\helper.ini"},
        {"C:INST.EXE", "C:\\W\\helper.ini", "C:helper.exe C:\\W\\helper.ini"},
        {"INST.EXE", "helper.ini", "helper.exe helper.ini"},
    };
    for (const Case& c : cases) EXPECT_EQ(HELPER_MakeCommandLine(c.module, c.ini), c.line) << c.module;
}

TEST(HelperText, IniLivesInTheWindowsDirectory) {
    struct Case {
        const char* windows;
        const char* ini;
    } cases[] = {
        {"C:\\WINDOWS", "C:\\WINDOWS\\helper.ini"},
        {"C:\\WINDOWS\\", "C:\\WINDOWS\\helper.ini"},
        {"C:\\", "C:\\helper.ini"},
        {"", "\\helper.ini"},
    };
    for (const Case& c : cases) EXPECT_EQ(HELPER_MakeIniPath(c.windows), c.ini) << c.windows;
}

}  // namespace
