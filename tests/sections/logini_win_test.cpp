// The Ini Settings section on real INI files through the profile functions: each
// operation with its record and undo. Demos sharing an entry are the two-demos scenario's.
#include "sections/logini.h"

#include <windows.h>

#include <string>

#include "sections/sectiontest.h"

namespace {

using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

class LoginiSection : public zyntest::SectionTest {
protected:
    std::string Get(const char* entry) {
        char value[256];
        GetPrivateProfileStringA("s", entry, "(none)", value, sizeof value, ini_.c_str());
        return value;
    }
    std::string Records(const char* entry) { return Values({"Common", LOGINI_KEY, ini_, "s", entry}); }
    void Uninstall(int demo) { ASSERT_EQ(LOGINI_Uninstall(Key({"Common", LOGINI_KEY}), demo), 0); }
    std::string ini_ = dir_.file("t.ini");
};

TEST_F(LoginiSection, EachOperationChangesRecordsAndIsUndone) {
    WriteFileBytes(ini_, "[s]\r\nmod=old\r\ndel=gone\r\napp=com exe\r\nuna=C:\\X\\A.EXE B.EXE\r\nkeep=1\r\n");
    Load("[Ini Settings]\nadd, t.ini, s, add, v, , Y, Y\nMODIFY, t.ini, s, mod, new, , Y, Y\n"
         "MODIFY, t.ini, s, none, x, , Y, Y\nDELETE, t.ini, s, del, , , Y, Y\nCREATE, t.ini, s, keep, 2, , Y, Y\n"
         "APPEND, t.ini, s, app, scr, , Y, Y\nAPPEND, t.ini, s, app, co, , Y, Y\n"
         "CREATE, t.ini, s, made, 1, , Y, Y\nAPPEND, t.ini, s, ext, scr, , Y, Y\n"
         "UNAPPEND, t.ini, s, una, a.exe, , Y, Y\nADD, t.ini, s, off, x, , Y, N\nADD, new.ini, n, e, v, , Y, Y\n");
    EXPECT_EQ(LOGINI_Install(demo_, "Ini Settings", PLIST_EXCLUSIVE_TEST), 1);
    ASSERT_EQ(LOGINI_Install(demo_, "Ini Settings", PLIST_INSTALL), 1);
    struct Row { const char *entry, *installed, *record, *restored; };
    const Row rows[] = {
        {"add", "v", "0=add,v,ZYNDEFAULT;", "(none)"},     {"mod", "new", "0=MODIFY,new,old;", "old"},
        {"none", "(none)", "", "(none)"},                   {"del", "(none)", "0=DELETE,,gone;", "gone"},
        {"keep", "1", "", "1"},                             {"app", "com exe scr", "0=APPEND,scr,com exe;", "com exe"},
        {"off", "(none)", "-", "(none)"},                    {"made", "1", "0=CREATE,1,ZYNDEFAULT;", "(none)"},
        {"ext", "scr", "0=APPEND,scr;", ""},
        {"una", "B.EXE", "0=UNAPPEND,a.exe,C:\\X\\A.EXE;", "B.EXE C:\\X\\A.EXE"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Get(row.entry), row.installed) << row.entry;
        EXPECT_EQ(Records(row.entry), row.record) << row.entry;
    }
    EXPECT_EQ(Values({DemoKey(), "Files"}), dir_.file("new.ini") + "=0;");
    Uninstall(demo_);
    for (const Row& row : rows) EXPECT_EQ(Get(row.entry), row.restored) << row.entry;
    EXPECT_EQ(ReadFileBytes(dir_.file("new.ini")), "");  // the section went with its last entry
    EXPECT_EQ(Key({"Common", LOGINI_KEY, ini_}), nullptr);
}

}  // namespace
