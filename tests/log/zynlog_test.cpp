#include "log/zynlog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "log/logdump.h"
#include "script/module.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using namespace zyntest;

std::string Join(const std::string& directory, const std::string& name) { return (fs::path(directory) / name).string(); }

ZYNLOG_KEY Key(ZYNLOG_KEY parent, const char* name) {
    ZYNLOG_KEY key = nullptr;
    EXPECT_EQ(ZYNLOG_CreateKey(parent, name, &key), 0) << name;
    return key;
}

void Set(ZYNLOG_KEY key, const char* name, const char* data) { EXPECT_EQ(ZYNLOG_SetValue(key, name, data), 0) << name; }

class ChangeLog : public ::testing::Test {
protected:
    void SetUp() override { ResetLog(); }
    void TearDown() override { ResetLog(); }
    std::string LogPath() const { return dir_.file("ZYNDEMO.LOG"); }
    void Init(int autosave = 30) { ASSERT_EQ(ZYNLOG_Init(LogPath().c_str(), autosave), 0); }
    zyntest::TempDir dir_;
};

TEST_F(ChangeLog, SavesExactBytesAndLoadsBackTheSameTree) {
    const std::tuple<const char*, std::function<void()>, std::string> cases[] = {
        {"values come before sub-keys whatever the order of creation, the root's unindented", [] {
             ZYNLOG_KEY a = Key(ZYNLOG_ROOT_KEY, "A");
             Key(Key(a, "B"), "C");
             Set(a, "x", "1");
             Set(ZYNLOG_ROOT_KEY, "v", "1");
         }, "\"v\" = \"1\"\r\n[A]\r\n{\r\n\t\"x\" = \"1\"\r\n\t[B]\r\n\t{\r\n\t\t[C]\r\n\t\t{\r\n\t\t}\r\n\t}\r\n}\r\n"},
        {"the six delimiter bytes are escaped everywhere", [] { Set(Key(ZYNLOG_ROOT_KEY, "k\"[]{}\\"), "n\"[]{}\\", "d\"[]{}\\"); },
         "[k\\\"\\[\\]\\{\\}\\\\]\r\n{\r\n\t\"n\\\"\\[\\]\\{\\}\\\\\" = \"d\\\"\\[\\]\\{\\}\\\\\"\r\n}\r\n"},
        {"names match in any case: replacing keeps the place and the first spelling", [] {
             Set(ZYNLOG_ROOT_KEY, "Alpha", "1");
             Set(ZYNLOG_ROOT_KEY, "beta", "2");
             Set(ZYNLOG_ROOT_KEY, "ALPHA", "3");
             Set(ZYNLOG_ROOT_KEY, "gamma", "4");
             EXPECT_EQ(ZYNLOG_DeleteValue(ZYNLOG_ROOT_KEY, "BETA"), 0);
             Set(Key(ZYNLOG_ROOT_KEY, "Files"), "a", "1");
             Set(Key(ZYNLOG_ROOT_KEY, "FILES"), "b", "2");
         }, "\"Alpha\" = \"3\"\r\n\"gamma\" = \"4\"\r\n[Files]\r\n{\r\n\t\"a\" = \"1\"\r\n\t\"b\" = \"2\"\r\n}\r\n"},
        {"an empty tree is an empty file", [] {}, ""},
    };
    for (const auto& [what, build, bytes] : cases) {
        SCOPED_TRACE(what);
        ResetLog();
        fs::remove(LogPath());
        Init();
        build();
        ASSERT_EQ(ZYNLOG_Save(), 0);
        EXPECT_EQ(ReadFileBytes(LogPath()), bytes);
        const std::string tree = DumpLog();
        ResetLog();
        Init();
        EXPECT_EQ(DumpLog(), tree);
    }
}

