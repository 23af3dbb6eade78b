// Desktop shortcuts through the shell's link object: names, targets read back from the
// saved links, and their file records.
#include "sections/logdsk.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "sections/logfile.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Target, arguments and working directory of a saved link.
std::string ReadLink(const std::string& path) {
    CoInitialize(nullptr);
    std::string out;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char target[MAX_PATH] = "", args[MAX_PATH] = "", dir[MAX_PATH] = "";
                link->GetPath(target, MAX_PATH, nullptr, 0);
                link->GetArguments(args, MAX_PATH);
                link->GetWorkingDirectory(dir, MAX_PATH);
                out = std::string(target) + "|" + args + "|" + dir;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return out;
}

// The desktop of the test prefix, where the shell itself keeps it: the shell rewrites the
// folder's registry value from its own settings whenever it saves a link.
std::string DesktopFolder() {
    HKEY key = nullptr;
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder;
    RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key);
    RegQueryValueExA(key, "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    return folder;
}

class DesktopSection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.file("DEST").c_str());
        fs::create_directories(dir_.file("DEST"));
        zyntest::WriteFileBytes(dir_.file("DEST\\zyntestaqua.exe"), "MZ");
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
        desktop_ = DesktopFolder();
        ASSERT_FALSE(desktop_.empty());
        Clean();
    }
    void TearDown() override {
        Clean();
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    void Clean() {
        for (const char* name : {"ZynTestAquarium.LNK", "ZynTestAquarium1.LNK", "zyntestaqua.LNK", "Never.LNK"})
            fs::remove(desktop_ + "\\" + name);
    }
    zyntest::TempDir dir_;
    int demo_ = -1;
    std::string desktop_;
};

TEST_F(DesktopSection, LinksGetFreeNamesTheirTargetsAndFileRecords) {
    const std::string script =
        "[Desktop]\r\n"
        "ZynTestAquarium, zyntestaqua.exe, /s /fast,, 0, Y, Y\r\n"
        "ZynTestAquarium, zyntestaqua.exe,,, 0, N, Y\r\n"
        ", zyntestaqua.exe,,, 0, Y, Y\r\n"
        "Never, zyntestaqua.exe,,, 0, Y, N\r\n";
    ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    EXPECT_EQ(LOGDSK_Install(demo_, "Desktop", PLIST_INSTALL), 1);
    const std::string dest = dir_.file("DEST");
    EXPECT_EQ(ReadLink(desktop_ + "\\ZynTestAquarium.LNK"), dest + "\\zyntestaqua.exe|/s /fast|" + dest);
    EXPECT_TRUE(fs::exists(desktop_ + "\\ZynTestAquarium1.LNK"));
    EXPECT_TRUE(fs::exists(desktop_ + "\\zyntestaqua.LNK"));
    EXPECT_FALSE(fs::exists(desktop_ + "\\Never.LNK"));

    // The desktop lies outside the destination: shared file records, except the line
    // that asked not to be recorded.
    ZYNLOG_KEY common = nullptr, files = nullptr;
    ASSERT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(common, LOGFILE_KEY, &files), 0);
    char data[64];
    EXPECT_EQ(ZYNLOG_GetValue(files, (desktop_ + "\\ZynTestAquarium.LNK").c_str(), data, sizeof data), 0);
    EXPECT_EQ(ZYNLOG_GetValue(files, (desktop_ + "\\zyntestaqua.LNK").c_str(), data, sizeof data), 0);
    EXPECT_NE(ZYNLOG_GetValue(files, (desktop_ + "\\ZynTestAquarium1.LNK").c_str(), data, sizeof data), 0);
}

}  // namespace
