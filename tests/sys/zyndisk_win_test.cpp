// The copy engine on real files in a private folder.
#include "sys/zyndisk.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "script/zynerror.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

// What the hooks saw, and how they answer.
struct Hooks {
    std::vector<std::string> created;
    std::vector<std::pair<std::string, std::string>> started;
    std::vector<std::pair<uint32_t, uint32_t>> progress;
    std::vector<std::string> asked;
    int overwriteAnswer = 0;
    int cancelAtCall = 0;  // 1-based progress call that cancels; 0 never
    std::vector<std::string> walked;
};
Hooks g_hooks;

void RecordCreated(const char* path) { g_hooks.created.emplace_back(path); }
void RecordStart(const ZYNDISK_WALK* record) { g_hooks.started.emplace_back(record->source, record->destination); }
int RecordProgress(uint32_t done, uint32_t size) {
    g_hooks.progress.emplace_back(done, size);
    return g_hooks.cancelAtCall != 0 && static_cast<int>(g_hooks.progress.size()) == g_hooks.cancelAtCall;
}
int AskOverwrite(const char* path) {
    g_hooks.asked.emplace_back(path);
    return g_hooks.overwriteAnswer;
}
int RecordStep(ZYNDISK_WALK* record) {
    g_hooks.walked.push_back(std::string(record->source) + " -> " + record->destination);
    return 0;
}

uint32_t Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }


class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override {
        g_hooks = Hooks{};
        ZYNDISK_SetCreatedHook(RecordCreated);
        ZYNDISK_SetCopyStartHook(RecordStart);
        ZYNDISK_SetProgressHook(RecordProgress);
        ZYNDISK_SetOverwriteHook(AskOverwrite);
        COMMON_RegisterErrorHooks();
        zyntest::TakeErrorDialogsSeen();
    }
    void TearDown() override {
        ZYNDISK_SetCreatedHook(nullptr);
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        ZYNDISK_SetOverwriteHook(nullptr);
        // Attributes that would keep the folder from being removed.
        for (auto& entry : fs::recursive_directory_iterator(dir_.path())) {
            SetFileAttributesA(entry.path().string().c_str(), entry.is_directory() ? FILE_ATTRIBUTE_DIRECTORY
                                                                                    : FILE_ATTRIBUTE_NORMAL);
        }
    }
    std::string Path(const std::string& relative) const { return dir_.file(relative); }
    void Write(const std::string& relative, const std::string& bytes) {
        fs::create_directories(fs::path(Path(relative)).parent_path());
        WriteFileBytes(Path(relative), bytes);
    }
    // src\a.txt, src\b.txt, src\c.dat, src\A\a1.txt, src\A\A1\deep.txt, src\B\b.txt
    void MakeTree() {
        Write("src\\a.txt", "a");
        Write("src\\b.txt", "bb");
        Write("src\\c.dat", "ccc");
        Write("src\\A\\a1.txt", "a1");
        Write("src\\A\\A1\\deep.txt", "deep");
        Write("src\\B\\b.txt", "B");
    }
    zyntest::TempDir dir_;
};

TEST_F(CopyEngine, WildcardCopyTakesOnlyMatchingFilesOfOneFolder) {
    MakeTree();
    ASSERT_EQ(ZYNDISK_Copy(Path("src\\*.txt").c_str(), 0x86, (Path("out") + "\\").c_str(), 0x80, 0, 0), 0);
    EXPECT_EQ(ReadFileBytes(Path("out\\a.txt")), "a");
    EXPECT_EQ(ReadFileBytes(Path("out\\b.txt")), "bb");
    EXPECT_FALSE(fs::exists(Path("out\\c.dat")));
    EXPECT_FALSE(fs::exists(Path("out\\A")));
    EXPECT_EQ(g_hooks.created, std::vector<std::string>{Path("out")}) << "only the made folder without 0x10";
    ASSERT_EQ(g_hooks.started.size(), 2u);
    EXPECT_EQ(g_hooks.started[0].first, Path("src\\a.txt"));
    EXPECT_EQ(g_hooks.started[0].second, Path("out\\a.txt"));
}

