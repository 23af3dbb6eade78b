// Whole install runs on real files: section order, records, unins.ini, the earlier-install
// warning and the exclusive-demo gate.
#include "run/install.h"

#include <gtest/gtest.h>

#include <string>

#include "log/zynlog.h"
#include "run/loginst.h"
#include "script/inf.h"
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

// Sections in the reverse of their running order.
const std::string kOther = "[Other Files]\nother.txt, Y\n";
// Every other registered section, empty: each must at least have its header.
const std::string kRest =
    "[Protection Backup]\n[Rename]\n[Ini Settings]\n[Modify Files]\n[Registry32]\n[Shell]\n[Desktop]\n"
    "[Validate Files]\n[Register DLLs]\n[Launch]\n";
const std::string kCopies =
    "[Protection Files]\nx, p,, p,, 1, N, N, 0, 1, N, Y, Y\n[Files]\nx, a,, a,, 1, N, N, 0, 1, N, Y, Y\n";

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
    std::string Records(const char* top) const {
        ZYNLOG_Init(Expand("$(LogFile)").c_str(), ZYNLOG_DEFAULT_AUTOSAVE);
        ZYNLOG_KEY key = nullptr;
        std::string text;
        char name[512], data[64];
        if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, top, &key) == 0 && ZYNLOG_OpenKey(key, "Files", &key) == 0)
            for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i)
                text += std::string(name).substr(dir_.path().size()) + "=" + data + ";";
        ZYNLOG_Terminate();
        return text;
    }
    zyntest::TempDir dir_;
};

TEST_F(InstallRun, SectionsRunInListOrderAnotherInstallThereIsAskedFirstAndAMissingHeaderIsFatal) {
    ASSERT_EQ(Run(), 0);
    // The destination page keeps an accepted path in capitals.
    EXPECT_EQ(Records("Demo 0"), "\\DEST=0;\\DEST\\unins.ini=0;\\DEST\\a=0;\\DEST\\p=0;\\DEST\\other.txt=0;");
    EXPECT_EQ(Records("Common"), "\\logs=0;") << "made before the log was open";
    const std::string unins = Expand("$(DestinationDirectory)\\unins.ini"), log = Expand("$(LogFile)");
    EXPECT_EQ(Profile(unins, "INFO", "DemoID") + "," + Profile(unins, "INFO", "LOGFile"), "0," + log);
    EXPECT_EQ(Profile("WIN.INI", "ZYN INSTALL", "EXCLUSIVE DEMO"), "");

    const std::string before = zyntest::ReadFileBytes(log);
    for (const char* expected : {"Earlier Installation Found", "Files Already Exist"}) {
        DialogScript no({{IDNO}, {IDOK}});
        EXPECT_EQ(LOGINST_Run(), ERROR_INSTALL_NEVER_STARTED);
        EXPECT_EQ(no.Answered().at(0).caption, expected);
        EXPECT_EQ(no.Answered().at(1).caption, "Installation Cancelled");
        EXPECT_EQ(zyntest::ReadFileBytes(log), before);
        WritePrivateProfileStringA("INFO", "DemoID", "7", unins.c_str());  // a demo the log does not know
    }
    // Without its header the Other Files section ends the run when its turn comes.
    VAR_Set("DestinationDirectory", Expand("$(Work)\\fresh").c_str());
    Script(kCopies);
    EXPECT_EXIT(Run(), ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
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

}  // namespace
