// Whole install runs on real files: the earlier-install warning, the exclusive-demo gate
// and a bad line's end.
#include "run/install.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "log/zynlog.h"
#include "run/loginst.h"
#include "script/inf.h"
#include "script/module.h"
#include "sections/logreg.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"
#include "sys/syscheck.h"
#include "sys/zyndisk.h"

namespace {

using zyntest::DialogScript;

// A profile file without a folder is the one in the Windows directory.
std::string Profile(const std::string& file, const char* section, const char* key) {
    char value[512];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

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
        const std::string claimed = outside ? Expand("$(DestinationDirectory)") : "";
        EXPECT_EQ(Profile("WIN.INI", "ZYN INSTALL", "EXCLUSIVE PATH"), claimed);
    }
    DialogScript refusal({{IDOK}});
    EXPECT_EQ(INSTALL_Run(), ERROR_INSTALL_NEVER_STARTED);
    EXPECT_NE(refusal.Answered().at(0).text.find("\"Aquarium\""), std::string::npos);
}


// A bad line ends the run with its code and text, and the saved log keeps what the lines
// before it did.
TEST_F(InstallRun, ABadLineEndsTheRunAndTheLogKeepsWhatCameBefore) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp) + "zyn-badline.log";  // the same in the dying run
    const std::string reg = "Software\\ZynBadLine";
    VAR_Set("LogFile", log.c_str());
    VAR_Set("Reg", ("HKEY_CURRENT_USER\\" + reg).c_str());
    // Every backup value name taken beside the value a line overwrites.
    HKEY full = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, (reg + "\\Full").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &full, nullptr);
    if (RegQueryValueExA(full, "ZYN_VALUE_9999", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        RegSetValueExA(full, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "ZYN_VALUE_%04d", i);
            RegSetValueExA(full, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        }
    }
    RegCloseKey(full);
    struct Row { const char *header, *first, *bad, *shown, *kept; };
    const Row rows[] = {
        {"[Ini Settings]\n", "ADD, t.ini, s, e, v, , Y, Y\n", "RENAME, t.ini, s, e, v, , Y, Y\n", "-703: ERROR_LOGINI_UNHANDLED", "ADD,v,ZYNDEFAULT"},
        {"[Registry32]\n", "REG_ADD_KEY, $(Reg)\\K, , , , Y, Y\n", "REG_SET_VALUE, $(Reg)\\Full, REG_SZ, V, new, Y, Y\n",
         "-1816: ERROR_LOGREG_COULDNT_FIND_UNIQUE_VALUE", "KEY_ADDED_BY_ZYN_INSTALL"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bad);
        DeleteFileA(log.c_str());
        std::string rest = kRest;
        rest.replace(rest.find(row.header), std::strlen(row.header), std::string(row.header) + row.first + row.bad);
        Script(rest + kOther + kCopies);
        EXPECT_EXIT((MODULE_Register(ReportFatalDialog, 0), Run()), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                    std::string("fatal ") + row.shown);
        EXPECT_NE(zyntest::ReadFileBytes(log).find(row.kept), std::string::npos);
        WritePrivateProfileStringA("ZYN INSTALL", nullptr, nullptr, "WIN.INI");
        RegDeleteKeyA(HKEY_CURRENT_USER, (reg + "\\K").c_str());
    }
    DeleteFileA(log.c_str());
    LOGREG_DeleteKeyTree(HKEY_CURRENT_USER, reg.c_str());
}

}  // namespace