TEST_F(CopyEngine, RecursiveCopyRebuildsTheTreeAndReportsWhatItMade) {
    MakeTree();
    Write("out\\A\\existing.txt", "x");  // out and out\A exist already
    ASSERT_EQ(ZYNDISK_Copy(Path("src\\*.txt").c_str(), 0x86, (Path("out") + "\\").c_str(), 0x80,
                           ZYNDISK_RECURSE | ZYNDISK_REPORT_CREATED, 0),
              0);
    for (const char* file : {"a.txt", "b.txt", "A\\a1.txt", "A\\A1\\deep.txt", "B\\b.txt"}) {
        EXPECT_EQ(ReadFileBytes(Path(std::string("out\\") + file)), ReadFileBytes(Path(std::string("src\\") + file)))
            << file;
    }
    // Deepest folders first, the root last; each made folder before its files.
    std::vector<std::string> expected = {Path("out\\A\\A1"), Path("out\\A\\A1\\deep.txt"), Path("out\\A\\a1.txt"),
                                         Path("out\\B"),     Path("out\\B\\b.txt"),        Path("out\\a.txt"),
                                         Path("out\\b.txt")};
    EXPECT_EQ(g_hooks.created, expected);
}

TEST_F(CopyEngine, WalkOrderIsDeepestFirstWithEachFolderAfterItsFiles) {
    MakeTree();
    std::string root = Path("src");
    ASSERT_EQ(ZYNDISK_Walk(RecordStep, (root + "\\*.*").c_str(), 0x86, "D:\\t\\", 0,
                           ZYNDISK_RECURSE | ZYNDISK_DIRECTORIES, 0),
              0);
    std::vector<std::string> expected = {
        root + "\\A\\A1\\deep.txt -> D:\\t\\A\\A1\\deep.txt",
        root + "\\A\\A1 -> D:\\t\\",
        root + "\\A\\a1.txt -> D:\\t\\A\\a1.txt",
        root + "\\A -> D:\\t\\",
        root + "\\B\\b.txt -> D:\\t\\B\\b.txt",
        root + "\\B -> D:\\t\\",
        root + "\\a.txt -> D:\\t\\a.txt",
        root + "\\b.txt -> D:\\t\\b.txt",
        root + "\\c.dat -> D:\\t\\c.dat",
        root + " -> D:\\t\\",
    };
    EXPECT_EQ(g_hooks.walked, expected);
}

TEST_F(CopyEngine, FolderMatchingAndDirectoryEntries) {
    MakeTree();
    struct Case {
        const char* pattern;
        uint32_t mask, flags;
        std::vector<std::string> walked;
    };
    std::string src = Path("src");
    const Case cases[] = {
        // Folders go to the step under 0x2 only when their path matches the pattern.
        {"\\*.dat", 0x86, ZYNDISK_RECURSE | ZYNDISK_DIRECTORIES, {src + "\\c.dat -> "}},
        {"\\*A1", 0x86, ZYNDISK_RECURSE | ZYNDISK_DIRECTORIES, {src + "\\A\\A1 -> "}},
        // With 0x10 in the mask sub-folders are entries like files, the dot entry too
        // when it matches (the delete step passes over it).
        {"\\?", 0x96, 0, {src + "\\. -> ", src + "\\A -> ", src + "\\B -> "}},
    };
    for (const Case& c : cases) {
        g_hooks.walked.clear();
        EXPECT_EQ(ZYNDISK_Walk(RecordStep, (src + c.pattern).c_str(), c.mask, nullptr, 0, c.flags, 0), 0);
        EXPECT_EQ(g_hooks.walked, c.walked) << c.pattern;
    }
}

