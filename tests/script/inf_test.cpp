#include "script/inf.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>


namespace {

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
        {"the first of two equal headers wins", "[A]\r\n1\r\n[a]\r\n2\r\n", "a", {"1"}},
        {"a bare line feed drops the last character", "[S]\nabc\nde\r\n", "S", {"ab", "de"}},
        {"a final line without line end loses two", "[S]\r\nabc\r\nwxyz", "S", {"abc", "wx"}},
        {"any line starting with [ ends the section", "[S]\r\na\r\n[no header\r\nb\r\n", "S", {"a"}},
        {"lines before the first header are read from the start", "pre\r\n;c\r\n[S]\r\nx\r\n", nullptr, {"pre"}},
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

// Size - 1 characters fit; the section goes on after a long line.
TEST_F(Inf, ALineThatReachesTheBufferSizeIsTooLongAndIsPassed) {
    Load("[S]\r\nabcd\r\nabcde\r\nxy\r\n");
    ASSERT_EQ(Find("S"), 0);
    char line[5];
    ASSERT_EQ(INF_ReadLine(line, sizeof line), 0);
    EXPECT_EQ(INF_ReadLine(line, sizeof line), ERROR_INF_BUFFER_TOO_SMALL);
    EXPECT_STREQ(line, "");
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

// A failing event stops the read with its code; switched off, event lines have no
// effect. (The billboard scenario shows events handled in script order.)
TEST_F(Inf, AFailingEventStopsTheReadAndSwitchedOffEventsAreSkipped) {
    g_events.clear();
    g_event_result = ERROR_EVENT_NO_HANDLER_FOUND;
    INF_SetEventHandler(RecordEvent);
    Load("[S]\r\n{ONE}\r\na\r\n{TWO, x}\r\nb\r\n");
    ASSERT_EQ(Find("S"), 0);
    char line[64];
    EXPECT_EQ(INF_ReadLine(line, sizeof line), ERROR_EVENT_NO_HANDLER_FOUND);
    INF_SetEventLines(false);
    ASSERT_EQ(Find("S"), 0);
    EXPECT_EQ(ReadAll(), Lines({"a", "b"}));
    EXPECT_EQ(g_events, Lines({"{ONE}"}));
}

TEST_F(Inf, ReadTokensCutsALineIntoExactlyNFields) {
    // What, the line, N fields of W bytes, the result and the first fields after the read.
    const std::tuple<const char*, std::string, int, int, int, Lines> cases[] = {
        {"a backslash-quote does not close", "\"a\\\",b\",c", 2, 256, 0, {"\"a\\\",b\"", "c"}},
        {"a quoted comma does not split and quotes stay", "Demo, 1, \"Uninstall $(ApplicationName), now\", Y",
         4, 256, 0, {"Demo", "1", "\"Uninstall $(ApplicationName), now\"", "Y"}},
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

}  // namespace
