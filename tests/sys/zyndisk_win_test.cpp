// The copy engine on real files in a private folder.
#include "sys/zyndisk.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "script/zynerror.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using Progress = std::vector<std::pair<uint32_t, uint32_t>>;

Progress g_progress;

class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override {
        g_progress.clear();
        ZYNDISK_SetProgressHook([](uint32_t done, uint32_t size) {
            g_progress.emplace_back(done, size);
            return 0;
        });
        COMMON_RegisterErrorHooks();
        zyntest::TakeErrorDialogsSeen();
    }
    void TearDown() override {
        ZYNDISK_SetProgressHook(nullptr);
        for (auto& entry : fs::recursive_directory_iterator(dir_.path()))  // attributes that keep the folder
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string Path(const std::string& relative) const { return dir_.file(relative); }
    void Write(const std::string& relative, const std::string& bytes) {
        fs::create_directories(fs::path(Path(relative)).parent_path());
        zyntest::WriteFileBytes(Path(relative), bytes);
    }
    int Copy(const std::string& from, const std::string& to, uint32_t attributes = 0x80, uint32_t flags = 0) {
        return ZYNDISK_Copy(Path(from).c_str(), 0x86, Path(to).c_str(), attributes, flags, 0);
    }
    zyntest::TempDir dir_;
};

TEST_F(CopyEngine, WalkAndDestinationFailures) {
    Write("src\\a.txt", "a");
    Write("blocker", "a file where a folder is needed");
    EXPECT_EQ(Copy("src\\*.none", "out\\"), ERROR_ZYNDISK_FILE_NOT_FOUND);
    EXPECT_EQ(Copy("missing\\*.*", "out\\", 0x80, ZYNDISK_RECURSE), ERROR_ZYNDISK_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(Path("out")));
    // A destination that cannot be held in a walk record.
    EXPECT_EQ(Copy("src\\a.txt", "out\\" + std::string(270, 'x')), ERROR_ZYNDISK_RECURSION_DEPTH);
    EXPECT_EQ(Copy("src\\a.txt", "blocker\\a.txt"), ERROR_ZYNDISK_CREATE_DIR);
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\a.txt").c_str(), 0x86, "Q:\\demo\\a.txt", 0x80, 0, 0), ERROR_SYS_DRIVE_INVALID);
}

// The Files section's tests cover the asking rules; here the rest, and targets whose
// attributes stand in the way.
TEST_F(CopyEngine, OverwriteRules) {
    Write("src.txt", "NEW CONTENT");
    for (uint32_t unimplemented : {ZYNDISK_BY_VERSION, ZYNDISK_COMPRESSED}) {
        EXPECT_EQ(Copy("src.txt", "new.txt", 0x80, unimplemented), ERROR_ZYNDISK_UNIMPLEMENTED) << unimplemented;
        EXPECT_NE(ReadFileBytes(Path("new.txt")), "NEW CONTENT");
    }
    Write("empty", "");
    EXPECT_EQ(Copy("empty", "out", 0x80, ZYNDISK_COMPRESSED), 0) << "nothing to expand";
    EXPECT_TRUE(fs::exists(Path("out")));
    // A target that refuses to be opened is made normal first, and ends with exactly the
    // bits asked for (Wine reports archive on every file it wrote) and the source's times.
    struct Target { const char* name; DWORD existing, wanted; uint32_t flags; const char* bytes; } targets[] = {
        {"readonly.txt", FILE_ATTRIBUTE_READONLY, 0x80, 0, "NEW CONTENT"},
        {"append-readonly.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0x80 | 0x02, ZYNDISK_APPEND,
         "oldNEW CONTENT"}};
    ASSERT_TRUE(zyntest::SetWriteYear(Path("src.txt"), 2000));
    WIN32_FILE_ATTRIBUTE_DATA source{}, copied{};
    ASSERT_TRUE(GetFileAttributesExA(Path("src.txt").c_str(), GetFileExInfoStandard, &source));
    for (const Target& t : targets) {
        Write(t.name, "old");
        SetFileAttributesA(Path(t.name).c_str(), t.existing);
        ASSERT_EQ(Copy("src.txt", t.name, t.wanted, t.flags), 0) << t.name;
        EXPECT_EQ(GetFileAttributesA(Path(t.name).c_str()) & 0x07, t.wanted & 0x07) << t.name;
        EXPECT_EQ(ReadFileBytes(Path(t.name)), t.bytes) << t.name;
        ASSERT_TRUE(GetFileAttributesExA(Path(t.name).c_str(), GetFileExInfoStandard, &copied));
        EXPECT_EQ(CompareFileTime(&source.ftLastWriteTime, &copied.ftLastWriteTime), 0) << t.name;
    }
}

TEST_F(CopyEngine, BigFilesGoInBlocks) {
    std::string big(150000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    Write("big.bin", big);
    ASSERT_EQ(Copy("big.bin", "copy.bin"), 0);
    EXPECT_EQ(ReadFileBytes(Path("copy.bin")), big);
    EXPECT_EQ(g_progress, (Progress{{65520, 150000}, {65520, 150000}, {18960, 150000}}));
}

TEST_F(CopyEngine, WildcardDeletesInSystemPlacesAreRefusedWithAWarning) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string probe = std::string(windows) + "\\zyndisk_probe.tmp";
    zyntest::WriteFileBytes(probe, "must survive");
    SYS_SetCurrentDirectory(windows);
    // The relative one is resolved against the current directory, the Windows directory.
    for (const std::string& pattern : {std::string(windows) + "\\zyndisk_probe*.tmp", std::string("zyndisk_probe.*")}) {
        EXPECT_EQ(ZYNDISK_Delete(pattern.c_str(), 0x87, 0, 0), 0) << pattern;
        auto seen = zyntest::TakeErrorDialogsSeen();
        ASSERT_EQ(seen.size(), 1u) << pattern;
        EXPECT_TRUE(seen[0].warning);
        EXPECT_NE(seen[0].errorText.find("ERROR_ZYNDISK_UNWISE_DELETE"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(probe));
    EXPECT_EQ(ZYNDISK_Delete(probe.c_str(), 0x87, 0, 0), 0) << "a single named file there is the caller's business";
    EXPECT_FALSE(fs::exists(probe));
    EXPECT_TRUE(zyntest::TakeErrorDialogsSeen().empty());
    SYS_SetCurrentDirectory(dir_.path().c_str());
}

TEST_F(CopyEngine, DeleteTreeFailuresAndDriveRoots) {
    for (const char* file : {"src\\a.txt", "src\\A\\A1\\deep.txt", "src\\B\\b.txt"}) Write(file, file);
    EXPECT_EQ(ZYNDISK_DeleteTree(Path("src\\A").c_str(), 0x87, 0, 0), ERROR_SYS_DIRECTORY_DELETE);
    EXPECT_TRUE(fs::exists(Path("src\\A\\A1\\deep.txt"))) << "without recursion nothing inside is touched";
    SetFileAttributesA(Path("src\\A\\A1\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(Path("src\\B").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ZYNDISK_DeleteTree(Path("src").c_str(), 0x87, ZYNDISK_RECURSE, 0), 0);
    EXPECT_FALSE(fs::exists(Path("src")));
    EXPECT_EQ(ZYNDISK_DeleteTree("C:\\", 0x87, ZYNDISK_RECURSE, 0), 0);
    EXPECT_EQ(zyntest::TakeErrorDialogsSeen().size(), 1u) << "a drive root is never emptied";
}

}  // namespace