TEST_F(CopyEngine, WalkFailuresAndStepResults) {
    MakeTree();
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\*.none").c_str(), 0x86, Path("out\\").c_str(), 0x80, 0, 0),
              ERROR_ZYNDISK_FILE_NOT_FOUND);
    EXPECT_EQ(ZYNDISK_Copy(Path("missing\\*.*").c_str(), 0x86, Path("out\\").c_str(), 0x80, ZYNDISK_RECURSE, 0),
              ERROR_ZYNDISK_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(Path("out")));
    auto stop = [](ZYNDISK_WALK*) { return 7; };
    EXPECT_EQ(ZYNDISK_Walk(stop, Path("src\\*.txt").c_str(), 0x86, "", 0, 0, 0), 7);
    EXPECT_EQ(ZYNDISK_Walk(nullptr, Path("src\\*.txt").c_str(), 0x86, "", 0, 0, 0), ERROR_ZYNDISK_FILE_NOT_FOUND);
    // A destination that cannot be held in a walk record.
    std::string too_long = Path("out\\") + std::string(270, 'x');
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\a.txt").c_str(), 0x86, too_long.c_str(), 0x80, 0, 0),
              ERROR_ZYNDISK_RECURSION_DEPTH);
}

TEST_F(CopyEngine, DestinationFolderProblems) {
    Write("src\\a.txt", "a");
    Write("blocker", "a file where a folder is needed");
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\a.txt").c_str(), 0x86, Path("blocker\\a.txt").c_str(), 0x80, 0, 0),
              ERROR_ZYNDISK_CREATE_DIR);
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\a.txt").c_str(), 0x86, "Q:\\demo\\a.txt", 0x80, 0, 0),
              ERROR_SYS_DRIVE_INVALID);
    EXPECT_TRUE(g_hooks.started.empty()) << "nothing opened before the folders exist";
}

TEST_F(CopyEngine, AppendAddsAndPlainCopyReplaces) {
    Write("src.txt", "SOURCE");
    Write("appended.txt", "old-");
    Write("replaced.txt", "a much longer old content");
    ASSERT_EQ(ZYNDISK_Copy(Path("src.txt").c_str(), 0x86, Path("appended.txt").c_str(), 0x80, ZYNDISK_APPEND, 0), 0);
    ASSERT_EQ(ZYNDISK_Copy(Path("src.txt").c_str(), 0x86, Path("replaced.txt").c_str(), 0x80, 0, 0), 0);
    EXPECT_EQ(ReadFileBytes(Path("appended.txt")), "old-SOURCE");
    EXPECT_EQ(ReadFileBytes(Path("replaced.txt")), "SOURCE");
    // Several sources onto one named destination with append concatenate in walk order.
    Write("parts\\1.txt", "one,");
    Write("parts\\2.txt", "two");
    ASSERT_EQ(ZYNDISK_Copy(Path("parts\\*.txt").c_str(), 0x86, Path("joined.txt").c_str(), 0x80, ZYNDISK_APPEND, 0),
              0);
    EXPECT_EQ(ReadFileBytes(Path("joined.txt")), "one,two");
}

