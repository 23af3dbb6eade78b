#include "log/zynlog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "log/logdump.h"
#include "script/module.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DumpLog;
using zyntest::ResetLog;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

std::string Join(const std::string& directory, const std::string& name) { return (fs::path(directory) / name).string(); }


ZYNLOG_KEY Key(ZYNLOG_KEY parent, const char* name) {
    ZYNLOG_KEY key = nullptr;
    EXPECT_EQ(ZYNLOG_CreateKey(parent, name, &key), 0) << name;
    return key;
}

// Prefix and number; built step by step, as one expression trips a false warning of GCC 12.
std::string Numbered(const char* prefix, int number) {
    std::string text(prefix);
    text += std::to_string(number);
    return text;
}

void Set(ZYNLOG_KEY key, const char* name, const char* data) { EXPECT_EQ(ZYNLOG_SetValue(key, name, data), 0) << name; }

// The format written out from what the public operations report, to check the saved
// bytes of a tree that went through every kind of edit.
void ReferenceFile(ZYNLOG_KEY key, int depth, std::string& out) {
    auto escaped = [](const std::string& text) {
        std::string result;
        for (char c : text) {
            if (std::string_view("\"[]{}\\").find(c) != std::string_view::npos) result += '\\';
            result += c;
        }
        return result;
    };
    int keys = 0, key_len = 0, values = 0, name_len = 0, data_len = 0;
    ASSERT_EQ(ZYNLOG_QueryKeyInfo(key, &keys, &key_len, &values, &name_len, &data_len), 0);
    std::vector<char> name(name_len + 1), data(data_len + 1), sub(key_len + 1);
    for (int i = 0; i < values; ++i) {
        ASSERT_EQ(ZYNLOG_EnumValue(key, i, name.data(), name_len + 1, data.data(), data_len + 1), 0);
        out += std::string(depth + 1, '\t') + "\"" + escaped(name.data()) + "\" = \"" + escaped(data.data()) + "\"\r\n";
    }
    for (int i = 0; i < keys; ++i) {
        ZYNLOG_KEY child = nullptr;
        ASSERT_EQ(ZYNLOG_EnumKey(key, i, sub.data(), key_len + 1), 0);
        ASSERT_EQ(ZYNLOG_OpenKey(key, sub.data(), &child), 0);
        std::string tabs(depth + 1, '\t');
        out += tabs + "[" + escaped(sub.data()) + "]\r\n" + tabs + "{\r\n";
        ReferenceFile(child, depth + 1, out);
        out += tabs + "}\r\n";
    }
}

class ChangeLog : public ::testing::Test {
protected:
    void SetUp() override { ResetLog(); }
    void TearDown() override { ResetLog(); }

    std::string LogPath() const { return dir_.file("ZYNDEMO.LOG"); }

    // What a save of the current tree must write, worked out independently of the store.
    static std::string TreeBytes() {
        std::string bytes;
        ReferenceFile(ZYNLOG_ROOT_KEY, -1, bytes);
        return bytes;
    }

    zyntest::TempDir dir_;
};

// ---- The file format, byte for byte -------------------------------------------------

struct FormatCase {
    const char* name;
    std::function<void()> build;
    std::string bytes;
};

