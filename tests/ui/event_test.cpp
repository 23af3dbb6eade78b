// The event tokenizer and the reading of event lines (the billboards scenario reads the plain ones).
#include "ui/event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> AllTokens(const char* text) {
    std::vector<std::string> tokens;
    char token[EVENT_MAX_LINE];
    for (int rc = EVENT_NextToken(text, token, sizeof token); rc == 0; rc = EVENT_NextToken(nullptr, token, sizeof token))
        tokens.push_back(token);
    return tokens;
}

TEST(EventTokens, SplitAtCommasOutsideQuotesKeepingQuotesAndBackslashes) {
    struct Case { const char* text; std::vector<std::string> tokens; };
    const Case cases[] = {
        {" \tA\n,  ,B\t", {"A", "", "B"}},
        {"\"x, y\", z", {"\"x, y\"", "z"}},
        {"a\\\"b, c", {"a\\\"b", "c"}},  // an escaped quote opens nothing
        {"A,\n", {"A", ""}},             // the line feed the reader adds after a final comma
        {"A,", {"A"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(AllTokens(c.text), c.tokens) << c.text;
}

TEST(EventTokens, TokenNeedsTwoBytesMoreThanItsLength) {
    char token[8];
    EXPECT_EQ(EVENT_NextToken("abcdef", token, 7), ERROR_EVENT_BUFFER_TOO_SMAL);
    EXPECT_EQ(EVENT_NextToken("abcdef", token, 8), 0);
}

TEST(EventLines, ReadIntoWhatTheyAskForOrRefusedWithTheirCodes) {
    struct Case { std::string line; int result; EVENT_KIND kind; std::string name; int x, y; };
    const std::string longName(150, 'x');
    const auto add = EVENT_KIND::AddGraphic, remove = EVENT_KIND::RemoveGraphic, testing = EVENT_KIND::Testing;
    const Case cases[] = {
        {"{add_graphic_type,PICT1,-5, 7px}", 0, add, "PICT1", -5, 7},
        {"{REMOVE_GRAPHIC_TYPE, " + longName + "}", 0, remove, longName.substr(0, 100), 0, 0},
        {"{TESTING_TYPE," + std::string(240, ' ') + "}", 0, testing, "", 0, 0},
        {"{TESTING_TYPE," + std::string(241, ' ') + "}", ERROR_EVENT_BUFFER_TOO_SMAL, testing, "", 0, 0},
        {"{ADD_GRAPHIC_TYPE, PICT1, forty, 60}", ERROR_BMPDISP_EVENT_MISSING_PARAMS, add, "", 0, 0},
    };
    for (const Case& c : cases) {
        EVENT_COMMAND command;
        ASSERT_EQ(EVENT_ParseLine(c.line.c_str(), &command), c.result) << c.line;
        if (c.result != 0) continue;
        EXPECT_EQ(command.kind, c.kind) << c.line;
        EXPECT_EQ(command.name, c.name) << c.line;
        EXPECT_EQ(command.x, c.x) << c.line;
        EXPECT_EQ(command.y, c.y) << c.line;
    }
}

}  // namespace
