// The event tokenizer and the reading of event lines.
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
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"A, B ,C", {"A", "B", "C"}},
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

TEST(EventLines, ReadIntoWhatTheyAskFor) {
    struct Case {
        std::string line;
        EVENT_KIND kind;
        std::string name;
        int x, y;
    };
    const std::string longName(150, 'x');
    const Case cases[] = {
        {"{ADD_GRAPHIC_TYPE, PICT1, 40, 60}", EVENT_KIND::AddGraphic, "PICT1", 40, 60},
        {"{add_graphic_type,PICT1,-5, 7px}", EVENT_KIND::AddGraphic, "PICT1", -5, 7},
        {"{REMOVE_GRAPHIC_TYPE, pict1}", EVENT_KIND::RemoveGraphic, "pict1", 0, 0},
        {"{REMOVE_GRAPHIC_TYPE, " + longName + "}", EVENT_KIND::RemoveGraphic, longName.substr(0, 100), 0, 0},
        {"{TESTING_TYPE, a, \"b, c\"}", EVENT_KIND::Testing, "", 0, 0},
        {"{TESTING_TYPE," + std::string(240, ' ') + "}", EVENT_KIND::Testing, "", 0, 0},
    };
    for (const Case& c : cases) {
        EVENT_COMMAND command;
        ASSERT_EQ(EVENT_ParseLine(c.line.c_str(), &command), 0) << c.line;
        EXPECT_EQ(command.kind, c.kind) << c.line;
        EXPECT_EQ(command.name, c.name) << c.line;
        EXPECT_EQ(command.x, c.x) << c.line;
        EXPECT_EQ(command.y, c.y) << c.line;
    }
}

TEST(EventLines, RefusedWithTheirCodes) {
    struct Case {
        std::string line;
        int result;
    };
    const Case cases[] = {
        {"{ADD_GRAPHIC_TYPE, PICT1, 40}", ERROR_BMPDISP_EVENT_MISSING_PARAMS},
        {"{ADD_GRAPHIC_TYPE, PICT1, forty, 60}", ERROR_BMPDISP_EVENT_MISSING_PARAMS},
        {"{ADD_GRAPHIC_TYPE, PICT1, 40,}", ERROR_BMPDISP_EVENT_MISSING_PARAMS},
        {"{REMOVE_GRAPHIC_TYPE}", ERROR_BMPDISP_EVENT_MISSING_PARAMS},
        {"{SHOW_MOVIE, x}", ERROR_EVENT_NO_HANDLER_FOUND},
        {"{}", ERROR_EVENT_NO_HANDLER_FOUND},
        {"{TESTING_TYPE," + std::string(241, ' ') + "}", ERROR_EVENT_BUFFER_TOO_SMAL},
    };
    for (const Case& c : cases) {
        EVENT_COMMAND command;
        EXPECT_EQ(EVENT_ParseLine(c.line.c_str(), &command), c.result) << c.line;
    }
}

}  // namespace
