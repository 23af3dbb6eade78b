// Record markers, backup names and DWORD data of the Registry32 section.
#include "sections/logreg_text.h"

#include <gtest/gtest.h>

#include <string>

#include "script/errcodes.h"

namespace {

TEST(RegistryText, DwordsMarkersAndBackupNames) {
    const struct {
        const char* text;
        int32_t value;
    } dwords[] = {{"0xa6", 166},       {" 010", 8},        {"-1", -1},      {"+12abc", 12},
                  {"", 0},            {"zz", 0},          {"4294967296", INT32_MAX}, {"-0x80000001", INT32_MIN}};
    for (const auto& row : dwords) EXPECT_EQ(LOGREG_ParseDword(row.text), row.value) << row.text;

    EXPECT_EQ(LOGREG_RecordKind("VALUE_CHANGED_BY_ZYN_INSTALL,ZYN_VALUE_0003"), LOGREG_RECORD_VALUE_CHANGED);
    EXPECT_EQ(LOGREG_RecordKind("KEY_ADDED_BY_ZYN_INSTALL"), LOGREG_RECORD_KEY_ADDED);
    EXPECT_EQ(LOGREG_RecordKind("key_added_by_zyn_install"), LOGREG_RECORD_UNKNOWN);
    EXPECT_EQ(LOGREG_RecordKind(""), LOGREG_RECORD_UNKNOWN);
    EXPECT_STREQ(LOGREG_RecordBackup("KEY_DELETED_BY_ZYN_INSTALL,ZYN_KEY_0012"), "ZYN_KEY_0012");
    EXPECT_STREQ(LOGREG_RecordBackup("KEY_ADDED_BY_ZYN_INSTALL"), "");

    char name[15];
    ASSERT_EQ(LOGREG_UniqueName(LOGREG_BACKUP_VALUE_PREFIX, 42, name, sizeof name), 0);
    EXPECT_STREQ(name, "ZYN_VALUE_0042");
    EXPECT_EQ(LOGREG_UniqueName(LOGREG_BACKUP_VALUE_PREFIX, 42, name, sizeof name - 1), ERROR_LOGREG_BUFFER_TOO_SMALL);
}

}  // namespace
