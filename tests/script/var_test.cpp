#include "script/var.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "script/inf.h"
#include "script/module.h"
#include "support/testsupport.h"

namespace {

// What a fatal error of the store reports: natively a line on stderr; under Wine the
// report is a dialog that the test support answers, so only the exit code is checked.
std::string FatalReport(int code) {
#ifdef _WIN32
    (void)code;
    return "";
#else
    return "fatal error in var, line [0-9]+ \\(" + std::to_string(code) + "\\)";
#endif
}

class VarStore : public ::testing::Test {
protected:
    void SetUp() override {
        MODULE_RunAll();
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
    }
    void TearDown() override {
        VAR_Terminate();
        MODULE_RunAll();
    }

    static std::string Get(const char* name) {
        char buffer[VAR_MAX_WORK_LENGTH];
        EXPECT_EQ(VAR_Get(name, buffer, sizeof buffer), 0) << name;
        return buffer;
    }
};

// Names are normalised in the caller's own string, stripped once only: "$($(B))" names
// the variable "$(B)", not "B".
TEST_F(VarStore, ReferenceFormAndAnyCaseAddressTheSameVariable) {
    for (auto [given, normalised] : {std::pair{"$(LogFile)", "LogFile"}, std::pair{"$(A", ""}, std::pair{"$($(B))", "$(B)"}}) {
        char name[64];
        std::strcpy(name, given);
        VAR_Exists(name);
        EXPECT_STREQ(name, normalised) << given;
    }
    ASSERT_EQ(VAR_Set("$(Name)", "one"), 0);
    EXPECT_EQ(Get("NAME"), "one");
}

TEST_F(VarStore, EveryOperationNeedsAnInitialisedStore) {
    MODULE_RunAll();
    char buffer[16] = "keep";
    EXPECT_EQ((std::vector<int>{VAR_Set("A", "x"), VAR_Get("A", buffer, sizeof buffer), VAR_Delete("A"),
                                VAR_Substitute("text", buffer, sizeof buffer)}),
              std::vector<int>(4, ERROR_VAR_NOT_INITIALIZED));
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EXIT(VAR_GetFlag("A"), ::testing::ExitedWithCode(zyntest::kFatalExitCode), FatalReport(ERROR_VAR_NOT_INITIALIZED));
}

TEST_F(VarStore, SlotAndNameLimits) {
    for (int i = 0; i < VAR_DEFAULT_MAX_NUM; ++i) ASSERT_EQ(VAR_SetNumber(("V" + std::to_string(i)).c_str(), i), 0) << i;
    EXPECT_EQ(VAR_Set("OneTooMany", "x"), ERROR_VAR_NO_FREE_SLOT);
    EXPECT_EQ(VAR_Set("v42", "replaced"), 0);  // replacing needs no new slot
    ASSERT_EQ(VAR_Delete("V7"), 0);
    EXPECT_EQ(VAR_Set("OneTooMany", "x"), 0);
    EXPECT_EQ(VAR_Set("TwoTooMany", "x"), ERROR_VAR_NO_FREE_SLOT);
    ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
    const std::string longest(VAR_MAX_NAME_LENGTH, 'n'), tooLong = longest + "n";
    EXPECT_EQ(VAR_Set(("$(" + longest + ")").c_str(), "y"), 0);
    EXPECT_EQ(Get(longest.c_str()), "y");
    EXPECT_EQ(VAR_Set(tooLong.c_str(), "x"), ERROR_VAR_BUFFER_TOO_SMALL);
    EXPECT_EQ(VAR_Exists(tooLong.c_str()), 0);
    // The empty name would match a free slot: it is never a variable.
    EXPECT_EQ(VAR_Set("$()", "x"), ERROR_VAR_NOT_FOUND);
    EXPECT_EQ(VAR_Exists(""), 0);
}

TEST_F(VarStore, GetNeedsRoomForTheTerminator) {
    ASSERT_EQ(VAR_Set("Value", "abc"), 0);
    char buffer[9] = "########";
    EXPECT_EQ(VAR_Get("Value", buffer, 3), ERROR_VAR_BUFFER_TOO_SMALL);
    EXPECT_STREQ(buffer, "########");
    EXPECT_EQ(VAR_Get("Value", buffer, 4), 0);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(VAR_Get("Missing", buffer, 8), ERROR_VAR_NOT_FOUND);
    EXPECT_STREQ(buffer, "");
}

TEST_F(VarStore, FlagIsTheFirstCharacterAndAnUndefinedFlagEndsTheRun) {
    auto flag = [](const char* value) { return VAR_Set("Flag", value) == 0 ? VAR_GetFlag("$(Flag)") : -1; };
    for (const char* yes : {"true", "Yes", "1", "t"}) EXPECT_EQ(flag(yes), 1) << '"' << yes << '"';
    for (const char* no : {"N", "0", "", "on", " Y"}) EXPECT_EQ(flag(no), 0) << '"' << no << '"';
    EXPECT_EXIT(VAR_GetFlag("NeverSet"), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                FatalReport(ERROR_VAR_NOT_FOUND));
}

TEST_F(VarStore, NumbersAreSignedDecimalText) {
    ASSERT_EQ(VAR_SetNumber("N", -42), 0);
    EXPECT_EQ(Get("N"), "-42");
    const std::tuple<std::string, int, long> cases[] = {{"  -17x", 0, -17}, {"abc", 0, 0},
                 {std::string(27, '0') + "42", 0, 42},  // 29 characters are read
                 {std::string(28, '0') + "42", ERROR_VAR_BUFFER_TOO_SMALL, 0}};
    for (const auto& [value, code, expected] : cases) {
        ASSERT_EQ(VAR_Set("N", value.c_str()), 0);
        long number = 99;
        EXPECT_EQ(VAR_GetNumber("N", &number), code) << value;
        EXPECT_EQ(number, expected) << value;
    }
    long number = 99;
    EXPECT_EQ(VAR_GetNumber("Missing", &number), ERROR_VAR_NOT_FOUND);
    EXPECT_EQ(number, 0);
}

// ---- substitution -------------------------------------------------------------------

class VarSubstitute : public VarStore {
protected:
    void SetUp() override {
        VarStore::SetUp();
        const char* vars[][2] = {{"A", "x"},     {"B", "$(A)"},    {"C", "$(B)$(B)"}, {"OS", "Win95"}, {"Words", "two words"},
                                 {"Dollar", "$"}, {"Self", "$(Self)"}, {"Block", "$[ $(A) == \"x\" ]"}};
        for (const auto& v : vars) ASSERT_EQ(VAR_Set(v[0], v[1]), 0);
    }
};

TEST_F(VarSubstitute, ExpandsText) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"cost: 5$", 0, "cost: 5$"}, {"$(C)/$(C)", 0, "xx/xx"},
        {"$(Dollar)(A)", 0, "x"},                          // a reference made of two pieces
        {"x $( y", ERROR_VAR_REPLACE, ""},
        {"$(Undefined)", ERROR_VAR_NOT_FOUND, ""},
        {"$($(A))", ERROR_VAR_NOT_FOUND, ""},              // the name runs to the first ")"
        {"$(Self)", ERROR_VAR_MAX_WORK_LENGTH, ""},        // would expand forever
        {"$(Block)", 0, "1"},                              // a block that comes from a value
        {"x$[ 1 ]", 0, "x$[ 1 ]"},
        {"$[ $(A) ] $(A)", 0, "$[ (x) ] x"},               // parentheses only inside the block
    };
    for (const auto& [text, code, result] : cases) {
        char buffer[VAR_MAX_WORK_LENGTH] = "untouched";
        EXPECT_EQ(VAR_Substitute(text, buffer, sizeof buffer), code) << text;
        EXPECT_STREQ(buffer, code == 0 ? result : "untouched") << text;
    }
}

