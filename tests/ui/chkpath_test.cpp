// The text rules for a destination directory, with the portable character set. A bare
// drive, a semicolon, the Windows directory and capitals are the directory scenario's.
#include <gtest/gtest.h>

#include <string>

#include "ui/chkpath_text.h"

namespace {

TEST(PathRules, AcceptsTrimsAndCapitalisesOrRefuses) {
    struct Case { const char* typed; int valid; const char* after; };  // after: the caller's buffer
    const Case cases[] = {
        {"C:\\DEMO FILES  \\", 1, "C:\\DEMO FILES\\"},
        {"C:\\A \\ \\", 0, "C:\\A \\\\"},  // only the blank right before the final backslash goes
        {"C:\\My Demo (v2) [x]~!@#^_-.", 1, "C:\\MY DEMO (V2) [X]~!@#^_-."},
        {"d:\\caf\xE9", 1, "D:\\CAF\xC9"},
        {"C:\\   ", 0, "C:\\"},
        {"DEMO", 0, "DEMO"},
        {"1:\\DEMO", 0, "1:\\DEMO"},
        {"C:\\DE:MO", 0, "C:\\DE:MO"},
        {"C:\\DEMO\\\\SUB", 0, "C:\\DEMO\\\\SUB"},
        {"\\\\SERVER\\SHARE", 0, "\\\\SERVER\\SHARE"},
        {"C:\\WINDOWSAPPS", 0, "C:\\WINDOWSAPPS"},  // a substring is enough
        {"C:\\WINDOW", 1, "C:\\WINDOW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        char buffer[128];
        snprintf(buffer, sizeof buffer, "%s", c.typed);
        EXPECT_EQ(PATH_CheckText(buffer, "C:\\Windows", "c:\\windowsx\\system32", PATH_Latin1Charset()), c.valid);
        EXPECT_STREQ(buffer, c.after);
    }
    char path[] = "C:\\DEMO";  // unknown Windows directories refuse nothing
    EXPECT_EQ(PATH_CheckText(path, "", "", PATH_Latin1Charset()), 1);
}

}  // namespace
