// The Registry32 section on the real registry, each test below its own key of
// HKEY_CURRENT_USER\Software\ZynTest: what lines change and back up, what several demos
// record, and that uninstalling them in any order gives the registry back.
#include "sections/logreg.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sections/sectiontest.h"

namespace {

class Registry : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        ASSERT_EQ(LOGCOMN_NewDemo("Second", &second_), 0);
    }
    void TearDown() override {
        LOGREG_DeleteKeyTree(HKEY_CURRENT_USER, sub_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");
        SectionTest::TearDown();
    }

    int Line(int demo, const char* op, const std::string& key, const char* type = "", const char* name = "",
             const char* data = "", const char* uninstall = "Y") {
        return LOGREG_ChangeRegistry(demo, op, (base_ + "\\" + key).c_str(), type, name, data, uninstall, "Y");
    }
    int Uninstall(int demo) {
        ZYNLOG_KEY reg = Key({"Common", "Reg32"});
        return reg == nullptr ? 0 : LOGREG_Uninstall(reg, demo);
    }

    // Every key and value below the test's key, sorted, data other than strings as hex bytes;
    // an emptied default value counts as none.
    std::string Dump(HKEY key = nullptr, const std::string& path = "") {
        HKEY opened = nullptr;
        if (key == nullptr && RegOpenKeyExA(HKEY_CURRENT_USER, sub_.c_str(), 0, KEY_READ, &opened) != 0) return "";
        HKEY here = key != nullptr ? key : opened;
        std::vector<std::string> lines;
        char name[256];
        BYTE data[512];
        for (DWORD i = 0;; ++i) {
            DWORD name_size = sizeof name, size = sizeof data, type = 0;
            if (RegEnumValueA(here, i, name, &name_size, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
            std::string text = type == REG_SZ ? reinterpret_cast<char*>(data) : "";
            for (DWORD b = 0; type != REG_SZ && b < size; ++b) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02x", data[b]);
                text += hex;
            }
            if (name[0] != '\0' || !text.empty()) lines.push_back(path + "|" + name + "=" + text + "\n");
        }
        for (DWORD i = 0; RegEnumKeyA(here, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
            HKEY child = nullptr;
            RegOpenKeyExA(here, name, 0, KEY_READ, &child);
            lines.push_back(path + "\\" + name + "\n" + Dump(child, path + "\\" + name));
            RegCloseKey(child);
        }
        if (opened != nullptr) RegCloseKey(opened);
        std::sort(lines.begin(), lines.end());
        std::string out;
        for (const auto& line : lines) out += line;
        return out;
    }

    // The records at the log key of a registry key or value below the test's key.
    std::string Records(const std::string& path) {
        ZYNLOG_KEY key = ZYNLOG_ROOT_KEY;
        std::string pieces = "Common\\Reg32\\" + base_ + "\\" + path + "\\", out;
        for (size_t start = 0, end; (end = pieces.find('\\', start)) != std::string::npos; start = end + 1)
            if (end > start && ZYNLOG_OpenKey(key, pieces.substr(start, end - start).c_str(), &key) != 0) return "-";
        char name[64], data[128];
        for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i)
            out += std::string(name) + "=" + data + ";";
        return out;
    }

    int second_ = -1;
    std::string sub_ = "Software\\ZynTest\\LogReg" + std::to_string(GetCurrentProcessId());
    std::string base_ = "HKEY_CURRENT_USER\\" + sub_;
};

TEST_F(Registry, TwoDemosOverwriteAndDeleteAndTheUninstallGivesTheRegistryBack) {
    ASSERT_EQ(Line(demo_, "REG_SET_VALUE", "App", "REG_SZ", "Color", "red", "N"), 0);
    ASSERT_EQ(Line(demo_, "REG_SET_VALUE", "Old\\Inner", "REG_DWORD", "Kept", "7", "N"), 0);
    const std::string before = Dump();
    Load("[Registry32]\nREG_SET_VALUE, $(Base)\\App, REG_SZ, Color, blue, Y, Y\n"
         "REG_SET_VALUE, $(Base)\\New\\Deep, reg_dword, Count, 0xa6, Y, Y\n"
         "REG_SET_VALUE, $(Base)\\New\\Deep, REG_BINARY, Blob, ZYNTESTBLOB, Y, Y\n"
         "REG_SET_VALUE, $(Base)\\App, REG_SZ, (Default), hello, Y, Y\n"
         "REG_DELETE_KEY, $(Base)\\Old, , , , Y, Y\nREG_DELETE_VALUE, $(Base)\\Missing, , X, , Y, Y\n");
    VAR_Set("Base", base_.c_str());
    EXPECT_EQ(LOGREG_Install(demo_, "Registry32", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    ASSERT_EQ(LOGREG_Install(demo_, "Registry32", PLIST_INSTALL), 0);
    EXPECT_EQ(Dump(), "\\App\n\\App|=hello\n\\App|Color=blue\n\\App|ZYN_VALUE_0000=red\n\\New\n"
                      "\\New\\Deep\n\\New\\Deep|Blob=010200ff\n\\New\\Deep|Count=a6000000\n"
                      "\\ZYN_KEY_0000\n\\ZYN_KEY_0000\\Inner\n\\ZYN_KEY_0000\\Inner|Kept=07000000\n");
    EXPECT_EQ(Records("App\\Color"), "0=VALUE_CHANGED_BY_ZYN_INSTALL,ZYN_VALUE_0000;");
    EXPECT_EQ(Records("Old"), "0=KEY_DELETED_BY_ZYN_INSTALL,ZYN_KEY_0000;");
    EXPECT_EQ(Records("Missing"), "-") << "a path that is not there records nothing";

    // The second demo overwrites the colour again and builds on the first demo's new keys.
    ASSERT_EQ(Line(second_, "REG_SET_VALUE", "App", "REG_SZ", "Color", "green"), 0);
    ASSERT_EQ(Line(second_, "REG_ADD_KEY", "New\\Deep"), 0);
    EXPECT_EQ(Records("App\\Color"), "0=VALUE_CHANGED_BY_ZYN_INSTALL,ZYN_VALUE_0000;"
                                     "1=VALUE_CHANGED_BY_ZYN_INSTALL,ZYN_VALUE_0001;");
    EXPECT_EQ(Records("New\\Deep"), "0,1=KEY_ADDED_BY_ZYN_INSTALL;");
    EXPECT_EQ(Line(demo_, "REG_SET_VALUE", "New\\Deep", "REG_SZ", "Late", "x"), ERROR_LOGREG_NEXT_DEMO_ID_FOUND);

    ASSERT_EQ(Uninstall(demo_), 0);
    EXPECT_EQ(Records("App\\Color"), "1=VALUE_CHANGED_BY_ZYN_INSTALL,ZYN_VALUE_0000;");
    EXPECT_EQ(Dump(), "\\App\n\\App|Color=green\n\\App|ZYN_VALUE_0000=red\n\\New\n\\New\\Deep\n"
                      "\\Old\n\\Old\\Inner\n\\Old\\Inner|Kept=07000000\n");
    ASSERT_EQ(Uninstall(second_), 0);
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Records(""), "-") << "every record is gone with its emptied log keys";
}

TEST_F(Registry, EachOperationChangesOnlyWhatItShould) {
    const struct {
        const char *op, *key, *type, *name, *data, *uninstall;
        int result;
        const char* after;  // the test key's contents after "Pre|V=old"
    } rows[] = {
        {"REG_SET_VALUE_NOT_EXIST", "Pre", "REG_SZ", "V", "new", "Y", 0, "\\Pre\n\\Pre|V=old\n"},
        {"REG_SET_VALUE_EXIST", "Pre", "REG_DWORD", "V", "010", "Y", 0,
         "\\Pre\n\\Pre|V=08000000\n\\Pre|ZYN_VALUE_0000=old\n"},
        {"REG_DELETE_VALUE", "Pre", "", "V", "", "N", 0, "\\Pre\n"},
        {"REG_DELETE_VALUE", "Pre", "", "V", "", "Y", 0, "\\Pre\n\\Pre|ZYN_VALUE_0000=old\n"},
        {"REG_SET_VALUE", "Pre", "REG_MULTI_SZ", "V", "x", "Y", ERROR_LOGREG_UNKNOWN_TYPE, "\\Pre\n\\Pre|V=old\n"},
        {"REG_SET_VALUE", "Pre", "REG_BINARY", "V", "NOSUCHBLOB", "Y", ERROR_SYS_RESOURCE_NOT_FOUND,
         "\\Pre\n\\Pre|V=old\n"},
        {"REG_RENAME_KEY", "Pre", "", "", "", "Y", ERROR_LOGREG_UNKNOWN_OPERATION, "\\Pre\n\\Pre|V=old\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.op) + " " + row.name + " " + row.data + " " + row.uninstall);
        ASSERT_EQ(Line(demo_, "REG_SET_VALUE", "Pre", "REG_SZ", "V", "old", "N"), 0);
        EXPECT_EQ(Line(demo_, row.op, row.key, row.type, row.name, row.data, row.uninstall), row.result);
        EXPECT_EQ(Dump(), row.after);
        if (*row.uninstall == 'N') {
            EXPECT_EQ(Records(""), "-");
        }
        ASSERT_EQ(Uninstall(demo_), 0);
        if (*row.uninstall == 'Y') {
            EXPECT_EQ(Dump(), "\\Pre\n\\Pre|V=old\n");
        }
        LOGREG_DeleteKeyTree(HKEY_CURRENT_USER, sub_.c_str());
    }
    EXPECT_EQ(LOGREG_ChangeRegistry(demo_, "REG_ADD_KEY", "HKEY_FOO\\Bar", "", "", "", "Y", "Y"),
              ERROR_LOGREG_UNKNOWN_BASE_KEY);
    EXPECT_EQ(Line(demo_, "REG_SET_VALUE", "Pre", "REG_SZ", "(default)", "d"), 0);
    EXPECT_EQ(Line(demo_, "REG_DELETE_VALUE", "Pre", "", "(Default)", "", "N"), 0);
    EXPECT_EQ(Dump(), "\\Pre\n") << "the default value is left empty";

    // With every backup name taken, a line that would overwrite a value is refused.
    HKEY pre = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (sub_ + "\\Pre").c_str(), 0, KEY_ALL_ACCESS, &pre), 0);
    for (int i = 0; i < LOGREG_BACKUP_COUNT; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "ZYN_VALUE_%04d", i);
        RegSetValueExA(pre, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    }
    RegCloseKey(pre);
    EXPECT_EQ(Line(demo_, "REG_SET_VALUE", "Pre", "REG_SZ", "ZYN_VALUE_0000", "new"), ERROR_LOGREG_COULDNT_FIND_UNIQUE_VALUE);
    EXPECT_EQ(Dump().find("ZYN_VALUE_0000=new"), std::string::npos);
}

}  // namespace