TEST_F(ChangeLog, LoadingMergesTheFileIntoTheTreeAndNeverWrites) {
    const std::tuple<const char*, std::string, int, std::string> cases[] = {
        {"only delimiters count", "junk[A]\"n\"\"d\"[B]\"x\" = y = \"y\"}{{}= tail", 0, "[A]{\"n\"=\"d\"[B]{\"x\"=\"y\"}}"},
        {"a backslash makes the next byte literal", "\"a\\\"b\" = \"c\\\\\"\"x\\\\\\\"y\" = \"\\]\\}\"", 0,
         "\"a\\x22b\"=\"c\\x5C\"\"x\\x5C\\x22y\"=\"\\x5D\\x7D\""},
        {"a repeated key is merged: values replaced by any case, the rest appended",
         "[A]{\"x\"=\"1\"\"y\"=\"2\"}[a]{\"Y\"=\"3\"\"z\"=\"4\"}[B]{}", 0, "[A]{\"x\"=\"1\"\"y\"=\"3\"\"z\"=\"4\"}[B]{}"},
        {"an unmatched brace fails what follows", "[A]{}}[B]{}", ERROR_ZYNLOG_KEY_NOT_OPEN, "[A]{}"},
        {"cut inside data", "[A]\r\n{\r\n\t\"n\" = \"1\"\r\n\t\"m\" = \"da", 0, "[A]{\"n\"=\"1\"}"},
        {"a key name of 511 characters fits", "[" + std::string(511, 'k') + "]", 0, "[" + std::string(511, 'k') + "]{}"},
        {"a key name of 512 is refused", "\"a\"=\"1\"[" + std::string(512, 'k') + "][B]", ERROR_ZYNLOG_BUFFER_TOO_SMALL, "\"a\"=\"1\""},
    };
    for (const auto& [what, file, result, tree] : cases) {
        SCOPED_TRACE(what);
        ResetLog();
        WriteFileBytes(LogPath(), file);
        EXPECT_EQ(ZYNLOG_Init(LogPath().c_str(), 30), result);
        EXPECT_EQ(DumpLog(), tree);
        EXPECT_EQ(ZYNLOG_IsInitialized(), result == 0 ? 1 : 0);
        EXPECT_EQ(ReadFileBytes(LogPath()), file);
    }
}

// Names shorter than 260 are taken. A refused name leaves the log unloaded but Terminate
// listed for clean-up; an overlong name keeps the old one, a name in a missing directory
// is kept (and nothing is made).
TEST_F(ChangeLog, FileNamesAreCheckedAndTerminateIsListed) {
    std::string longest = Join(dir_.file("nowhere"), "");  // the length is checked first
    longest += std::string(259 - longest.size(), 'f');
    const std::tuple<std::string, int, std::string> cases[] = {{longest, ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST, longest},
                 {longest + "f", ERROR_ZYNLOG_FILENAME_TOO_LONG, LogPath()}};
    for (const auto& [name, result, kept] : cases) {
        ResetLog();
        const int listed = MODULE_Count();
        ASSERT_EQ(ZYNLOG_SetFileName(LogPath().c_str()), 0);
        EXPECT_EQ(ZYNLOG_Init(name.c_str(), 30), result);
        EXPECT_EQ(ZYNLOG_IsInitialized(), 0);
        char stored[300];
        ASSERT_EQ(ZYNLOG_GetFileName(stored, sizeof stored), 0);
        EXPECT_EQ(stored, kept);
        EXPECT_EQ(MODULE_Count(), listed + 1);
    }
    EXPECT_FALSE(fs::exists(dir_.file("nowhere")));
}

