#include "script/vareval.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct BlockCase {
    const char* block;
    int code;
    int32_t value;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.block; }

class VarevalBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(VarevalBlock, ToCodeAndValue) {
    const BlockCase& c = GetParam();
    int32_t value = -12345;
    EXPECT_EQ(VAREVAL_EvaluateBlock(c.block, &value), c.code);
    if (c.code == 0) {
        EXPECT_EQ(value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(VarevalLiterals, VarevalBlock, ::testing::Values(
    BlockCase{"$[ Y ]", 0, 1}, BlockCase{"$[ t ]", 0, 1}, BlockCase{"$[ 1 ]", 0, 1},
    BlockCase{"$[ n ]", 0, 0}, BlockCase{"$[ F ]", 0, 0}, BlockCase{"$[ 0 ]", 0, 0},
    BlockCase{"$[ 42 ]", 0, 42}, BlockCase{"$[ 7abc ]", 0, 7},        // leading digits only
    BlockCase{"$[ yes ]", 0, 0}, BlockCase{"$[ -5 ]", 0, 0},           // strings: a single string is 0
    BlockCase{"$[ \"Y\" ]", 0, 1}, BlockCase{"$[ \"12\" ]", 0, 12},     // quotes only group
    BlockCase{"$[ ((Y)) ]", 0, 1}, BlockCase{"$[ (Y ]", 0, 1},         // an open parenthesis at the end is forgiven
    BlockCase{"$[ 4294967296 ]", 0, 0},                                // 32 bits wrap
    BlockCase{"$[ 4294967295 ]", 0, -1}));

INSTANTIATE_TEST_SUITE_P(VarevalOperators, VarevalBlock, ::testing::Values(
    BlockCase{"$[ (Y) && (N) ]", 0, 0}, BlockCase{"$[ 2 && 3 ]", 0, 1}, BlockCase{"$[ 0 || 0 ]", 0, 0},
    BlockCase{"$[ 0 || 9 ]", 0, 1}, BlockCase{"$[ 5 & 3 ]", 0, 1}, BlockCase{"$[ 6 | 1 ]", 0, 7},
    BlockCase{"$[ 6 ^ 3 ]", 0, 5}, BlockCase{"$[ 3 == 3 ]", 0, 1}, BlockCase{"$[ 3 != 3 ]", 0, 0},
    BlockCase{"$[ 2 > 1 ]", 0, 1}, BlockCase{"$[ 2 >= 3 ]", 0, 0}, BlockCase{"$[ 2 < 3 ]", 0, 1},
    BlockCase{"$[ 3 <= 3 ]", 0, 1}, BlockCase{"$[ 1==1 ]", 0, 1}, BlockCase{"$[ 2>=3 ]", 0, 0},
    BlockCase{"$[\t4<5\t]", 0, 1},
    BlockCase{"$[ 4294967295 > 1 ]", 0, 1},                            // numbers compare unsigned
    BlockCase{"$[ (1 | 2) ^ 7 ]", 0, 4}, BlockCase{"$[ 1 == ((1)) ]", 0, 1}));

INSTANTIATE_TEST_SUITE_P(VarevalStrings, VarevalBlock, ::testing::Values(
    BlockCase{"$[ (Win95) == \"Win95\" ]", 0, 1}, BlockCase{"$[ (WinNT) == \"Win95\" ]", 0, 0},
    BlockCase{"$[ (win95) == \"WIN95\" ]", 0, 1}, BlockCase{"$[ B != a ]", 0, 1},
    BlockCase{"$[ A != a ]", 0, 0}, BlockCase{"$[ b > A ]", 0, 1}, BlockCase{"$[ a >= A ]", 0, 1},
    BlockCase{"$[ a < B ]", 0, 1}, BlockCase{"$[ ab <= AB ]", 0, 1}, BlockCase{"$[ abc > ab ]", 0, 1},
    BlockCase{"$[ \"a b\" == \"A B\" ]", 0, 1}, BlockCase{"$[ \"\" == \"\" ]", 0, 1},
    BlockCase{"$[ ((abc)) == \"ABC\" ]", 0, 1}));                    // a single value on the left stays a string

INSTANTIATE_TEST_SUITE_P(VarevalOneOperatorPerLevel, VarevalBlock, ::testing::Values(
    BlockCase{"$[ (Y) && (Y) && (N) ]", 0, 1},                         // the third operand is never read
    BlockCase{"$[ ((Y) && (Y)) && (N) ]", 0, 0},
    BlockCase{"$[ ((Win95) == \"Win95\") && (Y) ]", 0, 1},
    BlockCase{"$[ (((1) == (2)) && (1)) ]", 0, 0},                     // a compared result, not its first operand
    BlockCase{"$[ 1 == 1 whatever follows ]", 0, 1}, BlockCase{"$[ Y) junk ]", 0, 1}));

INSTANTIATE_TEST_SUITE_P(VarevalErrors, VarevalBlock, ::testing::Values(
    BlockCase{"$[ ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0}, BlockCase{"$[]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0},
    BlockCase{"$[ 1 == ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0},
    BlockCase{"$[ (1 == 2 ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0},
    BlockCase{"$[ (1 == 2 3) ]", ERROR_VAREVAL_MISMATCHED_PARENTHESES, 0},
    BlockCase{"$[ 1 ( 2 ]", ERROR_VAREVAL_MISPLACE_EXPRESSION, 0},
    BlockCase{"$[ (two words) == x ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},
    BlockCase{"$[ 1 = 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0}, BlockCase{"$[ 1 ! 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},
    BlockCase{"$[ 1 &| 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0}, BlockCase{"$[ 1 => 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},
    BlockCase{"$[ 1 and 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},
    BlockCase{"$[ ! 1 ]", ERROR_VAREVAL_UNKNOWN_OPERATOR, 0},          // no unary operators
    BlockCase{"$[ \"abc\" == 5 ]", ERROR_MISMATCHED_LEFT_AND_RIGHT, 0},
    BlockCase{"$[ (abc) == (abc) ]", ERROR_MISMATCHED_LEFT_AND_RIGHT, 0},  // the right one becomes the number 0
    BlockCase{"$[ 5 == abc ]", ERROR_MISMATCHED_LEFT_AND_RIGHT, 0},
    BlockCase{"$[ abc && def ]", ERROR_VAREVAL_BAD_OPERAND, 0}, BlockCase{"$[ abc | def ]", ERROR_VAREVAL_BAD_OPERAND, 0},
    BlockCase{"$[ (abc && x) && (Y) ]", ERROR_VAREVAL_BAD_OPERAND, 0},   // nested errors come up
    BlockCase{"x$[ 1 ]", ERROR_VAREVAL_TERMINATOR_TOO_EARLY, 0}));       // not a block at all

TEST(VarevalIsBlock, OnlyTheWholeTextCounts) {
    const struct {
        const char* text;
        int block;
    } cases[] = {{"$[]", 1}, {"$[ 1 ]", 1}, {"$[$[ ]", 1}, {"x$[ 1 ]", 0}, {"$[ 1 ] ", 0}, {"$[", 0},
                 {"$]", 0}, {"", 0}, {"$(A)", 0}, {"[1]", 0}, {"$ [1]", 0}, {nullptr, 0}};
    for (const auto& c : cases) EXPECT_EQ(VAREVAL_IsBlock(c.text), c.block) << (c.text ? c.text : "(null)");
}

TEST(VarevalParse, ExpressionLimitIs1024Characters) {
    VAREVAL_NODE node;
    std::string text = std::string("1").append(VAREVAL_MAX_EXPRESSION - 1, ' ');
    EXPECT_EQ(VAREVAL_Parse(text.c_str(), &node), 0);
    EXPECT_EQ(VAREVAL_Evaluate(&node), 1);
    text += ' ';
    EXPECT_EQ(VAREVAL_Parse(text.c_str(), &node), ERROR_VAREVAL_MAX_TOO_SMALL);
}

TEST(VarevalParse, DeepNestingWithinTheLimit) {
    const int depth = 500;
    const std::string text = std::string(depth, '(').append("7").append(depth, ')');
    VAREVAL_NODE node;
    ASSERT_EQ(VAREVAL_Parse(text.c_str(), &node), 0);
    EXPECT_EQ(VAREVAL_Evaluate(&node), 7);
    const std::string open = std::string(1000, '(') + "7";
    EXPECT_EQ(VAREVAL_Parse(open.c_str(), &node), 0);
}

TEST(VarevalParse, ASecondParseIntoTheSameNodeReplacesTheTree) {
    VAREVAL_NODE node;
    ASSERT_EQ(VAREVAL_Parse("((Win95) == \"Win95\") && Y", &node), 0);
    ASSERT_EQ(VAREVAL_Parse("5", &node), 0);
    EXPECT_EQ(node.op, VAREVAL_OP_SINGLE);
    EXPECT_EQ(node.left.node, nullptr);
    EXPECT_EQ(VAREVAL_Evaluate(&node), 5);
}

// Parts that no parse produces: the codes are all that stands between them and a crash.
TEST(VarevalEvaluate, BadPartsGiveCodes) {
    VAREVAL_NODE node;
    node.left.type = VAREVAL_TYPE_NUMBER;
    node.op = 99;
    EXPECT_EQ(VAREVAL_Evaluate(&node), ERROR_VAREVAL_UNKNOWN_OPERATOR);
    node.op = VAREVAL_OP_EQUAL;
    node.right.type = 7;
    EXPECT_EQ(VAREVAL_Evaluate(&node), ERROR_VAREVAL_UNKNOWN_COPY_TYPE);
    node.right.type = VAREVAL_TYPE_NODE;  // a sub-expression without its node
    EXPECT_EQ(VAREVAL_Evaluate(&node), ERROR_VAREVAL_UNKNOWN_COPY_TYPE);
    EXPECT_EQ(VAREVAL_Evaluate(nullptr), ERROR_VAREVAL_UNKNOWN_COPY_TYPE);

    VAREVAL_OPERAND operand;
    VAREVAL_VALUE value;
    operand.type = VAREVAL_TYPE_STRING;
    operand.string = "text";
    ASSERT_EQ(LocalCopyValue(&operand, &value), 0);
    operand.string = "changed";
    EXPECT_EQ(value.type, VAREVAL_TYPE_STRING);
    EXPECT_EQ(value.string, "text") << "an owned copy";
    for (int type : {VAREVAL_TYPE_NODE, 0}) {
        operand.type = type;
        EXPECT_EQ(LocalCopyValue(&operand, &value), ERROR_VAREVAL_UNKNOWN_COPY_TYPE);
    }
}

}  // namespace
