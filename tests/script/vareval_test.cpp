#include "script/vareval.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(Vareval, BlocksGiveCodeAndValue) {
    const std::tuple<const char*, int, int32_t> cases[] = {
        // literals: flags, leading digits, single strings are 0, quotes only group, 32 bits wrap
        {"$[ Y ]", 0, 1}, {"$[ n ]", 0, 0}, {"$[ 7abc ]", 0, 7}, {"$[ yes ]", 0, 0}, {"$[ \"12\" ]", 0, 12},
        {"$[ (Y ]", 0, 1},  // an open parenthesis at the end is forgiven
        {"$[ 4294967296 ]", 0, 0}, {"$[ 4294967295 ]", 0, -1},
        // operators, with or without blanks; numbers compare unsigned
        {"$[ 2 && 3 ]", 0, 1}, {"$[ 0 || 9 ]", 0, 1}, {"$[ 5 & 3 ]", 0, 1}, {"$[ 6 | 1 ]", 0, 7}, {"$[ 6 ^ 3 ]", 0, 5},
        {"$[ 3 != 3 ]", 0, 0}, {"$[ 2 > 1 ]", 0, 1}, {"$[ 2>=3 ]", 0, 0}, {"$[\t4<5\t]", 0, 1}, {"$[ 3 <= 3 ]", 0, 1},
        {"$[ 4294967295 > 1 ]", 0, 1}, {"$[ (1 | 2) ^ 7 ]", 0, 4},
        // strings compare without regard to case
        {"$[ (win95) == \"WIN95\" ]", 0, 1}, {"$[ (WinNT) == \"Win95\" ]", 0, 0}, {"$[ b > A ]", 0, 1},
        // one operator per level: what follows is never read
        {"$[ (Y) && (Y) && (N) ]", 0, 1}, {"$[ ((Y) && (Y)) && (N) ]", 0, 0},
        {"$[ (((1) == (2)) && (1)) ]", 0, 0},  // a compared result, not its first operand
        // faults
        {"$[ 1 == ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0},
        {"x$[ 1 ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0},  // not a block at all
        {"$[ (1 == 2 3) ]", ERROR_VAREVAL_MISMATCHED_PARENTHESES, 0},
        {"$[ 1 ( 2 ]", ERROR_VAREVAL_MISPLACE_EXPRESSION, 0},
        {"$[ (two words) == x ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},
        {"$[ ! 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},  // no unary operators
        {"$[ \"abc\" == 5 ]", ERROR_MISMATCHED_LEFT_AND_RIGHT, 0},
        {"$[ abc | def ]", ERROR_VAREVAL_BAD_OPERAND, 0},
        {"$[ (abc && x) && (Y) ]", ERROR_VAREVAL_BAD_OPERAND, 0},  // nested errors come up
    };
    for (const auto& [block, code, expected] : cases) {
        int32_t value = -12345;
        EXPECT_EQ(VAREVAL_EvaluateBlock(block, &value), code) << block;
        if (code == 0) {
            EXPECT_EQ(value, expected) << block;
        }
    }
}

TEST(Vareval, ExpressionLimitAndDeepNesting) {
    VAREVAL_NODE node;
    std::string text = std::string("1").append(VAREVAL_MAX_EXPRESSION - 1, ' ');
    EXPECT_EQ(VAREVAL_Parse(text.c_str(), &node), 0);
    EXPECT_EQ(VAREVAL_Parse((text + ' ').c_str(), &node), ERROR_VAREVAL_MAX_TOO_SMALL);
    ASSERT_EQ(VAREVAL_Parse((std::string(500, '(') + "7" + std::string(500, ')')).c_str(), &node), 0);
    EXPECT_EQ(VAREVAL_Evaluate(&node), 7);
}

}  // namespace