const std::vector<FormatCase>& FormatCases() {
    static const std::vector<FormatCase> cases = {
        {"HeaderAndDemoKeyWithNestedCommon",
         [] {
             Set(Key(ZYNLOG_ROOT_KEY, "HEADER"), "Max Demo", "1");
             Set(Key(Key(ZYNLOG_ROOT_KEY, "Demo 1"), "Common"), "Path", "C:\\dir");
         },
         "[HEADER]\r\n{\r\n\t\"Max Demo\" = \"1\"\r\n}\r\n"
         "[Demo 1]\r\n{\r\n\t[Common]\r\n\t{\r\n\t\t\"Path\" = \"C:\\\\dir\"\r\n\t}\r\n}\r\n"},
        {"RootValuesStandUnindentedBeforeTheFirstKey",
         [] {
             Key(ZYNLOG_ROOT_KEY, "A");
             Set(ZYNLOG_ROOT_KEY, "v", "1");
         },
         "\"v\" = \"1\"\r\n[A]\r\n{\r\n}\r\n"},
        {"ValuesComeBeforeSubKeysWhateverTheOrderOfCreation",
         [] {
             ZYNLOG_KEY a = Key(ZYNLOG_ROOT_KEY, "A");
             Key(Key(a, "B"), "C");
             Set(a, "x", "1");
         },
         "[A]\r\n{\r\n\t\"x\" = \"1\"\r\n\t[B]\r\n\t{\r\n\t\t[C]\r\n\t\t{\r\n\t\t}\r\n\t}\r\n}\r\n"},
        {"TheSixDelimiterBytesAreEscapedInEveryString",
         [] { Set(Key(ZYNLOG_ROOT_KEY, "k\"[]{}\\"), "n\"[]{}\\", "d\"[]{}\\"); },
         "[k\\\"\\[\\]\\{\\}\\\\]\r\n{\r\n\t\"n\\\"\\[\\]\\{\\}\\\\\" = \"d\\\"\\[\\]\\{\\}\\\\\"\r\n}\r\n"},
        {"TabsLineBreaksAndHighBytesAreWrittenAsTheyAre",
         [] { Set(ZYNLOG_ROOT_KEY, "a\tb", "line1\r\nline2\xE4="); },
         "\"a\tb\" = \"line1\r\nline2\xE4=\"\r\n"},
        {"TrailingBackslashIsDoubledBeforeTheClosingQuote",
         [] { Set(ZYNLOG_ROOT_KEY, "Root", "C:\\"); },
         "\"Root\" = \"C:\\\\\"\r\n"},
        {"EmptyNamesAndDataAreTwoQuotes",
         [] {
             Set(Key(ZYNLOG_ROOT_KEY, ""), "", "");
         },
         "[]\r\n{\r\n\t\"\" = \"\"\r\n}\r\n"},
        {"ReplacingKeepsThePlaceAndTheFirstSpelling",
         [] {
             Set(ZYNLOG_ROOT_KEY, "Alpha", "1");
             Set(ZYNLOG_ROOT_KEY, "beta", "2");
             Set(ZYNLOG_ROOT_KEY, "ALPHA", "3");
             Set(Key(ZYNLOG_ROOT_KEY, "Files"), "a", "1");
             Set(Key(ZYNLOG_ROOT_KEY, "FILES"), "b", "2");  // the same key, contents kept
         },
         "\"Alpha\" = \"3\"\r\n\"beta\" = \"2\"\r\n[Files]\r\n{\r\n\t\"a\" = \"1\"\r\n\t\"b\" = \"2\"\r\n}\r\n"},
        {"DeletedValuesAndKeysLeaveNoTrace",
         [] {
             ZYNLOG_KEY k = Key(ZYNLOG_ROOT_KEY, "K");
             Set(k, "a", "1");
             Set(k, "b", "2");
             Set(k, "c", "3");
             Key(Key(k, "Gone"), "Below");
             Key(k, "Kept");
             EXPECT_EQ(ZYNLOG_DeleteValue(k, "B"), 0);
             EXPECT_EQ(ZYNLOG_DeleteValue(k, "c"), 0);
             EXPECT_EQ(ZYNLOG_DeleteKey(k, "gone"), 0);
             Set(k, "d", "4");
         },
         "[K]\r\n{\r\n\t\"a\" = \"1\"\r\n\t\"d\" = \"4\"\r\n\t[Kept]\r\n\t{\r\n\t}\r\n}\r\n"},
        {"AnEmptyTreeIsAnEmptyFile", [] {}, ""},
    };
    return cases;
}

class ChangeLogFormat : public ChangeLog, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ChangeLogFormat, SavesExactBytesAndLoadsBackTheSameTree) {
    const FormatCase& c = GetParam();
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    c.build();
    ASSERT_EQ(ZYNLOG_Save(), 0);
    EXPECT_EQ(ReadFileBytes(LogPath()), c.bytes);

    std::string tree = DumpLog();
    ResetLog();
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    EXPECT_EQ(DumpLog(), tree);
}

