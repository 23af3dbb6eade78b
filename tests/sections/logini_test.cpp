// The INI text editor and the word lists of APPEND and UNAPPEND.
#include "sections/logini.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LoginiText, FindsAndEditsDuplicateNameLines) {
    struct Case { const char *text, *section, *entry, *match, *value, *found, *edited; };
    const Case cases[] = {
        {"[386Enh]\r\ndevice=a.386\r\ndevice=B.386\r\n", "386enh", "device", "b.386", "c.386", "B.386",
         "[386Enh]\r\ndevice=a.386\r\ndevice=c.386\r\n"},
        {"x\r\n[S]\r\nDevice = v\r\nDEVICE=  V \r\n", "s", "device", "v", "w", "V",
         "x\r\n[S]\r\nDevice = v\r\ndevice=w\r\n"},
        {"[s]\r\na=1\r\n\r\nb=2\r\n[t]\r\n", "s", "b", "2", nullptr, "2", "[s]\r\na=1\r\n[t]\r\n"},
        {"[s]\r\na=1\r\n\r\n[t]\r\nb=1\r\n", "s", "b", "1", "2", nullptr, "[s]\r\na=1\r\nb=2\r\n\r\n[t]\r\nb=1\r\n"},
        {"[s]\r\na=1", "s", "b", "1", "2", nullptr, "[s]\r\na=1\r\nb=2\r\n"},
        {"[s]\r\n; note\r\n", "s", "; note", "", nullptr, "", "[s]\r\n"},
        {"[s]\r\na=1\r\n", "s", "b", "1", nullptr, nullptr, "[s]\r\na=1\r\n"},
        {"a=1\r\n", "s", "e", "v", "v", nullptr, "a=1\r\n\r\n[s]\r\ne=v\r\n"},
        {"[sx]\r\ne=v\r\n", "s", "e", "v", "w", nullptr, "[sx]\r\ne=v\r\n\r\n[s]\r\ne=w\r\n"},
    };
    for (const Case& c : cases) {
        std::string found;
        EXPECT_EQ(LOGINI_FindMultiText(c.text, c.section, c.entry, c.match, &found), c.found != nullptr) << c.text;
        EXPECT_EQ(found, c.found != nullptr ? c.found : "") << c.text;
        EXPECT_EQ(LOGINI_EditMultiText(c.text, c.section, c.entry, c.match, c.value), c.edited) << c.text;
    }
}

TEST(LoginiText, WordLists) {
    struct Case { char kind; const char *current, *word, *result; bool changed; };  // kind: Unappend, Drop, Restore
    const Case cases[] = {
        {'U', "a b c", "b", "a c", true},    {'U', "a b c", "c", "a b ", true},
        {'U', "a b c", "A", "b c", true},    {'U', "a b c", "d", "a b c ", false},
        {'U', "C:\\X\\A.EXE B.EXE", "a.exe", "B.EXE", true},
        {'D', "com exe bat pif scr", "SCR", "com exe bat pif ", true},  {'D', "scr", "scr", "", true},
        {'R', "B.EXE", "C:\\X\\A.EXE", "B.EXE C:\\X\\A.EXE", true},
        {'R', "", "w", "w", true},           {'R', "a W", "w", "", false},
    };
    for (const Case& c : cases) {
        std::string result, removed;
        bool changed = true;
        if (c.kind == 'U') changed = LOGINI_UnappendWord(c.current, c.word, &result, &removed);
        if (c.kind == 'D') result = LOGINI_DropWords(c.current, c.word);
        if (c.kind == 'R') changed = LOGINI_RestoreWord(c.current, c.word, &result);
        EXPECT_EQ(changed, c.changed) << c.kind << c.current;
        EXPECT_EQ(result, c.result) << c.kind << c.current;
    }
}

}  // namespace
