#include "script/scriptinfo.h"

#include <gtest/gtest.h>

namespace {

struct WordCase {
    const SCRIPTINFO_WORDSET* set;
    const char* text;
    int expected;
};

// Each set compares as its handler does: with or without case, whole or as a substring.
const WordCase kWordCases[] = {
    {&SCRIPTINFO_INI_OPERATIONS, "add_multi", 1},
    {&SCRIPTINFO_INI_OPERATIONS, "ADD ", 0},
    {&SCRIPTINFO_REGISTRY_ROOTS, "hkey_dyn_data", 1},
    {&SCRIPTINFO_REGISTRY_SET_OPERATIONS, "REG_DELETE_VALUE", 0},
    {&SCRIPTINFO_MODIFY_FLAGS, "LOGMOD_BEGINNING | LOGMOD_IGNORE_COMMENTED", 1},
    {&SCRIPTINFO_MODIFY_FLAGS, "APPEND", 1},  // holds END
    {&SCRIPTINFO_MODIFY_FLAGS, "beginning", 0},
    {&SCRIPTINFO_PM_OPERATIONS, "Delete", 1},
    {&SCRIPTINFO_BACKUP_KEYWORDS, "BACKUPEXT", 1},
    {&SCRIPTINFO_ATTRIBUTE_LETTERS, "r", 0},
};

TEST(ScriptInfo, WordSetsCompareAsTheirHandlers) {
    for (const WordCase& c : kWordCases) EXPECT_EQ(SCRIPTINFO_IsWord(*c.set, c.text), c.expected) << c.text;
}

TEST(ScriptInfo, LookupsIgnoreCaseAndSectionsKeepTheirOrder) {
    const SCRIPTINFO_SECTION* files = SCRIPTINFO_FindSection("protection FILES");
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->columns, 13);
    EXPECT_EQ(SCRIPTINFO_FindSection("Application"), nullptr);  // read at start-up, not by a handler
    EXPECT_EQ(SCRIPTINFO_InstallSections().front().name, std::string("Files"));
    EXPECT_EQ(SCRIPTINFO_InstallSections().back().name, std::string("Launch"));
    ASSERT_NE(SCRIPTINFO_FindProtectionToken("setshell"), nullptr);
    EXPECT_EQ(SCRIPTINFO_FindProtectionToken("setshell")->parameters.size(), 3u);
    EXPECT_EQ(SCRIPTINFO_FindProtectionToken("NoRun "), nullptr);
    ASSERT_NE(SCRIPTINFO_FindPredefined("windowsdirectory"), nullptr);
    EXPECT_EQ(SCRIPTINFO_FindPredefined("windowsdirectory")->when, SCRIPTINFO_AT_START);
    EXPECT_EQ(SCRIPTINFO_FindPredefined("ApplicationName"), nullptr);
}

}  // namespace
