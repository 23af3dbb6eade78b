#include "script/common.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Common, MakeStringCopiesAnInclusiveRange) {
    struct Case {
        int first, last, result;
        const char* expected;
    } const cases[] = {
        {1, 3, 0, "bcd"}, {0, 5, 0, "abcdef"}, {2, 2, 0, "c"}, {3, 2, ERROR_COMMON_BAD_STRING_ARGS, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        char* copy = reinterpret_cast<char*>(1);
        ASSERT_EQ(MakeString("abcdef", c.first, c.last, &copy), c.result);
        if (c.expected == nullptr) {
            EXPECT_EQ(copy, nullptr);
            continue;
        }
        EXPECT_STREQ(copy, c.expected);
        delete[] copy;
    }
}

TEST(Common, IsTrueLooksAtTheFirstCharacterOnly) {
    for (const char* yes : {"Y", "y", "yes", "TRUE", "t", "1", "10", "Yo-yo"}) EXPECT_EQ(COMMON_IsTrue(yes), 1) << yes;
    for (const char* no : {"N", "0", "", "false", "x", " Y", "-1", "on"}) EXPECT_EQ(COMMON_IsTrue(no), 0) << no;
    EXPECT_EQ(COMMON_IsTrue(nullptr), 0);
}

TEST(Common, CompareNoCaseLikeStrncmpOnUpperCase) {
    struct Case {
        const char *a, *b;
        size_t n;
        int result;
    } const cases[] = {
        {"abc", "ABC", 3, 0},
        {"abc", "abd", 3, 'C' - 'D'},
        {"abc", "ABD", 2, 0},
        {"ab", "AB", 10, 0},           // both end equal before n
        {"ab", "abc", 10, 0 - 'C'},    // the shorter ends first
        {"a_", "A`", 2, '_' - '`'},    // only letters fold: '_' and '`' differ
        {"x", "y", 0, 0},
        {"Windows", "WINDOWS\\System", 7, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(COMMON_CompareNoCase(c.a, c.b, c.n), c.result) << c.a << " / " << c.b;
}

TEST(Common, FindNoCaseGivesTheFirstOccurrence) {
    struct Case {
        const char *text, *pattern;
        int at;  // -1: none
    } const cases[] = {
        {"C:\\Program Files\\Demo", "program files", 3},
        {"aAb", "AB", 1},
        {"abc", "", 0},
        {"abc", "abcd", -1},
        {"", "a", -1},
        {"C:\\WINDOWS\\system", "System", 11},
    };
    for (const Case& c : cases) {
        const char* hit = COMMON_FindNoCase(c.text, c.pattern);
        EXPECT_EQ(hit == nullptr ? -1 : static_cast<int>(hit - c.text), c.at) << c.text << " / " << c.pattern;
    }
    EXPECT_EQ(COMMON_FindNoCase(nullptr, "a"), nullptr);
    EXPECT_EQ(COMMON_FindNoCase("a", nullptr), nullptr);
}

TEST(Common, RemoveTrailingBackslashRemovesExactlyOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\dir\\", "C:\\dir"}, {"C:\\dir\\\\", "C:\\dir\\"}, {"C:\\", "C:"}, {"\\", ""}, {"dir", "dir"}, {"", ""},
    };
    for (const auto& [path, expected] : cases) {
        std::string text = path;
        COMMON_RemoveTrailingBackslash(text.data());
        EXPECT_STREQ(text.c_str(), expected) << path;
    }
    COMMON_RemoveTrailingBackslash(nullptr);
}

// Every token COMMON_NextToken yields for text, "<none>" marking the end.
std::vector<std::string> Split(std::string text, const char* delimiters, const char* skip) {
    std::vector<std::string> tokens;
    for (char* token = COMMON_NextToken(text.data(), delimiters, skip); token != nullptr;
         token = COMMON_NextToken(nullptr, delimiters, skip))
        tokens.emplace_back(token);
    return tokens;
}

TEST(Common, NextTokenSplitsInPlaceWithEmptyTokens) {
    using Tokens = std::vector<std::string>;
    struct Case {
        const char *text, *delimiters, *skip;
        Tokens tokens;
    } const cases[] = {
        {"a,,b", ",", " ", {"a", "", "b"}},
        {"a,b,", ",", " ", {"a", "b"}},         // a trailing delimiter gives no last empty token
        {",a", ",", " ", {"", "a"}},
        {",", ",", " ", {""}},
        {"  a , b", ",", " ", {"a ", "b"}},      // skipping is only in front of a token
        {",,x", ",", ",", {"", "", "x"}},       // a delimiter is never skipped
        {"a;b,c", ",;", "", {"a", "b", "c"}},
        {"", ",", " ", {}},
        {"   ", ",", " ", {}},
        {"abc", "", "", {"abc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.text, c.delimiters, c.skip), c.tokens) << "[" << c.text << "]";
}

TEST(Common, NextTokenRemembersOnePositionAndStopsAtTheEnd) {
    char first[] = "a,b";
    EXPECT_STREQ(COMMON_NextToken(first, ",", ""), "a");
    char second[] = "x,y";
    EXPECT_STREQ(COMMON_NextToken(second, ",", ""), "x") << "a new text starts over";
    EXPECT_STREQ(COMMON_NextToken(nullptr, ",", ""), "y");
    EXPECT_EQ(COMMON_NextToken(nullptr, ",", ""), nullptr);
    EXPECT_EQ(COMMON_NextToken(nullptr, ",", ""), nullptr) << "the end stays the end";
    EXPECT_STREQ(first, "a") << "the token was ended in place";
}

}  // namespace