INSTANTIATE_TEST_SUITE_P(Bytes, ChangeLogFormat, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Loading: bytes in, tree out ------------------------------------------------------

struct LoadCase {
    const char* name;
    std::string existing;  // loaded first, so that the file is merged into it
    std::string file;
    int result;
    std::string tree;
};

std::string LongKey(const char* before, size_t length, const char* after) {
    std::string text(before);
    text.append(length, 'k');
    text += after;
    return text;
}

const std::vector<LoadCase>& LoadCases() {
    static const std::vector<LoadCase> cases = {
        {"CanonicalFile", "",
         "[HEADER]\r\n{\r\n\t\"Max Demo\" = \"1\"\r\n}\r\n[Demo 1]\r\n{\r\n\t[Common]\r\n\t{\r\n"
         "\t\t\"Path\" = \"C:\\\\dir\"\r\n\t}\r\n}\r\n",
         0, "[HEADER]{\"Max Demo\"=\"1\"}[Demo 1]{[Common]{\"Path\"=\"C:\\x5Cdir\"}}"},
        {"OnlyDelimitersCount", "", "junk[A]\"n\"\"d\"[B]\"x\" = y = \"y\"}{{}= tail", 0,
         "[A]{\"n\"=\"d\"[B]{\"x\"=\"y\"}}"},
        {"KeysNestWithoutBraces", "", "[A][B]", 0, "[A]{[B]{}}"},
        {"BackslashMakesTheNextByteLiteral", "", "\"a\\\"b\" = \"c\\\\\"\"x\\\\\\\"y\" = \"\\]\\}\"", 0,
         "\"a\\x22b\"=\"c\\x5C\"\"x\\x5C\\x22y\"=\"\\x5D\\x7D\""},
        {"MergeReplacesByAnyCaseAndAppendsTheRest", "[A]{\"x\"=\"1\"\"y\"=\"2\"}",
         "[a]{\"Y\"=\"3\"\"z\"=\"4\"}[B]{}", 0, "[A]{\"x\"=\"1\"\"y\"=\"3\"\"z\"=\"4\"}[B]{}"},
        {"RepeatedKeyInOneFileIsMerged", "", "[Files]{\"a\"=\"1\"}[FILES]{\"b\"=\"2\"}", 0,
         "[Files]{\"a\"=\"1\"\"b\"=\"2\"}"},
        {"UnmatchedBraceMakesTheNextCreateFail", "", "[A]{}}[B]{}", ERROR_ZYNLOG_KEY_NOT_OPEN, "[A]{}"},
        {"UnmatchedBraceMakesTheNextSetFail", "", "\"a\"=\"1\"}}\"n\" = \"d\"", ERROR_ZYNLOG_KEY_NOT_OPEN,
         "\"a\"=\"1\""},
        {"UnmatchedBraceWithNothingAfterIsHarmless", "", "[A]\r\n{\r\n}\r\n}\r\n", 0, "[A]{}"},
        {"CutInsideDataLosesThatPair", "", "[A]\r\n{\r\n\t\"n\" = \"1\"\r\n\t\"m\" = \"da", 0, "[A]{\"n\"=\"1\"}"},
        {"CutInsideNameLosesThatPair", "", "\"a\" = \"1\"\r\n\"na", 0, "\"a\"=\"1\""},
        {"CutAfterTheNameLosesThatPair", "", "\"name\" = ", 0, ""},
        {"CutAfterABackslash", "", "\"a\" = \"1\\", 0, ""},
        {"NulByteEndsAString", "", std::string("\"a\0b\" = \"c\0d\"", 14), 0, "\"a\"=\"c\""},
        {"KeyNameOf511CharactersFits", "", LongKey("[", 511, "]"), 0, LongKey("[", 511, "]{}")},
        {"KeyNameOf512CharactersIsRefused", "", LongKey("\"a\"=\"1\"[", 512, "][B]"),
         ERROR_ZYNLOG_BUFFER_TOO_SMALL, "\"a\"=\"1\""},
        {"ClosingBracketWithoutOpenerNamesFromTheStart", "", "abc]", 0, "[abc]{}"},
    };
    return cases;
}

class ChangeLogLoad : public ChangeLog, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(ChangeLogLoad, MergesTheFileIntoTheTree) {
    const LoadCase& c = GetParam();
    if (!c.existing.empty()) {
        std::string first = dir_.file("first.log");
        WriteFileBytes(first, c.existing);
        ASSERT_EQ(ZYNLOG_Init(first.c_str(), 30), 0);
    }
    WriteFileBytes(LogPath(), c.file);
    EXPECT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), c.result);
    EXPECT_EQ(DumpLog(), c.tree);
    EXPECT_EQ(ZYNLOG_IsInitialized(), c.result == 0 ? 1 : 0);
    // Loading never writes: the file is as it was.
    EXPECT_EQ(ReadFileBytes(LogPath()), c.file);
}

