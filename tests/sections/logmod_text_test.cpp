// The line editor's matching and rewriting rules on texts as CONFIG.SYS and AUTOEXEC.BAT
// hold them.
#include "sections/logmod_text.h"

#include <gtest/gtest.h>

namespace {

TEST(LogmodFlags, WordsAreFoundAnywhereInTheOperation) {
    EXPECT_EQ(LOGMOD_ParseFlags("LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT | LOGMOD_MATCH_DONT_ADD | "
                                "LOGMOD_IGNORE_COMMENTED"),
              LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT | LOGMOD_MATCH_DONT_ADD | LOGMOD_IGNORE_COMMENTED);
    EXPECT_EQ(LOGMOD_ParseFlags("MATCH_FILENAME END"), LOGMOD_MATCH_FILENAME | LOGMOD_END);
    EXPECT_EQ(LOGMOD_ParseFlags("beginning"), 0u) << "the words are case-sensitive";
    EXPECT_EQ(LOGMOD_ParseFlags("REPLACE"), 0u);
}

TEST(LogmodFlags, LastPieceFollowsTheLastBlankBackslashOrColon) {
    EXPECT_EQ(LOGMOD_LastPiece("C:\\WINDOWS\\WIN"), "WIN");
    EXPECT_EQ(LOGMOD_LastPiece("device=C:\\DOS\\NOBREAK.SYS /Q  "), "/Q");
    EXPECT_EQ(LOGMOD_LastPiece("C:\\WINDOWS\\"), "WINDOWS");
    EXPECT_EQ(LOGMOD_LastPiece("win"), "win");
}

struct EditCase {
    const char* name;
    const char* text;
    const char* old_line;
    const char* new_line;  // null: remove the matching line
    unsigned flags;
    const char* result;
    bool matched, written;
};

const EditCase kEdits[] = {
    {"AppendsWithoutAMatch", "A\r\nB\r\n", "X", "N", LOGMOD_END, "A\r\nB\r\nN\r\n", false, true},
    {"InsertsFirstWithBeginning", "A\r\nB\r\n", "X", "N", LOGMOD_BEGINNING, "N\r\nA\r\nB\r\n", false,
     true},
    {"ReplacesASubstringMatch", "A\r\ndevice=X /Q\r\nB\r\n", "device=X", "device=Y", LOGMOD_END,
     "A\r\ndevice=Y\r\nB\r\n", true, true},
    {"SubstringMatchIsCaseSensitive", "DEVICE=X\r\n", "device=X", "N", LOGMOD_END,
     "DEVICE=X\r\nN\r\n", false, true},
    {"MatchExactIgnoresCase", "DEVICE=X\r\n", "device=X", "N", LOGMOD_MATCH_EXACT, "N\r\n", true,
     true},
    {"CommentedLinesNeverMatch", "REM device=X\r\n;device=X\r\n", "device=X", "device=X",
     LOGMOD_IGNORE_COMMENTED, "REM device=X\r\n;device=X\r\ndevice=X\r\n", false, true},
    {"CommentedLinesMatchWithoutTheFlag", "rem device=X\r\n", "device=X", "N", LOGMOD_END,
     "N\r\n", true, true},
    {"FileNameMatchesTheLastPiece", "A\r\nD:\\OTHER\\WIN\r\n", "", "C:\\WINDOWS\\WIN",
     LOGMOD_MATCH_FILENAME, "A\r\nD:\\OTHER\\WIN\r\nC:\\WINDOWS\\WIN\r\n", false, true},
    {"FileNameMatchWithAnOldLine", "A\r\nwin\r\n", "x", "C:\\WINDOWS\\WIN", LOGMOD_MATCH_FILENAME,
     "A\r\nC:\\WINDOWS\\WIN\r\n", true, true},
    {"DontAddLeavesAMatchAlone", "SWITCHES=/N\r\n", "SWITCHES=/N", "SWITCHES=/N",
     LOGMOD_BEGINNING | LOGMOD_MATCH_DONT_ADD, "SWITCHES=/N\r\n", true, false},
    {"DontAddStillAddsWithoutAMatch", "A\r\n", "SWITCHES=/N", "SWITCHES=/N",
     LOGMOD_BEGINNING | LOGMOD_MATCH_DONT_ADD, "SWITCHES=/N\r\nA\r\n", false, true},
    {"EmptyOldLineNeverSearches", "N\r\n", "", "N", LOGMOD_END, "N\r\nN\r\n", false, true},
    {"BlankLinesBeforeTheMatchGoWithIt", "A\r\n\r\n\r\nX\r\nB\r\n", "X", "N", LOGMOD_END,
     "A\r\nN\r\nB\r\n", true, true},
    {"LastLineWithoutBreakIsNotJoined", "A\r\nB", "X", "N", LOGMOD_END, "A\r\nB\r\nN\r\n", false,
     true},
    {"MissingFileBecomesTheNewLine", "", "X", "N", LOGMOD_BEGINNING, "N\r\n", false, true},
    {"RemovalTakesTheLineOut", "A\r\nN\r\nB\r\n", "N", nullptr,
     LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT, "A\r\nB\r\n", true, false},
    {"RemovalWithoutAMatchChangesNothing", "A\r\n", "N", nullptr,
     LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT, "A\r\n", false, false},
};

class LogmodEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(LogmodEdit, RewritesTheText) {
    const EditCase& c = GetParam();
    std::string text = c.text;
    LOGMOD_EDIT edit = LOGMOD_EditText(text, c.old_line, c.new_line, c.flags);
    EXPECT_EQ(text, c.result);
    EXPECT_EQ(edit.matched, c.matched);
    EXPECT_EQ(edit.written, c.written);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogmodEdit, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogmodEditLimits, ALineOver255CharactersEndsTheSearchButIsKept) {
    std::string long_line(256, 'L');
    std::string text = "A\r\n" + long_line + "\r\nX\r\n";
    LOGMOD_EDIT edit = LOGMOD_EditText(text, "X", "N", LOGMOD_END);
    EXPECT_FALSE(edit.matched);
    EXPECT_EQ(text, "A\r\nN\r\n" + long_line + "\r\nX\r\n");
}

}  // namespace
