// The warning dialog under Wine, answered by the test answerer (tests/support), which
// opens the details and records what both dialogs show. The robot's tests and the
// scenarios meet the fatal dialog, whose end is the one a warning's Exit takes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "log/zynlog.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

// Continue goes on and saves nothing; the cursor shows only while the dialog is up.
TEST(ErrorDialog, WarningShowsItsTextsAndContinueSavesNothing) {
    COMMON_RegisterErrorHooks();
    VAR_Terminate();  // the built-in caption: no variables left by earlier tests
    zyntest::TakeErrorDialogsSeen();
    zyntest::SetErrorDialogAnswer(IDOK);
    zyntest::TempDir dir;
    const std::string log = dir.file("ZYNDEMO.LOG");
    ASSERT_EQ(ZYNLOG_SetFileName(log.c_str()), 0);
    ASSERT_EQ(ZYNLOG_SetValue(ZYNLOG_ROOT_KEY, "made", "before the warning"), 0);
    const int before = zyntest::CursorDisplayCount();
    ZYNERROR_Warning(ERROR_SYS_FILE_READ, "sys32", 310);
    auto seen = zyntest::TakeErrorDialogsSeen();
    ASSERT_EQ(seen.size(), 1u);
    const zyntest::ErrorDialogSeen& s = seen[0];
    EXPECT_EQ(std::string(s.warning ? "warning" : "error") + " | " + s.caption + " | " + s.introduction + " | " +
                  s.detailsCaption + " | " + s.errorText + " | " + s.file + " | " + s.line + " | " + s.value +
                  (s.centred && s.detailsCentred ? " | centred" : " | not centred"),
              "warning | ZYN Install/Uninstall | A warning was generated while running INSTALL. For more information, "
              "choose Details.... Otherwise, press Continue to go on or Exit to quit. | ZYN Install/Uninstall | "
              "ERROR_SYS_FILE_READ: File read failed | sys32 | 310 | -1003 | centred");
    EXPECT_EQ(s.cursorCount, before + 1);
    EXPECT_EQ(zyntest::CursorDisplayCount(), before);
    EXPECT_EQ(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
    ZYNLOG_DeleteValue(ZYNLOG_ROOT_KEY, "made");
    ZYNLOG_SetFileName(nullptr);
}

}  // namespace
