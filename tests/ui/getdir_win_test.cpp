// The directory dialog's refusals, its browser and the drive check, with real dialogs
// from the English library answered on this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "run/mainwnd.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"
#include "ui/chkpath.h"
#include "ui/getdir.h"
#include "ui/string_ids.h"

namespace {

class GetDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(50), 0);
        VAR_Set("InstallName", "Demo");
        VAR_Set("WindowsDirectory", "C:\\windows");
        VAR_Set("WindowsSystemDirectory", "C:\\windows\\system32");
        VAR_Set("DefaultDirectory", "C:\\DEMO");
        VAR_Set("SourceDirectory", "C:\\MEDIUM\\");
        // Message boxes are owned by the main window's last active popup: the dialog.
        main_ = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        WMINST_SetMainWindow(main_);
    }
    void TearDown() override {
        WMINST_SetMainWindow(nullptr);
        DestroyWindow(main_);
        VAR_Terminate();
    }
    std::string English(int id) {
        char text[2048] = "";
        LoadStringA(english_.get(), static_cast<UINT>(id), text, sizeof text);
        return text;
    }
    zyntest::LanguageLibrary english_;
    HWND main_ = nullptr;
};

// The directory scenario has the text rules' refusals; these are the others.
TEST_F(GetDirectory, RefusalsKeepTheDialogOpenUntilAnAcceptablePath) {
    zyntest::TempDir dir;
    zyntest::WriteFileBytes(dir.file("one.txt"), "x");
    VAR_Set("UninstallCleanDirs", "Y");
    const std::pair<std::string, std::string> cases[] = {  // typed, what the refusal says
        {"", English(IDS_MSG_DEST_EMPTY)},
        {"c:\\medium\\", English(IDS_MSG_DEST_IS_SOURCE)},
        {dir.path(), "This path cannot be used.\n"},
    };
    for (const auto& [typed, says] : cases) {
        SCOPED_TRACE(typed);
        VAR_Delete("DestinationDirectory");
        // The refusal's answer then makes the dialog accept a good path.
        zyntest::DialogScript script({{IDOK, {{1000, typed}}}, {IDOK, {}, IDOK, {{1000, "C:\\GOOD"}}}});
        EXPECT_EQ(GETDIR_Show(0), IDOK);
        ASSERT_EQ(script.Answered().size(), 2u);
        const std::string text = script.Answered()[1].controls.at(0xFFFF);
        EXPECT_EQ(text.substr(0, says.size()), says);
        EXPECT_EQ(text.find("empty") != std::string::npos, typed == dir.path()) << text;
        EXPECT_EQ(zyntest::VarText("DestinationDirectory"), "C:\\GOOD");
    }
    std::string path = dir.file("new");
    EXPECT_EQ(PATH_IsValid(path.data()), 1);  // a directory that does not exist yet is empty
    VAR_Set("UninstallCleanDirs", "N");
    path = dir.path();
    EXPECT_EQ(PATH_IsValid(path.data()), 1);
}

TEST_F(GetDirectory, BrowserHandsItsPathBack) {
    // A browser that failed would leave the text its answer put into the directory dialog.
    zyntest::DialogScript script({{502, {{1000, "C:\\TYPED"}}}, {IDOK, {}, IDOK, {{1000, "C:\\FAILED"}}}});
    EXPECT_EQ(GETDIR_Show(0), IDOK);
    EXPECT_EQ(script.Answered().at(1).controls.count(101), 1u);  // the tree
    EXPECT_EQ(zyntest::VarText("DestinationDirectory"), "C:\\TYPED");
}

// The scenario meets a refused CD-ROM; here a path without a drive letter and a silent check.
TEST_F(GetDirectory, DriveClassesAreRefusedByMask) {
    struct Case { const char* path; int mask; int result; int message; };
    const Case cases[] = {
        {"\\\\SERVER\\SHARE", 0x31, -1, IDS_MSG_DRIVE_UNDETERMINED},
        {"\\\\SERVER\\SHARE", 0x30, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.mask));
        for (int show : {0, 1}) {
            zyntest::DialogScript script;
            if (show && c.message) script.Add({IDOK});
            EXPECT_EQ(DRIVE_CheckType(c.path, c.mask, show), c.result);
            if (show && c.message) {
                EXPECT_EQ(script.Answered().at(0).text, English(c.message));
            }
        }
    }
}

}  // namespace
