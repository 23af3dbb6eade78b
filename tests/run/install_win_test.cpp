// Whole install runs on real files: the earlier-install warning, the exclusive-demo gate
// and a bad line's end.
#include "run/install.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "log/zynlog.h"
#include "run/loginst.h"
#include "script/inf.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"
#include "sys/syscheck.h"
#include "sys/zyndisk.h"

namespace {

using zyntest::DialogScript;

// Sections in the reverse of their running order; every other registered section is
// empty, but each must at least have its header.
const std::string kOther = "[Other Files]\nother.txt, Y\n";
const std::string kRest = "[Protection Backup]\n[Rename]\n[Ini Settings]\n[Protection]\n[Modify Files]\n[Registry32]\n"
                          "[Shell]\n[PM Info]\n[Desktop]\n[Validate Files]\n[Register DLLs]\n[Launch]\n";
const std::string kCopies =
    "[Protection Files]\nx, p,, p,, 1, N, N, 0, 1, N, Y, Y\n[Files]\nx, a,, a,, 1, N, N, 0, 1, N, Y, Y\n";

// The fatal dialog a dying run showed, for the parent to match: the clean-up list runs after it.
int ReportFatalDialog() {
    auto seen = zyntest::TakeErrorDialogsSeen();
    std::fprintf(stderr, "fatal %s: %s\n", seen.empty() ? "none" : seen.back().value.c_str(),
                 seen.empty() ? "" : seen.back().errorText.c_str());
    return 0;
}

class InstallRun : public ::testing::Test {
protected:
    void SetUp() override {
        VAR_Init(VAR_DEFAULT_MAX_NUM);
        COMMON_RegisterErrorHooks();
        COMMON_InitSystemVariables();
        CreateDirectoryA(dir_.file("src").c_str(), nullptr);
        for (const char* name : {"a", "p"}) zyntest::WriteFileBytes(dir_.file("src\\") + name, name);
        const char* variables[][2] = {{"SourceDirectory", "$(Work)\\src"}, {"DestinationDirectory", "$(Work)\\dest"},
                                      {"LogFile", "$(Work)\\logs\\zyn.log"}, {"ApplicationName", "Aquarium"},
                                      {"GetLanguage", "N"}, {"InstallName", "Aquarium Setup"}, {"Exclusive", "FALSE"},
                                      {"InstallBulletproofing", "Y"}};
        VAR_Set("Work", dir_.path().c_str());
        for (auto& [name, value] : variables) VAR_Set(name, Expand(value).c_str());
        Script(kRest + kOther + kCopies);
    }
    void TearDown() override {
        WritePrivateProfileStringA("ZYN INSTALL", nullptr, nullptr, "WIN.INI");
        ZYNDISK_SetCreatedHook(nullptr);
        ZYNDISK_SetOverwriteHook(nullptr);
        ZYNLOG_Terminate();
        INF_Terminate();
        VAR_Terminate();
        LANGUAGE_Terminate();  // the run loaded its own library and listed it for clean-up
    }
    static std::string Expand(const char* text) {
        char buffer[1024];
        VAR_Substitute(text, buffer, sizeof buffer);
        return buffer;
    }
    static void Script(std::string text) {
        for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
        INF_Terminate();
        ASSERT_EQ(INF_LoadText(text.c_str(), text.size()), 0);
    }
    // A run answered with OK throughout (the destination page, when it comes up, and the closing message).
    static int Run() {
        DialogScript ok({{IDOK}, {IDOK}});
        return INSTALL_Run();
    }
    zyntest::TempDir dir_;
};

// The records of a whole run are the install-uninstall scenario's.
TEST_F(InstallRun, AnotherInstallThereIsAskedFirst) {
    ASSERT_EQ(Run(), 0);
    const std::string unins = Expand("$(DestinationDirectory)\\unins.ini"), log = Expand("$(LogFile)");

    const std::string before = zyntest::ReadFileBytes(log);
    for (const char* expected : {"Earlier Installation Found", "Files Already Exist"}) {
        DialogScript no({{IDNO}, {IDOK}});
        EXPECT_EQ(LOGINST_Run(), ERROR_INSTALL_NEVER_STARTED);
        EXPECT_EQ(no.Answered().at(0).caption, expected);
        EXPECT_EQ(no.Answered().at(1).caption, "Installation Cancelled");
        EXPECT_EQ(zyntest::ReadFileBytes(log), before);
        WritePrivateProfileStringA("INFO", "DemoID", "7", unins.c_str());  // a demo the log does not know
    }
}

TEST_F(InstallRun, OnlyADemoWithChangesOutsideItsDirectoryIsExclusive) {
    for (const bool outside : {false, true}) {
        VAR_Set("Exclusive", "TRUE");
        VAR_Set("DestinationDirectory", Expand(outside ? "$(Work)\\two" : "$(Work)\\one").c_str());
        Script(kRest + kOther + (outside ? "$(SourceDirectory)\\setup.exe, N\n" : "") + kCopies);
        ASSERT_EQ(Run(), 0);
        EXPECT_EQ(Expand("$(Exclusive)"), outside ? "TRUE" : "FALSE");
        char claimed[MAX_PATH];
        GetPrivateProfileStringA("ZYN INSTALL", "EXCLUSIVE PATH", "", claimed, sizeof claimed, "WIN.INI");
        EXPECT_EQ(claimed, outside ? Expand("$(DestinationDirectory)") : "");
    }
    DialogScript refusal({{IDOK}});
    EXPECT_EQ(INSTALL_Run(), ERROR_INSTALL_NEVER_STARTED);
}


// A bad line ends the run with its code, and the saved log keeps what the line before it did.
TEST_F(InstallRun, ABadLineEndsTheRunAndTheLogKeepsWhatCameBefore) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp) + "zyn-badline.log";  // the same in the dying run
    VAR_Set("LogFile", log.c_str());
    DeleteFileA(log.c_str());
    std::string rest = kRest;
    rest.insert(rest.find("[Protection]"), "ADD, t.ini, s, e, v, , Y, Y\nRENAME, t.ini, s, e, v, , Y, Y\n");
    Script(rest + kOther + kCopies);
    EXPECT_EXIT((MODULE_Register(ReportFatalDialog, 0), Run()), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "fatal -703: ERROR_LOGINI_UNHANDLED");
    EXPECT_NE(zyntest::ReadFileBytes(log).find("ADD,v,ZYNDEFAULT"), std::string::npos);
    DeleteFileA(log.c_str());
}

}  // namespace
