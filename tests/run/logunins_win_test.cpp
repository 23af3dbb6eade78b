// The uninstall replay on real files: a log made by the Files install handler for two
// demos sharing a file, then each demo removed in turn.
#include "run/logunins.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "log/logcomn.h"
#include "log/logdump.h"
#include "run/helper.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"
#include "ui/dialog.h"
#include "ui/status.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DialogScript;

std::string WindowsFile(const char* name) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\" + name;
}

std::string Escaped(const std::string& text) {
    std::string out;
    zyntest::AppendDumpText(out, text.c_str());
    return out;
}

// The saved log as one line, or "<none>" when there is no file.
std::string SavedLog(const std::string& path) {
    if (!fs::exists(path)) return "<none>";
    ZYNLOG_Init(path.c_str(), 30);
    std::string dump = zyntest::DumpLog();
    ZYNLOG_SetFileName(nullptr);
    ZYNLOG_Terminate();
    return dump;
}

class UninstallRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        fs::create_directories(src_);
        fs::create_directories(dest_);
        VAR_Set("SourceDirectory", src_.c_str());
        VAR_Set("DestinationDirectory", dest_.c_str());
        VAR_Set("UninstallDirectory", dest_.c_str());
        VAR_Set("ApplicationName", "Aquarium");
        COMMON_RegisterErrorHooks();
    }
    void TearDown() override {
        STATUS_Terminate();
        ZYNLOG_SetFileName(nullptr);
        ZYNLOG_Terminate();
        VAR_Terminate();
        MSG_SetCaption(-1);
        DeleteFileA(WindowsFile(HELPER_INI_NAME).c_str());
        HELPER_Reset();
    }
    // Demo "Other" (0) records the shared file; "Aquarium" (1) copies it and two of its own.
    void InstallTwoDemos() {
        for (const char* name : {"a.txt", "busy.txt", "shared.dll"}) zyntest::WriteFileBytes(src_ + "\\" + name, name);
        fs::create_directories(fs::path(shared_).parent_path());
        ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
        int id = -1;
        ASSERT_EQ(LOGCOMN_NewDemo("Other", &id), 0);
        LOGFILE_RecordFile(id, shared_.c_str());
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &id), 0);
        std::string script = "[Files]\r\nx, a.txt,, " + dest_ + "\\app\\a.txt,, 1, N, N, 0, 1, N, Y, Y\r\n"
                             "x, busy.txt,, " + dest_ + "\\app\\busy.txt,, 1, N, N, 0, 1, N, Y, Y\r\n"
                             "x, shared.dll,, " + shared_ + ",, 1, N, N, 0, 1, N, Y, Y\r\n";
        ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
        DialogScript none;
        ASSERT_EQ(LOGFILE_Install(id, "Files", PLIST_INSTALL), 0);
        INF_Terminate();
        ASSERT_EQ(ZYNLOG_Terminate(), 0);
    }
    void PointInfoAt(int demo) {
        std::string info = dest_ + "\\unins.ini";
        WritePrivateProfileStringA("INFO", "DemoID", std::to_string(demo).c_str(), info.c_str());
        WritePrivateProfileStringA("INFO", "LOGFile", log_.c_str(), info.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, info.c_str());
    }

    zyntest::TempDir dir_;
    zyntest::LanguageLibrary english_;
    std::string src_ = dir_.file("src"), dest_ = dir_.file("dest"), log_ = dest_ + "\\ZYNDEMO.LOG";
    std::string shared_ = dir_.file("windows\\shared.dll");
};

TEST_F(UninstallRun, EachDemoTakesOnlyWhatIsItsOwnAndTheLastTakesTheLog) {
    InstallTwoDemos();
    PointInfoAt(1);
    std::string busy = dest_ + "\\app\\busy.txt";
    HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(fs::exists(dest_ + "\\app\\a.txt"));
    {
        DialogScript answers({{IDOK}});
        EXPECT_EQ(LOGUNINS_Run(), 0);
        ASSERT_EQ(answers.Answered().size(), 1u);
        EXPECT_EQ(answers.Answered()[0].caption, "Uninstall Complete");
    }
    CloseHandle(held);
    EXPECT_FALSE(fs::exists(dest_ + "\\app\\a.txt"));
    EXPECT_TRUE(fs::exists(shared_)) << "demo 0 still uses it";
    EXPECT_EQ(SavedLog(log_), "[HEADER]{\"Max Demo\"=\"1\"\"Demo 0\"=\"Other\"}[Demo 0]{}"
                              "[Common]{[Files]{\"" + Escaped(shared_) + "\"=\"0\"}}");
    std::string list = zyntest::ReadFileBytes(WindowsFile(HELPER_INI_NAME));
    for (char& c : list) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(list.find("busy.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("number=2"), std::string::npos) << "the held file and its folder: " << list;

    // The last demo: its log goes at once, so a key nobody knows brings it back.
    PointInfoAt(0);
    ZYNLOG_Init(log_.c_str(), 30);
    ZYNLOG_KEY demo = nullptr, unknown = nullptr;
    ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo);
    ZYNLOG_CreateKey(demo, "Mystery", &unknown);
    ZYNLOG_SetValue(unknown, "m", "0");
    ASSERT_EQ(ZYNLOG_Terminate(), 0);
    {
        DialogScript answers({{IDOK}});
        EXPECT_EQ(LOGUNINS_Run(), ERROR_LOGUNINS_UNHANDLED_KEY);
        ASSERT_EQ(answers.Answered().size(), 1u);
        EXPECT_EQ(answers.Answered()[0].caption, "Uninstall");
    }
    EXPECT_TRUE(fs::exists(shared_));
    EXPECT_NE(SavedLog(log_).find("[Mystery]"), std::string::npos) << "a second attempt finds what is left";

    ZYNLOG_Init(log_.c_str(), 30);
    ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo);
    ZYNLOG_DeleteKey(demo, "Mystery");
    ASSERT_EQ(ZYNLOG_Terminate(), 0);
    {
        DialogScript answers({{IDOK}});
        EXPECT_EQ(LOGUNINS_Run(), 0);
    }
    EXPECT_FALSE(fs::exists(shared_));
    EXPECT_EQ(SavedLog(log_), "<none>");
    EXPECT_FALSE(fs::exists(WindowsFile(LOGUNINS_WORK_FILE)));
}

TEST_F(UninstallRun, MissingInformationIsToldAndNothingIsCreated) {
    DialogScript answers({{IDOK}, {IDOK}});
    EXPECT_EQ(LOGUNINS_Run(), ERROR_LOGUNINS_INFO_NOT_FOUND);
    ASSERT_EQ(answers.Answered().size(), 2u);
    EXPECT_NE(answers.Answered()[0].text.find("unins.ini"), std::string::npos);
    PointInfoAt(0);
    answers.Add({IDOK});
    answers.Add({IDOK});
    EXPECT_EQ(LOGUNINS_Run(), ERROR_LOGUNINS_INFO_NOT_FOUND) << "a log that is gone";
    EXPECT_FALSE(fs::exists(log_));
    EXPECT_FALSE(fs::exists(WindowsFile(LOGUNINS_WORK_FILE)));
}

}  // namespace
