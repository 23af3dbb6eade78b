#include "script/common.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(Common, CompareAndFindIgnoreTheCaseOfLettersOnly) {
    using Compare = std::tuple<const char*, const char*, size_t, int>;
    for (auto [a, b, n, result] : {Compare{"abc", "ABD", 2, 0}, Compare{"abc", "abd", 3, 'C' - 'D'}, Compare{"x", "y", 0, 0},
                                   Compare{"ab", "abc", 10, 0 - 'C'},   // the shorter ends first
                                   Compare{"a_", "A`", 2, '_' - '`'}})  // '_' and '`' are not letters
        EXPECT_EQ(COMMON_CompareNoCase(a, b, n), result) << a << " / " << b;
    using Find = std::tuple<const char*, const char*, int>;  // -1: none
    for (auto [text, pattern, at] : {Find{"C:\\Program Files\\Demo", "program files", 3}, Find{"aAb", "AB", 1},
                                     Find{"abc", "", 0}, Find{"abc", "abcd", -1}}) {
        const char* hit = COMMON_FindNoCase(text, pattern);
        EXPECT_EQ(hit == nullptr ? -1 : static_cast<int>(hit - text), at) << text << " / " << pattern;
    }
}

// Every token COMMON_NextToken yields for text.
std::vector<std::string> Split(std::string text, const char* delimiters, const char* skip) {
    std::vector<std::string> tokens;
    for (char* token = COMMON_NextToken(text.data(), delimiters, skip); token != nullptr;
         token = COMMON_NextToken(nullptr, delimiters, skip))
        tokens.emplace_back(token);
    return tokens;
}

TEST(Common, NextTokenSplitsInPlaceWithEmptyTokens) {
    using Tokens = std::vector<std::string>;
    using Case = std::tuple<const char*, const char*, const char*, Tokens>;
    for (const auto& [text, delimiters, skip, tokens] :
         {Case{",a,,b", ",", " ", {"", "a", "", "b"}}, Case{"a,b,", ",", " ", {"a", "b"}},  // none after the last delimiter
          Case{"  a , b", ",", " ", {"a ", "b"}},  // skipping is only in front of a token
          Case{",,x", ",", ",", {"", "", "x"}},    // a delimiter is never skipped
          Case{"a;b,c", ",;", "", {"a", "b", "c"}}, Case{"   ", ",", " ", {}}})
        EXPECT_EQ(Split(text, delimiters, skip), tokens) << "[" << text << "]";
}

}  // namespace
