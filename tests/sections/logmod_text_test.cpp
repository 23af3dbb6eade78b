// The line editor's matching and rewriting rules on texts as CONFIG.SYS and AUTOEXEC.BAT
// hold them.
#include "sections/logmod_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LogmodFlags, WordsAreFoundAnywhereInTheOperation) {
    EXPECT_EQ(LOGMOD_ParseFlags("LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT | LOGMOD_MATCH_DONT_ADD | "
                                "LOGMOD_IGNORE_COMMENTED"),
              LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT | LOGMOD_MATCH_DONT_ADD | LOGMOD_IGNORE_COMMENTED);
    EXPECT_EQ(LOGMOD_ParseFlags("MATCH_FILENAME END"), LOGMOD_MATCH_FILENAME | LOGMOD_END);
    EXPECT_EQ(LOGMOD_ParseFlags("beginning"), 0u) << "the words are case-sensitive";
}

TEST(LogmodEdit, RewritesTheText) {
    struct Case {
        const char *text, *old_line, *new_line;  // new_line null: remove the matching line
        unsigned flags;
        const char* result;
        bool matched, written;
    };
    const Case cases[] = {
        {"A\r\nB\r\n", "X", "N", LOGMOD_END, "A\r\nB\r\nN\r\n", false, true},
        {"A\r\nB\r\n", "X", "N", LOGMOD_BEGINNING, "N\r\nA\r\nB\r\n", false, true},
        {"A\r\ndevice=X /Q\r\nB\r\n", "device=X", "device=Y", LOGMOD_END, "A\r\ndevice=Y\r\nB\r\n", true, true},
        // A part of a line matches with case; MATCH_EXACT matches the whole line without.
        {"DEVICE=X\r\n", "device=X", "N", LOGMOD_END, "DEVICE=X\r\nN\r\n", false, true},
        {"DEVICE=X\r\n", "device=X", "N", LOGMOD_MATCH_EXACT, "N\r\n", true, true},
        {"REM device=X\r\n;device=X\r\n", "device=X", "device=X", LOGMOD_IGNORE_COMMENTED,
         "REM device=X\r\n;device=X\r\ndevice=X\r\n", false, true},
        {"rem device=X\r\n", "device=X", "N", LOGMOD_END, "N\r\n", true, true},
        // MATCH_FILENAME compares the last pieces, and only with an old line.
        {"A\r\nD:\\OTHER\\WIN\r\n", "", "C:\\WINDOWS\\WIN", LOGMOD_MATCH_FILENAME,
         "A\r\nD:\\OTHER\\WIN\r\nC:\\WINDOWS\\WIN\r\n", false, true},
        {"A\r\nwin\r\n", "x", "C:\\WINDOWS\\WIN", LOGMOD_MATCH_FILENAME, "A\r\nC:\\WINDOWS\\WIN\r\n", true, true},
        {"SWITCHES=/N\r\n", "SWITCHES=/N", "SWITCHES=/N", LOGMOD_BEGINNING | LOGMOD_MATCH_DONT_ADD,
         "SWITCHES=/N\r\n", true, false},
        {"A\r\n", "SWITCHES=/N", "SWITCHES=/N", LOGMOD_BEGINNING | LOGMOD_MATCH_DONT_ADD, "SWITCHES=/N\r\nA\r\n",
         false, true},
        {"N\r\n", "", "N", LOGMOD_END, "N\r\nN\r\n", false, true},
        // Blank lines before the match go with it; a last line without a break is not joined.
        {"A\r\n\r\n\r\nX\r\nB\r\n", "X", "N", LOGMOD_END, "A\r\nN\r\nB\r\n", true, true},
        {"A\r\nB", "X", "N", LOGMOD_END, "A\r\nB\r\nN\r\n", false, true},
        {"A\r\nN\r\nB\r\n", "N", nullptr, LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT, "A\r\nB\r\n", true, false},
        {"A\r\n", "N", nullptr, LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT, "A\r\n", false, false},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        LOGMOD_EDIT edit = LOGMOD_EditText(text, c.old_line, c.new_line, c.flags);
        EXPECT_EQ(text, c.result) << c.text << " " << c.old_line;
        EXPECT_EQ(edit.matched, c.matched) << c.text << " " << c.old_line;
        EXPECT_EQ(edit.written, c.written) << c.text << " " << c.old_line;
    }
    // A line over 255 characters ends the search but is kept.
    std::string long_line(256, 'L'), text = "A\r\n" + long_line + "\r\nX\r\n";
    EXPECT_FALSE(LOGMOD_EditText(text, "X", "N", LOGMOD_END).matched);
    EXPECT_EQ(text, "A\r\nN\r\n" + long_line + "\r\nX\r\n");
}

}  // namespace