INSTANTIATE_TEST_SUITE_P(Files, ChangeLogLoad, ::testing::ValuesIn(LoadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Initialisation and the file name --------------------------------------------------

TEST_F(ChangeLog, MissingFileGivesAnEmptyTreeAndLeavesAnEmptyFile) {
    ASSERT_FALSE(fs::exists(LogPath()));
    EXPECT_EQ(ZYNLOG_IsInitialized(), 0);
    EXPECT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    EXPECT_EQ(ZYNLOG_IsInitialized(), 1);
    EXPECT_EQ(DumpLog(), "");
    ASSERT_TRUE(fs::exists(LogPath()));
    EXPECT_EQ(fs::file_size(LogPath()), 0u);
}

// A refused name leaves the log unloaded but Terminate listed for clean-up; an overlong
// name keeps the old one, a name in a missing directory is kept (and nothing is made).
TEST_F(ChangeLog, RefusedNamesAreReportedAndTerminateIsListed) {
    std::string tooLong = dir_.path();
    while (tooLong.size() < 260) tooLong += 'x';
    const std::string missing = Join(dir_.file("nowhere"), "ZYNDEMO.LOG");
    struct Case {
        std::string name;
        int result;
        std::string kept;
    };
    for (const Case& c : {Case{tooLong, ERROR_ZYNLOG_FILENAME_TOO_LONG, LogPath()},
                          Case{missing, ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST, missing}}) {
        ResetLog();
        int listed = MODULE_Count();
        ASSERT_EQ(ZYNLOG_SetFileName(LogPath().c_str()), 0);
        EXPECT_EQ(ZYNLOG_Init(c.name.c_str(), 30), c.result);
        EXPECT_EQ(ZYNLOG_IsInitialized(), 0);
        char stored[300];
        ASSERT_EQ(ZYNLOG_GetFileName(stored, sizeof stored), 0);
        EXPECT_EQ(stored, c.kept);
        EXPECT_EQ(MODULE_Count(), listed + 1);
    }
    EXPECT_FALSE(fs::exists(dir_.file("nowhere")));
}

TEST_F(ChangeLog, NameOf259CharactersIsAccepted) {
    // Short components: some file systems limit a single name to 255 bytes.
    std::string directory = dir_.path();
    while (directory.size() < 259 - 12 - 1) {
        directory = Join(directory, std::string(std::min<size_t>(20, 259 - 13 - directory.size()), 'd'));
        fs::create_directory(directory);
    }
    std::string name = Join(directory, "");
    name += std::string(259 - name.size(), 'f');
    ASSERT_EQ(name.size(), 259u);
    EXPECT_EQ(ZYNLOG_Init(name.c_str(), 30), 0);
    EXPECT_TRUE(fs::exists(name));
}

TEST_F(ChangeLog, NullNameMakesALogThatIsNeverWritten) {
    EXPECT_EQ(ZYNLOG_Init(nullptr, 30), 0);
    EXPECT_EQ(ZYNLOG_IsInitialized(), 1);
    char stored[300];
    EXPECT_EQ(ZYNLOG_GetFileName(stored, sizeof stored), ERROR_ZYNLOG_NO_FILE_SET);
    Set(ZYNLOG_ROOT_KEY, "a", "1");
    EXPECT_EQ(ZYNLOG_Save(), 0);
    EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_F(ChangeLog, GetFileNameNeedsRoomForTheTerminator) {
    ASSERT_EQ(ZYNLOG_SetFileName("C:\\LOG"), 0);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(ZYNLOG_GetFileName(buffer, 6), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    EXPECT_EQ(ZYNLOG_GetFileName(buffer, 7), 0);
    EXPECT_STREQ(buffer, "C:\\LOG");
}

TEST_F(ChangeLog, InitialisingTwiceListsTerminateOnce) {
    int listed = MODULE_Count();
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    EXPECT_EQ(MODULE_Count(), listed + 1);
}

TEST_F(ChangeLog, SetFileNameRedirectsLaterSavesWithoutLoading) {
    WriteFileBytes(dir_.file("other.log"), "\"other\" = \"1\"\r\n");
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    Set(ZYNLOG_ROOT_KEY, "mine", "1");
    ASSERT_EQ(ZYNLOG_SetFileName(dir_.file("other.log").c_str()), 0);
    EXPECT_EQ(DumpLog(), "\"mine\"=\"1\"");
    ASSERT_EQ(ZYNLOG_Save(), 0);
    EXPECT_EQ(ReadFileBytes(dir_.file("other.log")), "\"mine\" = \"1\"\r\n");
    EXPECT_EQ(ReadFileBytes(LogPath()), "");
}

TEST_F(ChangeLog, SaveIntoAMissingDirectoryFailsToOpen) {
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    Set(ZYNLOG_ROOT_KEY, "a", "1");
    ASSERT_EQ(ZYNLOG_SetFileName(Join(dir_.file("gone"), "x.log").c_str()), 0);
    EXPECT_EQ(ZYNLOG_Save(), ERROR_ZYNLOG_FILE_OPEN);
}

// ---- Termination and the clean-up list ---------------------------------------------------

TEST_F(ChangeLog, TerminateSavesEmptiesAndLeavesTheList) {
    int listed = MODULE_Count();
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    Set(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "a", "1");
    EXPECT_EQ(ZYNLOG_Terminate(), 0);
    EXPECT_EQ(ReadFileBytes(LogPath()), "[Demo 0]\r\n{\r\n\t\"a\" = \"1\"\r\n}\r\n");
    EXPECT_EQ(DumpLog(), "");
    EXPECT_EQ(ZYNLOG_IsInitialized(), 0);
    EXPECT_EQ(MODULE_Count(), listed);
    // A save after the end (a late fatal error) must not empty the log on disk.
    EXPECT_EQ(ZYNLOG_Save(), 0);
    EXPECT_EQ(ReadFileBytes(LogPath()), "[Demo 0]\r\n{\r\n\t\"a\" = \"1\"\r\n}\r\n");
}

TEST_F(ChangeLog, TerminateThatCannotSaveKeepsEverything) {
    std::string sub = dir_.file("sub");
    fs::create_directory(sub);
    std::string name = Join(sub, "ZYNDEMO.LOG");
    int listed = MODULE_Count();
    ASSERT_EQ(ZYNLOG_Init(name.c_str(), 30), 0);
    Set(ZYNLOG_ROOT_KEY, "a", "1");
    fs::remove_all(sub);
    EXPECT_EQ(ZYNLOG_Terminate(), ERROR_ZYNLOG_FILE_OPEN);
    EXPECT_EQ(DumpLog(), "\"a\"=\"1\"");
    EXPECT_EQ(MODULE_Count(), listed + 1);
    fs::create_directory(sub);
    EXPECT_EQ(ZYNLOG_Terminate(), 0);
    EXPECT_EQ(ReadFileBytes(name), "\"a\" = \"1\"\r\n");
}

TEST_F(ChangeLog, CleanUpListSavesTheLogOfAProgramThatStopsEarly) {
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    Set(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "a", "1");
    MODULE_RunAll();
    EXPECT_EQ(ReadFileBytes(LogPath()), "[Demo 0]\r\n{\r\n\t\"a\" = \"1\"\r\n}\r\n");
    EXPECT_EQ(ZYNLOG_IsInitialized(), 0);
}

// ---- Operations and their codes -----------------------------------------------------------

TEST_F(ChangeLog, NullKeyIsRefusedByEveryOperation) {
    char a[16], b[16];
    int n = 0;
    ZYNLOG_KEY out = ZYNLOG_ROOT_KEY;
    EXPECT_EQ(ZYNLOG_CreateKey(nullptr, "A", &out), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(out, nullptr);
    out = ZYNLOG_ROOT_KEY;
    EXPECT_EQ(ZYNLOG_OpenKey(nullptr, "A", &out), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ZYNLOG_CloseKey(nullptr), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_CloseKey(ZYNLOG_ROOT_KEY), 0);
    EXPECT_EQ(ZYNLOG_DeleteKey(nullptr, "A"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_SetValue(nullptr, "a", "1"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_GetValue(nullptr, "a", a, sizeof a), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_CopyValue(nullptr, "a", "b"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_DeleteValue(nullptr, "a"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_EnumKey(nullptr, 0, a, sizeof a), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_EnumValue(nullptr, 0, a, sizeof a, b, sizeof b), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(ZYNLOG_QueryKeyInfo(nullptr, &n, &n, &n, &n, &n), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(DumpLog(), "");
}

TEST_F(ChangeLog, MissingEntriesHaveTheirOwnCodes) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    Set(key, "a", "1");
    ZYNLOG_KEY out = key;
    char buffer[16] = "unchanged";
    EXPECT_EQ(ZYNLOG_OpenKey(key, "a", &out), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ZYNLOG_DeleteKey(key, "nothing"), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_GetValue(key, "b", buffer, sizeof buffer), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_DeleteValue(key, "b"), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_CopyValue(key, "b", "c"), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_GetValue(ZYNLOG_ROOT_KEY, "a", buffer, sizeof buffer), ERROR_ZYNLOG_VALUE_NOT_FOUND)
        << "values belong to one key only";
    EXPECT_EQ(DumpLog(), "[K]{\"a\"=\"1\"}");
}

TEST_F(ChangeLog, BufferExactlyAsLongAsTheStringIsTooSmall) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "Files");
    Set(key, "name", "data!");
    char name[16], data[16];
    struct Case {
        int name_size, data_size, result;
    };
    for (Case c : {Case{5, 6, 0}, Case{4, 6, ERROR_ZYNLOG_BUFFER_TOO_SMALL}, Case{5, 5, ERROR_ZYNLOG_BUFFER_TOO_SMALL},
                   Case{0, 0, ERROR_ZYNLOG_BUFFER_TOO_SMALL}}) {
        std::strcpy(name, "junk");
        std::strcpy(data, "junk");
        EXPECT_EQ(ZYNLOG_EnumValue(key, 0, name, c.name_size, data, c.data_size), c.result) << c.name_size;
        if (c.result == 0) {
            EXPECT_STREQ(name, "name");
            EXPECT_STREQ(data, "data!");
        } else if (c.name_size > 0) {
            EXPECT_STREQ(name, "");
            EXPECT_STREQ(data, "");
        }
    }
    EXPECT_EQ(ZYNLOG_GetValue(key, "NAME", data, 5), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    EXPECT_EQ(ZYNLOG_GetValue(key, "NAME", data, 6), 0);
    EXPECT_STREQ(data, "data!");
    std::strcpy(name, "junk");
    EXPECT_EQ(ZYNLOG_EnumKey(ZYNLOG_ROOT_KEY, 0, name, 5), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(ZYNLOG_EnumKey(ZYNLOG_ROOT_KEY, 0, name, 6), 0);
    EXPECT_STREQ(name, "Files");
}

TEST_F(ChangeLog, EnumerationFollowsCreationOrderAndEndsWithEmptyBuffers) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    for (const char* name : {"zeta", "Alpha", "mid"}) {
        Key(key, name);
        Set(key, name, name);
    }
    Key(key, "ALPHA");
    Set(key, "MID", "again");
    char name[16], data[16];
    std::vector<std::string> keys, values;
    for (int i = 0; ZYNLOG_EnumKey(key, i, name, sizeof name) == 0; ++i) keys.push_back(name);
    for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i)
        values.push_back(std::string(name) + "=" + data);
    EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    EXPECT_EQ(values, (std::vector<std::string>{"zeta=zeta", "Alpha=Alpha", "mid=again"}));
    for (int index : {3, -1, 1000}) {
        std::strcpy(name, "junk");
        std::strcpy(data, "junk");
        EXPECT_EQ(ZYNLOG_EnumKey(key, index, name, sizeof name), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
        EXPECT_STREQ(name, "");
        std::strcpy(name, "junk");
        EXPECT_EQ(ZYNLOG_EnumValue(key, index, name, sizeof name, data, sizeof data), ERROR_ZYNLOG_VALUE_NOT_FOUND);
        EXPECT_STREQ(name, "");
        EXPECT_STREQ(data, "");
    }
}

TEST_F(ChangeLog, KeyNamesMustBeShorterThan512) {
    ZYNLOG_KEY key = nullptr;
    EXPECT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, std::string(512, 'k').c_str(), &key), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, std::string(511, 'k').c_str(), &key), 0);
    EXPECT_NE(key, nullptr);
    // Value names and data have no limit.
    EXPECT_EQ(ZYNLOG_SetValue(key, std::string(5000, 'n').c_str(), std::string(70000, 'd').c_str()), 0);
}

TEST_F(ChangeLog, CopyValueDuplicatesWithinTheKey) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    Set(key, "src", "data");
    Set(key, "long", std::string(300, 'x').c_str());
    Set(key, "dst", "old");
    EXPECT_EQ(ZYNLOG_CopyValue(key, "SRC", "Dst"), 0);
    EXPECT_EQ(ZYNLOG_CopyValue(key, "src", "new"), 0);
    EXPECT_EQ(ZYNLOG_CopyValue(key, "src", "SRC"), 0);
    EXPECT_EQ(DumpLog(), "[K]{\"src\"=\"data\"\"long\"=\"" + std::string(300, 'x') +
                             "\"\"dst\"=\"data\"\"new\"=\"data\"}");
}

TEST_F(ChangeLog, DeleteKeyRemovesEverythingBelowAndKeepsSiblings) {
    ZYNLOG_KEY demo = Key(ZYNLOG_ROOT_KEY, "Demo 0");
    ZYNLOG_KEY files = Key(demo, "Files");
    Set(files, "a", "0");
    ZYNLOG_KEY deep = Key(Key(files, "x"), "y");
    Set(deep, "b", "1");
    ZYNLOG_KEY sibling = Key(demo, "INI Settings");
    Set(sibling, "c", "2");
    EXPECT_EQ(ZYNLOG_DeleteKey(demo, "FILES"), 0);
    EXPECT_EQ(DumpLog(), "[Demo 0]{[INI Settings]{\"c\"=\"2\"}}");
    Set(sibling, "d", "3");
    EXPECT_EQ(DumpLog(), "[Demo 0]{[INI Settings]{\"c\"=\"2\"\"d\"=\"3\"}}");
}

TEST_F(ChangeLog, QueryKeyInfoTracksCountsAndLongestLengths) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    auto info = [&] {
        int k = -1, kl = -1, v = -1, vl = -1, dl = -1;
        EXPECT_EQ(ZYNLOG_QueryKeyInfo(key, &k, &kl, &v, &vl, &dl), 0);
        return std::vector<int>{k, kl, v, vl, dl};
    };
    EXPECT_EQ(info(), (std::vector<int>{0, 0, 0, 0, 0}));
    Key(key, "abc");
    Key(key, "abcdefg");
    Set(key, "n", "1234567890");
    Set(key, "longer", "1");
    EXPECT_EQ(info(), (std::vector<int>{2, 7, 2, 6, 10}));
    Set(key, "N", "12");
    EXPECT_EQ(ZYNLOG_DeleteKey(key, "abcdefg"), 0);
    EXPECT_EQ(info(), (std::vector<int>{1, 3, 2, 6, 2}));
    EXPECT_EQ(ZYNLOG_DeleteValue(key, "longer"), 0);
    EXPECT_EQ(info(), (std::vector<int>{1, 3, 1, 1, 2}));
    EXPECT_EQ(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

// Positions reached by index stay right whatever the walk and whatever is deleted
// on the way (uninstall walks last to first and deletes, tidying keeps the index).
TEST_F(ChangeLog, EnumerationByIndexAgreesWithAModelUnderEdits) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "Files");
    std::vector<std::string> model;
    std::mt19937 random(7);
    int next_name = 0;
    auto add = [&] {
        std::string name = Numbered("f", next_name++);
        Set(key, name.c_str(), "0");
        model.push_back(name);
    };
    for (int i = 0; i < 200; ++i) add();
    char name[32], data[8];
    auto check = [&](int index) {
        ASSERT_EQ(ZYNLOG_EnumValue(key, index, name, sizeof name, data, sizeof data), 0) << index;
        ASSERT_EQ(name, model[index]) << index;
    };
    for (int step = 0; step < 3000; ++step) {
        int count = static_cast<int>(model.size());
        switch (random() % 6) {
            case 0:  // random visit
                if (count) check(static_cast<int>(random() % count));
                break;
            case 1: {  // visit then delete what was visited
                if (!count) break;
                int index = static_cast<int>(random() % count);
                check(index);
                ASSERT_EQ(ZYNLOG_DeleteValue(key, name), 0);
                model.erase(model.begin() + index);
                if (index < count - 1) check(index);
                break;
            }
            case 2: {  // delete anywhere
                if (!count) break;
                int index = static_cast<int>(random() % count);
                ASSERT_EQ(ZYNLOG_DeleteValue(key, model[index].c_str()), 0);
                model.erase(model.begin() + index);
                break;
            }
            case 3:
                add();
                break;
            case 4:  // walk forwards or backwards a little
                if (count) {
                    int start = static_cast<int>(random() % count);
                    for (int i = start; i < count && i < start + 5; ++i) check(i);
                    for (int i = start; i >= 0 && i > start - 5; --i) check(i);
                }
                break;
            case 5:  // replacing data moves nothing
                if (count) Set(key, model[random() % count].c_str(), "1");
                break;
        }
    }
    // The uninstall walk: last to first, deleting each.
    for (int i = static_cast<int>(model.size()) - 1; i >= 0; --i) {
        check(i);
        ASSERT_EQ(ZYNLOG_DeleteValue(key, name), 0);
    }
    EXPECT_EQ(DumpLog(), "[Files]{}");
}

// ---- Autosave --------------------------------------------------------------------------

class ChangeLogAutosave : public ChangeLog {
protected:
    void SetUp() override {
        ChangeLog::SetUp();
        ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
        filler_ = Key(ZYNLOG_ROOT_KEY, "filler");
    }

    // One counted change; true when it made the store write the file.
    bool FillerChangeSaves() {
        fs::remove(LogPath());
        EXPECT_EQ(ZYNLOG_SetValue(filler_, "n", std::to_string(fillers_++).c_str()), 0);
        return fs::exists(LogPath());
    }

    // Brings the change counter to 0 by making changes until one saves.
    void Synchronise() {
        for (int i = 0; i < 31; ++i)
            if (FillerChangeSaves()) return;
        ADD_FAILURE() << "no autosave within 31 changes";
    }

    // How many changes an action counted, seen only through when the next save comes.
    int ChangesCountedBy(const std::function<void()>& action) {
        Synchronise();
        action();
        for (int fillers = 1; fillers <= 30; ++fillers)
            if (FillerChangeSaves()) return 30 - fillers;
        return -1;
    }

    ZYNLOG_KEY filler_ = nullptr;
    int fillers_ = 0;
};

TEST_F(ChangeLogAutosave, CountsExactlyTheChangingOperations) {
    ZYNLOG_KEY k = Key(ZYNLOG_ROOT_KEY, "K");
    Set(k, "a", "1");
    char buffer[64], data[64];
    int n = 0;
    struct Case {
        const char* name;
        std::function<void()> action;
        int changes;
    };
    std::vector<Case> cases = {
        {"create new key", [&] { Key(k, "new"); }, 1},
        {"create existing key", [&] { Key(k, "NEW"); }, 1},
        {"set new value", [&] { Set(k, "b", "2"); }, 1},
        {"replace value", [&] { Set(k, "B", "3"); }, 1},
        {"copy value", [&] { EXPECT_EQ(ZYNLOG_CopyValue(k, "a", "c"), 0); }, 1},
        {"delete value", [&] { EXPECT_EQ(ZYNLOG_DeleteValue(k, "c"), 0); }, 1},
        {"reads", [&] {
             ZYNLOG_KEY out;
             EXPECT_EQ(ZYNLOG_OpenKey(k, "new", &out), 0);
             EXPECT_EQ(ZYNLOG_GetValue(k, "a", buffer, sizeof buffer), 0);
             EXPECT_EQ(ZYNLOG_EnumKey(k, 0, buffer, sizeof buffer), 0);
             EXPECT_EQ(ZYNLOG_EnumValue(k, 0, buffer, sizeof buffer, data, sizeof data), 0);
             EXPECT_EQ(ZYNLOG_QueryKeyInfo(k, &n, &n, &n, &n, &n), 0);
             EXPECT_EQ(ZYNLOG_CloseKey(k), 0);
         }, 0},
        {"failures", [&] {
             EXPECT_NE(ZYNLOG_DeleteValue(k, "none"), 0);
             EXPECT_NE(ZYNLOG_DeleteKey(k, "none"), 0);
             EXPECT_NE(ZYNLOG_CopyValue(k, "none", "x"), 0);
             EXPECT_NE(ZYNLOG_SetValue(nullptr, "x", "y"), 0);
         }, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ChangesCountedBy(c.action), c.changes) << c.name;

    ZYNLOG_KEY doomed = Key(k, "doomed");
    Set(Key(Key(doomed, "x"), "y"), "v", "1");
    EXPECT_EQ(ChangesCountedBy([&] { EXPECT_EQ(ZYNLOG_DeleteKey(k, "doomed"), 0); }), 3)
        << "each key deleted counts, its values do not";
}

TEST_F(ChangeLogAutosave, FileOnDiskEqualsTheTreeAfterEvery30thChange) {
    Synchronise();
    std::mt19937 random(11);
    ZYNLOG_KEY demo = Key(ZYNLOG_ROOT_KEY, "Demo 0");
    int changes = 1;
    for (int step = 0; step < 200; ++step) {
        std::string name = Numbered("v", static_cast<int>(random() % 40));
        std::string before = ReadFileBytes(LogPath());
        if (random() % 3 == 0) {
            if (ZYNLOG_DeleteValue(demo, name.c_str()) != 0) continue;
        } else {
            Set(demo, name.c_str(), std::to_string(step).c_str());
        }
        ++changes;
        if (changes % 30 == 0) {
            EXPECT_EQ(ReadFileBytes(LogPath()), TreeBytes()) << "after change " << changes;
        } else {
            EXPECT_EQ(ReadFileBytes(LogPath()), before) << "after change " << changes;
        }
    }
}

TEST_F(ChangeLogAutosave, FailedAutosaveIsReportedButTheChangeIsMade) {
    Synchronise();
    ASSERT_EQ(ZYNLOG_SetFileName(Join(dir_.file("gone"), "x.log").c_str()), 0);
    for (int i = 0; i < 29; ++i) Set(filler_, "n", std::to_string(i).c_str());
    EXPECT_EQ(ZYNLOG_SetValue(filler_, "thirtieth", "1"), ERROR_ZYNLOG_FILE_OPEN);
    char data[8];
    EXPECT_EQ(ZYNLOG_GetValue(filler_, "thirtieth", data, sizeof data), 0);
}

TEST_F(ChangeLogAutosave, LoadingCountsNoChanges) {
    ResetLog();
    std::string file;
    for (int i = 0; i < 100; ++i) file += "\"v" + std::to_string(i) + "\" = \"1\"\r\n";
    WriteFileBytes(LogPath(), file);
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    for (int i = 0; i < 29; ++i) Set(ZYNLOG_ROOT_KEY, "new", std::to_string(i).c_str());
    EXPECT_EQ(ReadFileBytes(LogPath()), file);
    Set(ZYNLOG_ROOT_KEY, "new", "last");
    EXPECT_EQ(ReadFileBytes(LogPath()), file + "\"new\" = \"last\"\r\n");
}

std::string RandomText(std::mt19937& random, size_t max_length) {
    static const std::string alphabet = "aAbBzZ09 _.,=:\"[]{}\\\t\r\n\xE4\xC4\x7F\x01";
    std::string text(random() % (max_length + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

// Saves between edits reuse what the previous save wrote; after any mix of edits the
// file must still be exactly what the tree gives, and load back to the same tree.
TEST_F(ChangeLog, SavesBetweenEditsWriteExactlyTheTree) {
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 0), 0);
    Set(ZYNLOG_ROOT_KEY, "root", "r");
    ZYNLOG_KEY first = Key(ZYNLOG_ROOT_KEY, "First");
    ZYNLOG_KEY files = Key(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "Files");
    std::mt19937 random(3);
    int next = 0;
    for (int step = 0; step < 250; ++step) {
        ZYNLOG_KEY key = random() % 4 == 0 ? first : files;
        char name[64], data[64];
        int values = 0;
        ASSERT_EQ(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, nullptr, nullptr), 0);
        int index = values ? static_cast<int>(random() % values) : 0;
        switch (random() % 8) {
            case 0:  // any bytes, delimiters included, in names and data
                Set(key, RandomText(random, 6).c_str(), RandomText(random, 20).c_str());
                break;
            case 1:
            case 2:
                Set(key, Numbered("C:\\DEMO\\F", next++).c_str(), "0");
                break;
            case 3:  // the last value goes, as in an uninstall
                if (values && ZYNLOG_EnumValue(key, values - 1, name, sizeof name, data, sizeof data) == 0) {
                    EXPECT_EQ(ZYNLOG_DeleteValue(key, name), 0);
                }
                break;
            case 4:  // any value goes
                if (values && ZYNLOG_EnumValue(key, index, name, sizeof name, data, sizeof data) == 0) {
                    EXPECT_EQ(ZYNLOG_DeleteValue(key, name), 0);
                }
                break;
            case 5:  // a shared record gets a longer list
                if (values && ZYNLOG_EnumValue(key, random() % 2 ? values - 1 : index, name, sizeof name, data,
                                               sizeof data) == 0)
                    Set(key, name, Numbered("0, ", step).c_str());
                break;
            case 6:
                Key(files, random() % 2 ? "Sub" : "SUB");
                break;
            case 7:
                ZYNLOG_DeleteKey(files, "sub");
                Set(ZYNLOG_ROOT_KEY, "root", Numbered("r", step).c_str());
                break;
        }
        ASSERT_EQ(ZYNLOG_Save(), 0);
        ASSERT_EQ(ReadFileBytes(LogPath()), TreeBytes()) << "step " << step;
    }
    // And what was saved loads back to the same tree.
    std::string tree = DumpLog();
    ResetLog();
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 0), 0);
    EXPECT_EQ(DumpLog(), tree);
}

TEST_F(ChangeLog, DeeplyNestedKeysAreSavedLoadedAndDeleted) {
    const int kDepth = 1000;
    std::string file;
    for (int i = 0; i < kDepth; ++i) file += "[k]";
    WriteFileBytes(LogPath(), file);
    ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), 0);
    ZYNLOG_KEY key = ZYNLOG_ROOT_KEY;
    int depth = 0;
    while (ZYNLOG_OpenKey(key, "K", &key) == 0) ++depth;
    EXPECT_EQ(depth, kDepth);
    ASSERT_EQ(ZYNLOG_Save(), 0);
    uintmax_t expected = 0;
    for (uintmax_t depth = 0; depth < kDepth; ++depth) expected += 3 * depth + 11;  // tabs grow with depth
    EXPECT_EQ(fs::file_size(LogPath()), expected);
    EXPECT_EQ(ZYNLOG_DeleteKey(ZYNLOG_ROOT_KEY, "k"), 0);
    EXPECT_EQ(DumpLog(), "");
}

}  // namespace