// A log without a name is never written; SetFileName points the saves elsewhere without
// loading anything.
TEST_F(ChangeLog, FileNamesAreKeptAndSavedToButNeverLoadedByAName) {
    EXPECT_EQ(ZYNLOG_Init(nullptr, 30), 0);
    char stored[8];
    EXPECT_EQ(ZYNLOG_GetFileName(stored, sizeof stored), ERROR_ZYNLOG_NO_FILE_SET);
    Set(ZYNLOG_ROOT_KEY, "mine", "1");
    EXPECT_EQ(ZYNLOG_Save(), 0);
    EXPECT_TRUE(fs::is_empty(dir_.path()));
    WriteFileBytes(LogPath(), "\"other\" = \"1\"\r\n");
    ASSERT_EQ(ZYNLOG_SetFileName(LogPath().c_str()), 0);
    EXPECT_EQ(DumpLog(), "\"mine\"=\"1\"");
    ASSERT_EQ(ZYNLOG_Save(), 0);
    EXPECT_EQ(ReadFileBytes(LogPath()), "\"mine\" = \"1\"\r\n");
    ASSERT_EQ(ZYNLOG_SetFileName("C:\\LOG"), 0);
    EXPECT_EQ(ZYNLOG_GetFileName(stored, 6), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    EXPECT_EQ(ZYNLOG_GetFileName(stored, 7), 0);
}

// A log that cannot be saved at the end keeps everything, and the end can be tried again.
TEST_F(ChangeLog, TerminateSavesEmptiesAndLeavesTheList) {
    const std::string sub = dir_.file("sub"), name = Join(sub, "ZYNDEMO.LOG"), saved = "[Demo 0]\r\n{\r\n\t\"a\" = \"1\"\r\n}\r\n";
    fs::create_directory(sub);
    const int listed = MODULE_Count();
    ASSERT_EQ(ZYNLOG_Init(name.c_str(), 30), 0);
    Set(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "a", "1");
    fs::remove_all(sub);
    EXPECT_EQ(ZYNLOG_Terminate(), ERROR_ZYNLOG_FILE_OPEN);
    EXPECT_EQ(DumpLog(), "[Demo 0]{\"a\"=\"1\"}");
    fs::create_directory(sub);
    EXPECT_EQ(ZYNLOG_Terminate(), 0);
    EXPECT_EQ(ReadFileBytes(name), saved);
    EXPECT_EQ(DumpLog(), "");
    EXPECT_EQ(MODULE_Count(), listed);
    // A save after the end (a late fatal error) must not empty the log on disk.
    EXPECT_EQ(ZYNLOG_Save(), 0);
    EXPECT_EQ(ReadFileBytes(name), saved);
}

TEST_F(ChangeLog, NullKeysAndMissingEntriesHaveTheirOwnCodes) {
    char a[16];
    ZYNLOG_KEY opened = ZYNLOG_ROOT_KEY;
    EXPECT_EQ(ZYNLOG_CreateKey(nullptr, "A", &opened), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(opened, nullptr);
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    Set(key, "a", "1");
    EXPECT_EQ(ZYNLOG_OpenKey(key, "a", &opened), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_DeleteValue(key, "b"), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(ZYNLOG_GetValue(ZYNLOG_ROOT_KEY, "a", a, sizeof a), ERROR_ZYNLOG_VALUE_NOT_FOUND);
}

// A buffer exactly as long as the string is too small; a failed read leaves empty buffers;
// counts and longest lengths follow deletions.
TEST_F(ChangeLog, EnumerationBuffersAndKeyInfo) {
    ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "K");
    for (const char* name : {"zeta", "Alpha", "mid"}) {
        Key(key, name);
        Set(key, name, name);
    }
    Set(key, "MID", "data!");
    char name[16], data[16];
    constexpr int kSmall = ERROR_ZYNLOG_BUFFER_TOO_SMALL, kNoValue = ERROR_ZYNLOG_VALUE_NOT_FOUND,
                  kNoKey = ERROR_ZYNLOG_SUB_KEY_NOT_FOUND;
    // Index, name and data sizes; the value's and the key's results.
    const std::tuple<int, int, int, int, int> cases[] = {
        {2, 4, 6, 0, 0}, {2, 3, 6, kSmall, kSmall}, {2, 4, 5, kSmall, 0}, {3, 16, 16, kNoValue, kNoKey}};
    for (const auto& [index, name_size, data_size, value_result, key_result] : cases) {
        SCOPED_TRACE(std::to_string(index) + " " + std::to_string(name_size) + " " + std::to_string(data_size));
        std::strcpy(name, "junk");
        std::strcpy(data, "junk");
        EXPECT_EQ(ZYNLOG_EnumValue(key, index, name, name_size, data, data_size), value_result);
        EXPECT_EQ(std::string(name) + "=" + data, value_result == 0 ? "mid=data!" : "=");
        std::strcpy(name, "junk");
        EXPECT_EQ(ZYNLOG_EnumKey(key, index, name, name_size), key_result);
        EXPECT_STREQ(name, key_result == 0 ? "mid" : "");
    }
    EXPECT_EQ(ZYNLOG_GetValue(key, "MID", data, 5), ERROR_ZYNLOG_BUFFER_TOO_SMALL);
    auto info = [&] {
        int k = -1, kl = -1, v = -1, vl = -1, dl = -1;
        EXPECT_EQ(ZYNLOG_QueryKeyInfo(key, &k, &kl, &v, &vl, &dl), 0);
        return std::vector<int>{k, kl, v, vl, dl};
    };
    EXPECT_EQ(info(), (std::vector<int>{3, 5, 3, 5, 5}));
    EXPECT_EQ(ZYNLOG_DeleteKey(key, "alpha"), 0);
    EXPECT_EQ(ZYNLOG_DeleteValue(key, "alpha"), 0);
    EXPECT_EQ(info(), (std::vector<int>{2, 4, 2, 4, 5}));
}

// Saves between edits patch what the previous save wrote. Under random edits, delimiter
// bytes included, the patched file must hold every change: it loads back to the same
// tree, and a save built afresh from that tree writes the very same bytes.
TEST_F(ChangeLog, PatchedSavesMatchAFreshSaveUnderRandomEdits) {
    std::mt19937 random(7);
    auto text = [&random](size_t max_length) {
        static const std::string alphabet = "aAzZ09 _,=\"[]{}\\\t\r\n\xE4\x7F\x01";
        std::string result(random() % (max_length + 1), ' ');
        for (char& c : result) c = alphabet[random() % alphabet.size()];
        return result;
    };
    Init(0);
    Key(Key(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "Files"), "Sub");  // values are written before it
    char name[64], data[64];
    for (int step = 0; step < 1200; ++step) {
        ZYNLOG_KEY keys[2] = {Key(ZYNLOG_ROOT_KEY, "First"), Key(Key(ZYNLOG_ROOT_KEY, "Demo 0"), "Files")};
        ZYNLOG_KEY key = keys[random() % 2];
        int count = 0;
        ASSERT_EQ(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &count, nullptr, nullptr), 0);
        if (static_cast<int>(random() % 16) >= count) {  // keys stay small enough to be patched
            Set(key, text(6).c_str(), text(20).c_str());
        } else {
            // The last value half the time: the edits a save patches rather than rebuilds.
            const int index = random() % 2 ? count - 1 : static_cast<int>(random() % count);
            ASSERT_EQ(ZYNLOG_EnumValue(key, index, name, sizeof name, data, sizeof data), 0);
            if (random() % 2) {
                ASSERT_EQ(ZYNLOG_DeleteValue(key, name), 0);
            } else {
                Set(key, name, ("0, " + std::to_string(step)).c_str());  // a shared record's longer list
            }
        }
        if (random() % 4 == 0) {
            ASSERT_EQ(ZYNLOG_Save(), 0);
        }
        if (random() % 40 != 0) continue;
        ASSERT_EQ(ZYNLOG_Save(), 0);
        const std::string patched = ReadFileBytes(LogPath()), tree = DumpLog();
        ResetLog();
        Init(0);
        ASSERT_EQ(DumpLog(), tree) << "step " << step;
        ASSERT_EQ(ZYNLOG_Save(), 0);
        ASSERT_EQ(ReadFileBytes(LogPath()), patched) << "step " << step;
    }
}

// Loading counts nothing; the file after the 30th change holds that change; a failed
// autosave is reported but the change is made.
TEST_F(ChangeLog, AutosaveAfterTheThirtiethChangeButNotForLoading) {
    std::string file;
    for (int i = 0; i < 100; ++i) file += "\"v" + std::to_string(i) + "\" = \"1\"\r\n";
    WriteFileBytes(LogPath(), file);
    Init();
    for (int i = 0; i < 29; ++i) Set(ZYNLOG_ROOT_KEY, "new", std::to_string(i).c_str());
    EXPECT_EQ(ReadFileBytes(LogPath()), file);
    Set(ZYNLOG_ROOT_KEY, "new", "last");
    EXPECT_EQ(ReadFileBytes(LogPath()), file + "\"new\" = \"last\"\r\n");
    ASSERT_EQ(ZYNLOG_SetFileName(Join(dir_.file("gone"), "x.log").c_str()), 0);
    for (int i = 0; i < 29; ++i) Set(ZYNLOG_ROOT_KEY, "n", std::to_string(i).c_str());
    EXPECT_EQ(ZYNLOG_SetValue(ZYNLOG_ROOT_KEY, "thirtieth", "1"), ERROR_ZYNLOG_FILE_OPEN);
    char data[8];
    EXPECT_EQ(ZYNLOG_GetValue(ZYNLOG_ROOT_KEY, "thirtieth", data, sizeof data), 0);
}

}  // namespace
