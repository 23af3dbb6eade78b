// The error and warning dialogs under Wine, answered by the test answerer
// (tests/support), which opens the details and records what both dialogs show. The
// robot's tests meet the fatal dialog as a user does.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "log/zynlog.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

constexpr const char* kWarningIntroduction =
    "A warning was generated while running INSTALL. For more information, choose Details.... Otherwise, "
    "press Continue to go on or Exit to quit.";
constexpr const char* kDefaultCaption = "ZYN Install/Uninstall";

std::string Describe(const zyntest::ErrorDialogSeen& s) {
    return std::string(s.warning ? "warning" : "error") + " | " + s.caption + " | " + s.introduction + " | " +
           s.detailsCaption + " | " + s.errorText + " | " + s.file + " | " + s.line + " | " + s.value +
           (s.centred && s.detailsCentred ? " | centred" : " | not centred");
}

// A warning as Describe shows it, with the built-in caption.
std::string Warning(const std::string& text, const std::string& where) {
    return std::string("warning | ") + kDefaultCaption + " | " + kWarningIntroduction + " | " + kDefaultCaption + " | " +
           text + " | " + where + " | centred";
}

// A fatal path ends its process; the clean-up list, which runs after the dialog,
// reports there whether the dialog showed what was expected.
std::string g_expected;
int CompareWhatTheDialogShowed() {
    auto seen = zyntest::TakeErrorDialogsSeen();
    std::string actual = seen.size() == 1 ? Describe(seen[0]) : std::to_string(seen.size()) + " dialogs";
    if (actual == g_expected) {
        std::fputs("dialog as expected\n", stderr);
    } else {
        std::fprintf(stderr, "expected: %s\nactual:   %s\n", g_expected.c_str(), actual.c_str());
    }
    return 0;
}

class ErrorDialog : public ::testing::Test {
protected:
    void SetUp() override {
        COMMON_RegisterErrorHooks();
        MODULE_RunAll();
        VAR_Terminate();  // no caption variables left by earlier tests
        zyntest::TakeErrorDialogsSeen();
        zyntest::SetErrorDialogAnswer(IDOK);
    }
    void TearDown() override {
        VAR_Terminate();
        zyntest::SetErrorDialogAnswer(IDOK);
    }
};

TEST_F(ErrorDialog, WarningExitSavesTheLogAndRunsTheCleanUpListAfterTheDialog) {
    // The death-test child runs this body again: both must name the same file.
    const std::string log = (std::filesystem::temp_directory_path() / "zynerror-warning-exit.log").string();
    std::filesystem::remove(log);
    g_expected = Warning("ERROR_VAR_REPLACE: Couldn't find the VAR.", "var | 9 | -105");
    EXPECT_EXIT(
        {
            zyntest::SetErrorDialogAnswer(IDCANCEL);
            ZYNLOG_SetFileName(log.c_str());
            ZYNLOG_SetValue(ZYNLOG_ROOT_KEY, "made", "before the warning");
            MODULE_Register(CompareWhatTheDialogShowed, 0);
            ZYNERROR_Warning(ERROR_VAR_REPLACE, "var", 9);
            std::fputs("warning returned\n", stderr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(zyntest::kFatalExitCode), "dialog as expected");
    EXPECT_EQ(zyntest::ReadFileBytes(log), "\"made\" = \"before the warning\"\r\n");
    std::filesystem::remove(log);
}

// Continue saves nothing, and the cursor shows only while the dialog is up.
TEST_F(ErrorDialog, WarningContinueSavesNothing) {
    zyntest::TempDir dir;
    const std::string log = dir.file("ZYNDEMO.LOG");
    ASSERT_EQ(ZYNLOG_SetFileName(log.c_str()), 0);
    ASSERT_EQ(ZYNLOG_SetValue(ZYNLOG_ROOT_KEY, "made", "before the warning"), 0);
    const int before = zyntest::CursorDisplayCount();
    ZYNERROR_Warning(ERROR_SYS_FILE_READ, "sys32", 310);
    auto seen = zyntest::TakeErrorDialogsSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(Describe(seen[0]), Warning("ERROR_SYS_FILE_READ: File read failed", "sys32 | 310 | -1003"));
    EXPECT_EQ(seen[0].cursorCount, before + 1);
    EXPECT_EQ(zyntest::CursorDisplayCount(), before);
    EXPECT_EQ(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
    ZYNLOG_DeleteValue(ZYNLOG_ROOT_KEY, "made");
    ZYNLOG_SetFileName(nullptr);
}

}  // namespace
