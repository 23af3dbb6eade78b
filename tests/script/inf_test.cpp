#include "script/inf.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "script/module.h"

namespace {

using namespace std::string_literals;

class Inf : public ::testing::Test {
protected:
    void TearDown() override {
        INF_Terminate();
        INF_SetEventLines(true);
        INF_SetEventHandler(nullptr);
    }

    static void Load(const std::string& script) { ASSERT_EQ(INF_LoadText(script.data(), script.size()), 0); }

    static int Find(const char* name) {
        std::string copy = name;
        return INF_FindSection(copy.data());
    }

    // The lines read until the end of the section.
    static std::vector<std::string> ReadAll() {
        std::vector<std::string> lines;
        char buffer[256];
        int result;
        while ((result = INF_ReadLine(buffer, sizeof buffer)) == 0) lines.emplace_back(buffer);
        EXPECT_EQ(result, 1);
        return lines;
    }
};

using Lines = std::vector<std::string>;

TEST_F(Inf, ReadLineReturnsOnlyTheSectionsDataLines) {
    const struct {
        const char* what;
        std::string script;
        const char* section;  // null: read from the load position
        Lines expected;
        int found = 0;
    } cases[] = {
        // headers start a line, match whole and in any case; the first of two wins
        {"a name is not a part of a longer header", "[Protection Files]\r\np\r\n[Files2]\r\nf\r\n", "Files", {},
         ERROR_INF_SECTION_NOT_FOUND},
        {"a header not in the first column does not count", " [A]\r\nx\r\n", "A", {}, ERROR_INF_SECTION_NOT_FOUND},
        {"the first of two equal headers wins", "[A]\r\n1\r\n[a]\r\n2\r\n", "A", {"1"}},
        {"the first header of the script", "[A]\nx\r\n", "A", {"x"}},
        {"comments and blank lines are passed over", "[S]\r\n;note\r\n\r\na\r\n\r\n;x\r\nb\r\n", "S", {"a", "b"}},
        {"a semicolon after blanks is data", "[S]\r\n  ;x\r\n", "S", {"  ;x"}},
        {"a bare line feed drops the last character", "[S]\nabc\nde\r\n", "S", {"ab", "de"}},
        {"a final line without line end loses two", "[S]\r\nabc\r\nwxyz", "S", {"abc", "wx"}},
        {"any line starting with [ ends the section", "[S]\r\na\r\n[no header\r\nb\r\n", "S", {"a"}},
        {"a [ later in the line is text", "[S]\r\nx[T]\r\n", "S", {"x[T]"}},
        {"text after the ] of a header is ignored", "[Disks] \r\nd\r\n", "disks", {"d"}},
        {"event lines are not returned", "[S]\r\n{ADD_GRAPHIC_TYPE, P, 1, 2}\r\na\r\n{}\r\n", "S", {"a"}},
        {"brace lines that are not events are data", "[S]\r\n{open\r\n{x} \r\n", "S", {"{open", "{x} "}},
        {"lines before the first header are read from the start", "pre\r\n;c\r\n[S]\r\nx\r\n", nullptr, {"pre"}},
        {"a NUL byte at a line's start gives an empty data line", "[S]\r\n\0x\r\ny\r\n"s, "S", {"", "y"}},
        {"a header and a byte at the very end", "[S]x", "S", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.script);
        if (c.section != nullptr) {
            ASSERT_EQ(Find(c.section), c.found);
        }
        if (c.found != 0) continue;
        EXPECT_EQ(ReadAll(), c.expected);
        char buffer[8] = "junk";
        EXPECT_EQ(INF_ReadLine(buffer, sizeof buffer), 1) << "the end of a section stays the end";
        EXPECT_STREQ(buffer, "");
    }
}

TEST_F(Inf, FindSectionUpperCasesTheName) {
    char name[] = "fIles";  // the caller's name comes back upper-cased
    EXPECT_EQ(INF_FindSection(name), ERROR_INF_SECTION_NOT_FOUND);
    EXPECT_STREQ(name, "FILES");
    EXPECT_EQ(INF_FindSection(nullptr), ERROR_INF_SECTION_NOT_FOUND);
}

// Size - 1 characters fit; the section goes on after a long line. Comments and events
// are measured before they are recognised.
TEST_F(Inf, ALineThatReachesTheBufferSizeIsTooLongAndIsPassed) {
    Load("[S]\r\nabcd\r\nabcde\r\n;comment\r\n{EVENT}\r\nxy\r\n");
    ASSERT_EQ(Find("S"), 0);
    char line[5];
    ASSERT_EQ(INF_ReadLine(line, sizeof line), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(INF_ReadLine(line, sizeof line), ERROR_INF_BUFFER_TOO_SMALL);
        EXPECT_STREQ(line, "");
    }
    ASSERT_EQ(INF_ReadLine(line, sizeof line), 0);
    EXPECT_STREQ(line, "xy");
    ASSERT_EQ(Find("S"), 0);
    EXPECT_EQ(INF_ReadLine(nullptr, 10), ERROR_INF_BUFFER_TOO_SMALL);
}

std::vector<std::string> g_events;
int g_event_result = 0;
int RecordEvent(const char* line) {
    g_events.emplace_back(line);
    return g_event_result;
}

// An event is handled when the reader passes it; a failing one stops the read with its
// code; switched off, event lines have no effect.
TEST_F(Inf, EventLinesGoToTheHandlerInScriptOrderWhileSwitchedOn) {
    g_events.clear();
    g_event_result = 0;
    INF_SetEventHandler(RecordEvent);
    Load("[S]\r\n{ONE}\r\na\r\n{TWO, x}\r\n{THREE}\r\nb\r\n[F]\r\n{BAD}\r\nc\r\n");
    ASSERT_EQ(Find("S"), 0);
    char line[64];
    ASSERT_EQ(INF_ReadLine(line, sizeof line), 0);
    EXPECT_EQ(g_events, Lines({"{ONE}"}));
    EXPECT_EQ(ReadAll(), Lines({"b"}));
    EXPECT_EQ(g_events, Lines({"{ONE}", "{TWO, x}", "{THREE}"}));
    g_event_result = ERROR_EVENT_NO_HANDLER_FOUND;
    ASSERT_EQ(Find("F"), 0);
    EXPECT_EQ(INF_ReadLine(line, sizeof line), ERROR_EVENT_NO_HANDLER_FOUND);
    INF_SetEventLines(false);
    ASSERT_EQ(Find("S"), 0);
    EXPECT_EQ(ReadAll(), Lines({"a", "b"}));
    EXPECT_EQ(g_events.size(), 4u);
}

TEST_F(Inf, ReadTokensCutsALineIntoExactlyNFields) {
    // What, the line, N fields of W bytes, the result and the first fields after the read.
    const std::tuple<const char*, std::string, int, int, int, Lines> cases[] = {
        {"an empty middle token", "a,,b", 3, 256, 0, {"a", "", "b"}},
        {"a trailing comma gives an empty last token", "a,b,", 3, 256, 0, {"a", "b", ""}},
        {"comments and blank lines are passed over", "; Source, Destination\r\n\r\na,b", 2, 256, 0, {"a", "b"}},
        {"blanks and tabs around tokens go, inner blanks stay", " \tScreen Saver Files , a b", 2, 256, 0,
         {"Screen Saver Files", "a b"}},
        {"a quoted comma does not split and quotes stay", "Demo, 1, \"Uninstall $(ApplicationName), now\", Y",
         4, 256, 0, {"Demo", "1", "\"Uninstall $(ApplicationName), now\"", "Y"}},
        {"a backslash-quote does not close", "\"a\\\",b\",c", 2, 256, 0, {"\"a\\\",b\"", "c"}},
        {"an open quote runs to the end of the line", "x,\"a,b", 2, 256, 0, {"x", "\"a,b"}},
        {"a token of W - 1 characters fits", "1234567,x", 2, 8, 0, {"1234567", "x"}},
        {"a token of W characters is too long", "x,12345678", 2, 8, ERROR_INF_BUFFER_TOO_SMALL, {"x", ""}},
        {"trimmed blanks do not count against W", "  1234567  ,x", 2, 8, 0, {"1234567", "x"}},
        {"a line as long as N x W is too long", "abc,defg", 2, 4, ERROR_INF_BUFFER_TOO_SMALL, {"", ""}},
        {"too few tokens keeps those found", "a,b", 3, 256, ERROR_INF_TOO_FEW_TOKENS_FOUND, {"a", "b", ""}},
        {"too many tokens keeps the first N", "a,b,c", 2, 256, ERROR_INF_TOO_MANY_TOKENS_FOUND, {"a", "b"}},
    };
    for (const auto& [what, line, n, w, result, tokens] : cases) {
        SCOPED_TRACE(std::string(what) + ": " + line);
        Load("[T]\r\n" + line + "\r\n");
        ASSERT_EQ(Find("T"), 0);
        std::vector<char> table(static_cast<size_t>(n) * static_cast<size_t>(w), 'X');
        EXPECT_EQ(INF_ReadTokens(table.data(), n, w), result);
        for (size_t k = 0; k < tokens.size(); ++k)
            EXPECT_STREQ(table.data() + k * static_cast<size_t>(w), tokens[k].c_str()) << "field " << k;
        EXPECT_EQ(INF_ReadTokens(table.data(), n, w), 1);
        EXPECT_STREQ(table.data() + static_cast<size_t>(n - 1) * static_cast<size_t>(w), "") << "the end clears";
    }
}

TEST_F(Inf, LineNumbersCountScriptLinesFromOne) {
    Load("; head\r\n[A]\r\n\r\n;c\r\nfirst\r\n{EV}\r\nsecond\r\ntoo long for eight\r\n[B]\nx\n");
    EXPECT_EQ(INF_GetLineNumber(), 0);
    // A search points at its header; the end of a section keeps the last line.
    ASSERT_EQ(Find("A"), 0);
    std::vector<int> numbers = {INF_GetLineNumber()};
    char line[8];
    for (int result : {0, 0, ERROR_INF_BUFFER_TOO_SMALL, 1}) {
        EXPECT_EQ(INF_ReadLine(line, sizeof line), result);
        numbers.push_back(INF_GetLineNumber());
    }
    ASSERT_EQ(Find("b"), 0);
    numbers.push_back(INF_GetLineNumber());
    EXPECT_EQ(numbers, (std::vector<int>{2, 5, 7, 8, 8, 9}));
}

TEST_F(Inf, LoadingEntersTheTerminateOnceAndTerminateLeaves) {
    const int before = MODULE_Count();
    EXPECT_EQ(INF_LoadText(nullptr, 4), ERROR_INF_RESOURCE_NOT_FOUND);
    Load("[A]\r\nx\r\n");
    Load("[B]\r\ny\r\n");
    EXPECT_EQ(MODULE_Count(), before + 1);
    EXPECT_EQ(Find("A"), ERROR_INF_SECTION_NOT_FOUND) << "a reload replaces the script";
    EXPECT_EQ(INF_Terminate(), 0);
    EXPECT_EQ(MODULE_Count(), before);
}

}  // namespace