// Only the full substitution evaluates a block, and a faulty block ends the run with the
// evaluator's code: a value with a blank breaks a block.
TEST_F(VarSubstitute, BlocksAreEvaluatedOnlyByTheFullSubstitution) {
    char buffer[64];
    ASSERT_EQ(VAR_Expand("$[ ($(OS) == \"Win95\") && $(Words) ]", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "$[ ((Win95) == \"Win95\") && (two words) ]");
    EXPECT_EXIT(VAR_Substitute("$[ $(Words) ]", buffer, sizeof buffer), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                FatalReport(ERROR_VAREVAL_UNKNOWN_OPERATOR));
}

TEST_F(VarSubstitute, ResultMustBeShorterThanTheBufferAndTheWorkText) {
    char buffer[VAR_MAX_WORK_LENGTH + 8] = "keep";
    EXPECT_EQ(VAR_Substitute("$(C)", buffer, 2), ERROR_VAR_BUFFER_TOO_SMALL);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(VAR_Substitute("$(C)", buffer, 3), 0);
    EXPECT_STREQ(buffer, "xx");

    const std::string longest(VAR_MAX_WORK_LENGTH - 1, 'a');
    EXPECT_EQ(VAR_Substitute(longest.c_str(), buffer, sizeof buffer), 0);
    EXPECT_EQ(VAR_Substitute((longest + "a").c_str(), buffer, sizeof buffer), ERROR_VAR_MAX_WORK_LENGTH);
    // A value counts with two characters of room for the parentheses of a block.
    ASSERT_EQ(VAR_Set("Fits", std::string(VAR_MAX_WORK_LENGTH - 3, 'v').c_str()), 0);
    EXPECT_EQ(VAR_Substitute("$(Fits)ab", buffer, sizeof buffer), 0);
    EXPECT_EQ(VAR_Substitute("$(Fits)abc", buffer, sizeof buffer), ERROR_VAR_MAX_WORK_LENGTH);
}

// [Application] lines go through the limits of the reader and of the store.
TEST_F(VarStore, ApplicationSectionPassesOnReaderAndStoreErrors) {
    const std::string long_line = std::string("[Application]\r\n$(Long)=").append(260, 'x').append("\r\n"),
                      two = "[Application]\r\n$(One)=1\r\n$(Two)=2\r\n";
    ASSERT_EQ(INF_LoadText(long_line.data(), long_line.size()), 0);
    EXPECT_EQ(VAR_ReadApplicationSection(), ERROR_INF_BUFFER_TOO_SMALL);
    ASSERT_EQ(VAR_Init(1), 0);
    ASSERT_EQ(INF_LoadText(two.data(), two.size()), 0);
    EXPECT_EQ(VAR_ReadApplicationSection(), ERROR_VAR_NO_FREE_SLOT);
    EXPECT_EQ(Get("One"), "1");
}

}  // namespace