TEST_F(CopyEngine, AttributesOfTheDestination) {
    Write("src\\plain.txt", "p");
    Write("src\\empty.txt", "");
    Write("src\\hidden.txt", "h");
    SetFileAttributesA(Path("src\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    Write("readonly.txt", "old");
    SetFileAttributesA(Path("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    struct Case {
        const char* source;
        const char* target;
        uint32_t attributes;
        uint32_t expected;  // of R, H and S (Wine reports archive on every file it wrote)
    };
    const uint32_t RHSA = 0x07;
    const Case cases[] = {
        {"src\\plain.txt", "o1.txt", 0x80, 0},
        {"src\\plain.txt", "o2.txt", 0x80 | 0x01 | 0x20, 0x01},
        {"src\\plain.txt", "o3.txt", 0x80 | 0x02 | 0x04, 0x06},
        {"src\\empty.txt", "o4.txt", 0x80 | 0x01, 0x01},  // an empty source still gets them
        {"src\\hidden.txt", "o5.txt", ZYNDISK_ATTR_FROM_SOURCE, 0x02},
        {"src\\hidden.txt", "o6.txt", ZYNDISK_ATTR_FROM_SOURCE | 0x01, 0x03},
        {"src\\plain.txt", "readonly.txt", 0x80, 0},  // a read-only target is replaced
    };
    for (const Case& c : cases) {
        ASSERT_EQ(ZYNDISK_Copy(Path(c.source).c_str(), 0x86, Path(c.target).c_str(), c.attributes, 0, 0), 0)
            << c.target;
        EXPECT_EQ(Attributes(Path(c.target)) & RHSA, c.expected) << c.target;
    }
    EXPECT_EQ(ReadFileBytes(Path("readonly.txt")), "p");
    EXPECT_EQ(ReadFileBytes(Path("o4.txt")), "");
}

TEST_F(CopyEngine, OverwriteRules) {
    // Each row: flags, whether the target exists and is newer, the overwrite answer,
    // then the result, whether the target holds the source afterwards, and whether the
    // hook was asked.
    struct Case {
        const char* name;
        uint32_t flags;
        bool exists, newer;
        int answer;
        int result;
        bool copied, asked;
    };
    const Case cases[] = {
        {"always", 0, true, true, 0, 0, true, false},
        {"ask-yes", ZYNDISK_ASK_OVERWRITE, true, false, 0, 0, true, true},
        {"ask-no", ZYNDISK_ASK_OVERWRITE, true, false, 1, 100, false, true},
        {"ask-missing", ZYNDISK_ASK_OVERWRITE, false, false, 1, 0, true, false},
        {"newer-kept", ZYNDISK_IF_NOT_NEWER, true, true, 0, 0, false, false},
        {"older-replaced", ZYNDISK_IF_NOT_NEWER, true, false, 0, 0, true, false},
        {"never-kept", ZYNDISK_NEVER_OVERWRITE, true, false, 0, 0, false, false},
        {"never-missing", ZYNDISK_NEVER_OVERWRITE, false, false, 0, 0, true, false},
        {"by-version", ZYNDISK_BY_VERSION, false, false, 0, ERROR_ZYNDISK_UNIMPLEMENTED, false, false},
        {"compressed", ZYNDISK_COMPRESSED, false, false, 0, ERROR_ZYNDISK_UNIMPLEMENTED, false, false},
    };
    Write("src.txt", "NEW CONTENT");
    ASSERT_TRUE(zyntest::SetWriteYear(Path("src.txt"), 2000));
    for (const Case& c : cases) {
        g_hooks = Hooks{};
        g_hooks.overwriteAnswer = c.answer;
        std::string target = Path(std::string(c.name) + ".txt");
        if (c.exists) {
            Write(std::string(c.name) + ".txt", "old");
            ASSERT_TRUE(zyntest::SetWriteYear(target, c.newer ? 2001 : 1999));
        }
        EXPECT_EQ(ZYNDISK_Copy(Path("src.txt").c_str(), 0x86, target.c_str(), 0x80, c.flags, 0), c.result) << c.name;
        EXPECT_EQ(ReadFileBytes(target) == "NEW CONTENT", c.copied) << c.name;
        EXPECT_EQ(!g_hooks.asked.empty(), c.asked) << c.name;
        bool skipped = c.exists && !c.copied && c.result == 0;
        if (skipped) {
            // A file left alone still counts as done.
            EXPECT_EQ(g_hooks.progress, (std::vector<std::pair<uint32_t, uint32_t>>{{11, 11}})) << c.name;
        }
    }
}

TEST_F(CopyEngine, CompressedEmptySourceIsCopied) {
    Write("empty", "");
    EXPECT_EQ(ZYNDISK_Copy(Path("empty").c_str(), 0x86, Path("out").c_str(), 0x80, ZYNDISK_COMPRESSED, 0), 0);
    EXPECT_TRUE(fs::exists(Path("out")));
}

TEST_F(CopyEngine, CopiedFilesCarryTheSourceTimes) {
    Write("src.txt", "x");
    ASSERT_TRUE(zyntest::SetWriteYear(Path("src.txt"), 1998));
    ASSERT_EQ(ZYNDISK_Copy(Path("src.txt").c_str(), 0x86, Path("dst.txt").c_str(), 0x80, 0, 0), 0);
    WIN32_FILE_ATTRIBUTE_DATA source{}, target{};
    ASSERT_TRUE(GetFileAttributesExA(Path("src.txt").c_str(), GetFileExInfoStandard, &source));
    ASSERT_TRUE(GetFileAttributesExA(Path("dst.txt").c_str(), GetFileExInfoStandard, &target));
    EXPECT_EQ(CompareFileTime(&source.ftLastWriteTime, &target.ftLastWriteTime), 0);
}

TEST_F(CopyEngine, ProgressComesInBlocksAndCancelStopsAtTheNextBlock) {
    std::string big(150000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    Write("big.bin", big);
    ASSERT_EQ(ZYNDISK_Copy(Path("big.bin").c_str(), 0x86, Path("copy.bin").c_str(), 0x80, 0, 0), 0);
    EXPECT_EQ(ReadFileBytes(Path("copy.bin")), big);
    std::vector<std::pair<uint32_t, uint32_t>> blocks = {{65520, 150000}, {65520, 150000}, {18960, 150000}};
    EXPECT_EQ(g_hooks.progress, blocks);

    g_hooks = Hooks{};
    g_hooks.cancelAtCall = 2;
    EXPECT_EQ(ZYNDISK_Copy(Path("big.bin").c_str(), 0x86, Path("cancelled.bin").c_str(), 0x80, 0, 0), 100);
    EXPECT_EQ(g_hooks.progress.size(), 2u);
    EXPECT_EQ(fs::file_size(Path("cancelled.bin")), 2u * 65520);
    EXPECT_EQ(g_hooks.created, std::vector<std::string>{Path("cancelled.bin")}) << "the partial file is reported";
}

TEST_F(CopyEngine, CancelDuringSkippedFilesIsHonoured) {
    Write("src\\a.txt", "a");
    Write("src\\b.txt", "b");
    Write("dst\\a.txt", "kept");
    Write("dst\\b.txt", "kept");
    g_hooks.cancelAtCall = 1;
    EXPECT_EQ(ZYNDISK_Copy(Path("src\\*.txt").c_str(), 0x86, Path("dst\\").c_str(), 0x80, ZYNDISK_NEVER_OVERWRITE, 0),
              100);
    EXPECT_EQ(g_hooks.progress.size(), 1u);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST_F(CopyEngine, MessagesAreDispatchedWhileCopying) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = CountingProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "ZynDiskPumpTest";
    RegisterClassA(&window_class);
    HWND window = CreateWindowA("ZynDiskPumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                window_class.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int count = 0;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
    Write("src.txt", "data");
    PostMessageA(window, WM_APP, 0, 0);
    ASSERT_EQ(ZYNDISK_Copy(Path("src.txt").c_str(), 0x86, Path("dst.txt").c_str(), 0x80, 0, 0), 0);
    EXPECT_EQ(count, 1);
    DestroyWindow(window);
    UnregisterClassA("ZynDiskPumpTest", window_class.hInstance);
}

TEST_F(CopyEngine, DeleteTakesMatchingFilesWhateverTheirAttributes) {
    MakeTree();
    SetFileAttributesA(Path("src\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(ZYNDISK_Delete(Path("src\\*.txt").c_str(), 0x87, 0, 0), 0);
    EXPECT_FALSE(fs::exists(Path("src\\a.txt")));
    EXPECT_FALSE(fs::exists(Path("src\\b.txt")));
    EXPECT_TRUE(fs::exists(Path("src\\c.dat")));
    EXPECT_TRUE(fs::exists(Path("src\\A\\a1.txt")));
    EXPECT_EQ(ZYNDISK_Delete(Path("src\\*.txt").c_str(), 0x87, 0, 0), ERROR_ZYNDISK_FILE_NOT_FOUND);
    ASSERT_EQ(ZYNDISK_Delete(Path("src\\*.txt").c_str(), 0x87, ZYNDISK_RECURSE, 0), 0);
    EXPECT_FALSE(fs::exists(Path("src\\A\\A1\\deep.txt")));
    EXPECT_TRUE(zyntest::TakeErrorDialogsSeen().empty());
}

TEST_F(CopyEngine, WildcardDeletesInSystemPlacesAreRefusedWithAWarning) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string probe = std::string(windows) + "\\zyndisk_probe.tmp";
    WriteFileBytes(probe, "must survive");
    SYS_SetCurrentDirectory(windows);
    const std::string patterns[] = {
        std::string(windows) + "\\zyndisk_probe*.tmp",
        "C:\\zyndisk_nothing_here_*.tmp",
        "zyndisk_probe.*",  // relative, but the current directory is the Windows directory
    };
    for (const std::string& pattern : patterns) {
        EXPECT_EQ(ZYNDISK_Delete(pattern.c_str(), 0x87, 0, 0), 0) << pattern;
        auto seen = zyntest::TakeErrorDialogsSeen();
        ASSERT_EQ(seen.size(), 1u) << pattern;
        EXPECT_TRUE(seen[0].warning);
        EXPECT_NE(seen[0].errorText.find("ERROR_ZYNDISK_UNWISE_DELETE"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(probe));
    // A single named file there is the caller's business.
    EXPECT_EQ(ZYNDISK_Delete(probe.c_str(), 0x87, 0, 0), 0);
    EXPECT_FALSE(fs::exists(probe));
    EXPECT_TRUE(zyntest::TakeErrorDialogsSeen().empty());
    SYS_SetCurrentDirectory(dir_.path().c_str());
}

TEST_F(CopyEngine, DeleteTreeRemovesEmptyFoldersOrWholeTrees) {
    MakeTree();
    fs::create_directory(Path("empty"));
    EXPECT_EQ(ZYNDISK_DeleteTree((Path("empty") + "\\").c_str(), 0x87, 0, 0), 0);
    EXPECT_FALSE(fs::exists(Path("empty")));

    EXPECT_EQ(ZYNDISK_DeleteTree(Path("src\\A").c_str(), 0x87, 0, 0), ERROR_SYS_DIRECTORY_DELETE);
    EXPECT_TRUE(fs::exists(Path("src\\A\\A1\\deep.txt"))) << "without recursion nothing inside is touched";

    SetFileAttributesA(Path("src\\A\\A1\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(Path("src\\B").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ZYNDISK_DeleteTree(Path("src").c_str(), 0x87, ZYNDISK_RECURSE, 0), 0);
    EXPECT_FALSE(fs::exists(Path("src")));
    EXPECT_TRUE(fs::exists(dir_.path()));

    EXPECT_EQ(ZYNDISK_DeleteTree("C:\\", 0x87, ZYNDISK_RECURSE, 0), 0);
    EXPECT_EQ(zyntest::TakeErrorDialogsSeen().size(), 1u) << "a drive root is never emptied";
}

TEST_F(CopyEngine, RenameKeepsAttributesAndRefusesToReplace) {
    Write("one.txt", "1");
    Write("two.txt", "2");
    SetFileAttributesA(Path("one.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(ZYNDISK_Rename(Path("one.txt").c_str(), 0x87, Path("renamed.txt").c_str(), 0, 0), 0);
    EXPECT_FALSE(fs::exists(Path("one.txt")));
    EXPECT_EQ(Attributes(Path("renamed.txt")) & 0x07, 0x03u);
    EXPECT_EQ(ZYNDISK_Rename(Path("renamed.txt").c_str(), 0x87, Path("two.txt").c_str(), 0, 0), ERROR_ZYNDISK_RENAME);
    EXPECT_EQ(Attributes(Path("renamed.txt")) & 0x07, 0x03u) << "a failed rename restores the attributes";
    EXPECT_EQ(ReadFileBytes(Path("two.txt")), "2");
    EXPECT_EQ(ZYNDISK_Rename(Path("gone.txt").c_str(), 0x87, Path("x.txt").c_str(), 0, 0),
              ERROR_ZYNDISK_FILE_NOT_FOUND);
}

TEST_F(CopyEngine, CreateDirectoryMakesOneFolder) {
    EXPECT_EQ(ZYNDISK_CreateDirectory((Path("made") + "\\").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(Path("made")));
    EXPECT_EQ(ZYNDISK_CreateDirectory(Path("made").c_str()), ERROR_SYS_DIRECTORY_MAKE);
    EXPECT_EQ(ZYNDISK_CreateDirectory(Path("no\\such\\parent").c_str()), ERROR_SYS_DIRECTORY_MAKE);
}

TEST_F(CopyEngine, SizeTotalsRoundEachFileToClusters) {
    uint32_t cluster = 0;
    ASSERT_EQ(SYS_GetClusterSize(dir_.path().c_str(), &cluster), 0);
    Write("sizes\\one.bin", "x");
    Write("sizes\\cluster.bin", std::string(cluster + 1, 'c'));
    Write("sizes\\sub\\empty.bin", "");
    Write("sizes\\sub\\deeper.bin", std::string(10, 'd'));
    ASSERT_EQ(ZYNDISK_BeginSize(dir_.path().c_str()), 0);
    ASSERT_EQ(ZYNDISK_AddSize(Path("sizes\\*.*").c_str(), 0x86, 0, 0), 0);
    uint32_t total = 0, allocated = 0;
    ZYNDISK_GetTotalSize(&total);
    ZYNDISK_GetTotalAllocated(&allocated);
    EXPECT_EQ(total, cluster + 2);
    EXPECT_EQ(allocated, 3 * cluster);

    ASSERT_EQ(ZYNDISK_AddSize(Path("sizes\\*.*").c_str(), 0x86, ZYNDISK_RECURSE, 0), 0);
    ASSERT_EQ(ZYNDISK_AddSize("ignored", 0x86, ZYNDISK_GIVEN_SIZE, 5), 0);
    ZYNDISK_GetTotalSize(&total);
    ZYNDISK_GetTotalAllocated(&allocated);
    EXPECT_EQ(total, 2 * (cluster + 2) + 10 + 5);
    EXPECT_EQ(allocated, 3 * cluster + 4 * cluster + cluster);
    EXPECT_EQ(ZYNDISK_AddSize(Path("none*").c_str(), 0x86, 0, 0), ERROR_ZYNDISK_FILE_NOT_FOUND);

    ASSERT_EQ(ZYNDISK_BeginSize(dir_.path().c_str()), 0);
    ZYNDISK_GetTotalSize(&total);
    EXPECT_EQ(total, 0u) << "a new count starts from zero";
    EXPECT_EQ(ZYNDISK_BeginSize("nowhere"), ERROR_SYS_DRIVE_INVALID);
    ASSERT_EQ(ZYNDISK_AddSize("", 0, ZYNDISK_GIVEN_SIZE, 3), 0);
    ZYNDISK_GetTotalAllocated(&allocated);
    EXPECT_EQ(allocated, 3u) << "without a drive a cluster is one byte";
    double free_bytes = 0;
    EXPECT_EQ(ZYNDISK_GetFreeSpace(dir_.path().c_str(), &free_bytes), 0);
    EXPECT_GT(free_bytes, 0.0);
}

}  // namespace
