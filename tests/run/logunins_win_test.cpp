// The uninstall replay on real files: a log made by the Files install handler for two
// demos sharing a file, then each demo removed in turn.
#include "run/logunins.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "log/logcomn.h"
#include "log/logdump.h"
#include "run/helper.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "sections/logfile.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DialogScript;

std::string WindowsFile(const char* name) { return "C:\\windows\\" + std::string(name); }

class UninstallRun : public ::testing::Test {
protected:
    void SetUp() override {
        VAR_Init(VAR_DEFAULT_MAX_NUM);
        fs::create_directories(src_);
        VAR_Set("SourceDirectory", src_.c_str());
        VAR_Set("DestinationDirectory", dest_.c_str());
        VAR_Set("UninstallDirectory", dir_.path().c_str());
        VAR_Set("ApplicationName", "Aquarium");
    }
    void TearDown() override {
        VAR_Terminate();
        DeleteFileA(WindowsFile(HELPER_INI_NAME).c_str());
        HELPER_Reset();
    }
    // Runs the uninstall of demo, answering its messages; returns its result and captions.
    int Run(int demo, std::string* captions) {
        std::string info = dir_.file("unins.ini");
        WritePrivateProfileStringA("INFO", "DemoID", std::to_string(demo).c_str(), info.c_str());
        WritePrivateProfileStringA("INFO", "LOGFile", log_.c_str(), info.c_str());
        DialogScript answers({{IDOK}, {IDOK}});
        int result = LOGUNINS_Run();
        for (const auto& shown : answers.Answered()) *captions += shown.caption + ";";
        return result;
    }
    // The saved log's text; with mystery, a key nobody knows is added to demo 0 or removed.
    std::string Log(int mystery = 0) {
        if (!fs::exists(log_)) return "<none>";
        ZYNLOG_Init(log_.c_str(), 30);
        std::string dump = zyntest::DumpLog();
        ZYNLOG_KEY demo = nullptr, unknown = nullptr;
        ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo);
        if (mystery > 0 && ZYNLOG_CreateKey(demo, "Mystery", &unknown) == 0) ZYNLOG_SetValue(unknown, "m", "0");
        if (mystery < 0) ZYNLOG_DeleteKey(demo, "Mystery");
        ZYNLOG_Terminate();
        return dump;
    }

    zyntest::TempDir dir_;
    zyntest::LanguageLibrary english_;
    std::string src_ = dir_.file("src"), dest_ = dir_.file("dest"), log_ = dir_.file("ZYNDEMO.LOG");
    std::string shared_ = dir_.file("shared.dll"), busy_ = dest_ + "\\busy.txt";
};

TEST_F(UninstallRun, EachDemoTakesOnlyWhatIsItsOwnAndTheLastTakesTheLog) {
    for (const char* name : {"a.txt", "busy.txt", "shared.dll"}) zyntest::WriteFileBytes(src_ + "\\" + name, name);
    ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
    int id = -1;
    LOGCOMN_NewDemo("Other", &id);
    LOGFILE_RecordFile(id, shared_.c_str());
    LOGCOMN_NewDemo("Aquarium", &id);
    std::string script = "[Files]\r\nx, *.txt,, " + dest_ + "\\,, 1, N, N, 0, 1, N, Y, Y\r\nx, shared.dll,, " + shared_ +
                         ",, 1, N, N, 0, 1, N, Y, Y\r\n";
    ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    ASSERT_EQ(LOGFILE_Install(id, "Files", PLIST_INSTALL), 0);
    INF_Terminate();
    ASSERT_EQ(ZYNLOG_Terminate(), 0);

    HANDLE held = CreateFileA(busy_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string captions;
    EXPECT_EQ(Run(1, &captions), 0);
    CloseHandle(held);
    EXPECT_EQ(captions, "Uninstall Complete;");
    EXPECT_FALSE(fs::exists(dest_ + "\\a.txt"));
    EXPECT_TRUE(fs::exists(shared_)) << "demo 0 still uses it";
    std::string shared;
    zyntest::AppendDumpText(shared, shared_.c_str());
    EXPECT_EQ(Log(), R"([HEADER]{"Max Demo"="1""Demo 0"="Other"}[Demo 0]{}[Common]{[Files]{")" + shared + R"("="0"}})");
    std::string list = zyntest::ReadFileBytes(WindowsFile(HELPER_INI_NAME));
    EXPECT_NE(list.find("busy.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("Number=2"), std::string::npos) << "the held file and its folder: " << list;

    // The last demo drops the log at once; a key nobody knows stops it and brings it back.
    Log(1);
    captions.clear();
    EXPECT_EQ(Run(0, &captions), ERROR_LOGUNINS_UNHANDLED_KEY);
    EXPECT_EQ(captions, "Uninstall;");
    EXPECT_TRUE(fs::exists(shared_));
    EXPECT_NE(Log(-1).find("[Mystery]"), std::string::npos);
    EXPECT_EQ(Run(0, &captions), 0);
    EXPECT_FALSE(fs::exists(shared_));
    EXPECT_EQ(Log(), "<none>");
    EXPECT_FALSE(fs::exists(WindowsFile(LOGUNINS_WORK_FILE)));
}

}  // namespace
