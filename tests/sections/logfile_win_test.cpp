// The Files sections on real files: copying, overwrite rules, diskettes, the disk-space
// check, the file records and their undoing; and the Other Files section.
#include "sections/logfile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/helper.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logother.h"
#include "sections/nextdisk.h"
#include "sections/nextdisk_ids.h"
#include "support/dialogs_win.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/status.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DialogAnswer;
using zyntest::DialogScript;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;
using Records = std::vector<std::pair<std::string, std::string>>;


class FilesSection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        src_ = dir_.file("src");
        dest_ = dir_.file("dest");
        fs::create_directories(src_);
        VAR_Set("SourceDirectory", src_.c_str());
        VAR_Set("DestinationDirectory", dest_.c_str());
        VAR_Set("ApplicationName", "Aquarium");
        VAR_Set("InstallName", "Aquarium Setup");
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
        COMMON_RegisterErrorHooks();
    }
    void TearDown() override {
        STATUS_Terminate();
        INF_Terminate();
        PLIST_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
        ZYNDISK_SetCreatedHook(nullptr);
        ZYNDISK_SetOverwriteHook(nullptr);
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        MSG_SetCaption(-1);
        for (auto& entry : fs::recursive_directory_iterator(dir_.path())) {
            SetFileAttributesA(entry.path().string().c_str(), entry.is_directory() ? FILE_ATTRIBUTE_DIRECTORY
                                                                                    : FILE_ATTRIBUTE_NORMAL);
        }
    }

    // Scripts have CR LF line ends: the reader drops the character before each line feed.
    void Script(const std::string& text) {
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        ASSERT_EQ(INF_LoadText(crlf.c_str(), crlf.size()), 0);
    }
    void Source(const std::string& relative, const std::string& bytes) { Put(src_ + "\\" + relative, bytes); }
    static void Put(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(path).parent_path());
        WriteFileBytes(path, bytes);
    }
    std::string Dest(const std::string& relative) const { return dest_ + "\\" + relative; }

    // The values of a key given by its path of names below the root.
    static Records Values(std::vector<std::string> path) {
        ZYNLOG_KEY key = ZYNLOG_ROOT_KEY;
        for (const std::string& name : path) {
            if (ZYNLOG_OpenKey(key, name.c_str(), &key) != 0) return {};
        }
        Records records;
        char name[1024], data[1024];
        for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i) {
            records.emplace_back(name, data);
        }
        return records;
    }
    std::string DemoKey() const { return "Demo " + std::to_string(demo_); }
    static ZYNLOG_KEY Key(std::vector<std::string> path) {
        ZYNLOG_KEY key = ZYNLOG_ROOT_KEY;
        for (const std::string& name : path) ZYNLOG_OpenKey(key, name.c_str(), &key);
        return key;
    }

    zyntest::TempDir dir_;
    zyntest::LanguageLibrary english_;
    std::string src_, dest_;
    int demo_ = -1;
};

TEST_F(FilesSection, CopiesLinesAndRecordsWhatTheyMade) {
    Source("a.txt", "A");
    Source("c.txt", "C");
    Source("docs\\one.txt", "1");
    Source("docs\\sub\\two.txt", "2");
    Script("[Files]\n"
           "Program, a.txt,, a.txt,, 1, N, N, 0, 1, N, Y, Y\n"
           "Texts, docs\\*.txt, Docs, docs\\, RH, 1, N, N, 0, 1, Y, Y, Y\n"
           "Skipped, b.txt,, b.txt,, 1, N, N, 0, 1, N, Y, N\n"
           "Unrecorded, c.txt,, c.txt,, 1, N, N, 0, 1, N, $[ 1 == 2 ], $[ 2 == 2 ]\n");
    DialogScript none;
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_EQ(ReadFileBytes(Dest("a.txt")), "A");
    EXPECT_EQ(ReadFileBytes(Dest("c.txt")), "C");
    EXPECT_EQ(ReadFileBytes(Dest("docs\\sub\\two.txt")), "2");
    EXPECT_FALSE(fs::exists(Dest("b.txt")));
    EXPECT_EQ(GetFileAttributesA(Dest("docs\\one.txt").c_str()) & 0x07, 0x03u);
    const std::string id = std::to_string(demo_);
    // Made folders are recorded whatever the line says; files only with Uninstall.
    Records expected = {{dest_, id},
                        {Dest("a.txt"), id},
                        {Dest("docs"), id},
                        {Dest("docs\\sub"), id},
                        {Dest("docs\\sub\\two.txt"), id},
                        {Dest("docs\\one.txt"), id}};
    EXPECT_EQ(Values({DemoKey(), "Files"}), expected);
    EXPECT_EQ(STATUS_GetWindow(), nullptr) << "the status window closes with the section";
    EXPECT_STREQ(STATUS_GetInfo()->sourceDescription, "Unrecorded") << "the last line that copied";
}

TEST_F(FilesSection, AttributeLettersAreCaseSensitiveAndCStartsFromTheSource) {
    Source("hidden.txt", "h");
    SetFileAttributesA((src_ + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Source("plain.txt", "p");
    Script("[Files]\n"
           "x, hidden.txt,, kept.txt, C,    1, N, N, 0, 1, N, N, Y\n"
           "x, hidden.txt,, plus.txt, CR,   1, N, N, 0, 1, N, N, Y\n"
           "x, hidden.txt,, normal.txt,,    1, N, N, 0, 1, N, N, Y\n"
           "x, plain.txt,,  lower.txt, rhs, 1, N, N, 0, 1, N, N, Y\n"
           "x, plain.txt,,  system.txt, S,  1, N, N, 0, 1, N, N, Y\n");
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    struct Case {
        const char* file;
        DWORD bits;
    };
    for (const Case& c : {Case{"kept.txt", 0x02}, Case{"plus.txt", 0x03}, Case{"normal.txt", 0},
                          Case{"lower.txt", 0}, Case{"system.txt", 0x04}}) {
        EXPECT_EQ(GetFileAttributesA(Dest(c.file).c_str()) & 0x07, c.bits) << c.file;
    }
}

TEST_F(FilesSection, ARecursiveLineFindsItsSourceInSubFolders) {
    Source("tree\\a\\one.dat", "1");
    Source("tree\\b\\two.dat", "2");
    Script("[Files]\nx, tree\\*.dat,, data\\,, 1, N, N, 0, 1, Y, N, Y\n");
    DialogScript none;  // no diskette prompt: the tree holds the files
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_EQ(ReadFileBytes(Dest("data\\a\\one.dat")), "1");
    EXPECT_EQ(ReadFileBytes(Dest("data\\b\\two.dat")), "2");
}

TEST_F(FilesSection, AppendAddsToTheDestination) {
    Source("part.txt", "-more");
    Put(Dest("log.txt"), "start");
    Script("[Files]\nx, part.txt,, log.txt,, 1, Y, N, 0, 1, N, N, Y\n");
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_EQ(ReadFileBytes(Dest("log.txt")), "start-more");
}

TEST_F(FilesSection, SharedFilesGoUnderCommonWithEveryOwner) {
    Source("shared.dll", "S");
    std::string outside = dir_.file("system\\shared.dll");
    Script("[Files]\nx, shared.dll,, " + outside + ",, 1, N, N, 0, 1, N, Y, Y\n");
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    int second = -1;
    ASSERT_EQ(LOGCOMN_NewDemo("Second", &second), 0);
    ASSERT_EQ(LOGFILE_Install(second, "Files", PLIST_INSTALL), 0);
    Records expected = {{dir_.file("system"), std::to_string(demo_)},
                        {outside, std::to_string(demo_) + ", " + std::to_string(second)}};
    EXPECT_EQ(Values({"Common", "Files"}), expected);
    EXPECT_TRUE(Values({DemoKey(), "Files"}).empty());
}

TEST_F(FilesSection, RecordFileDecidesByTheDestinationIgnoringCase) {
    std::string lower = dest_;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    LOGFILE_RecordFile(demo_, (lower + "\\x.txt").c_str());
    LOGFILE_RecordFile(demo_, "C:\\ELSEWHERE\\Y.TXT");
    LOGFILE_RecordFile(demo_, "C:\\ELSEWHERE\\Y.TXT");
    const std::string id = std::to_string(demo_);
    EXPECT_EQ(Values({DemoKey(), "Files"}), (Records{{lower + "\\x.txt", id}}));
    EXPECT_EQ(Values({"Common", "Files"}), (Records{{"C:\\ELSEWHERE\\Y.TXT", id + ", " + id}}))
        << "the same demo twice is kept twice";
}

// Existing destinations, one per Warn value; the source is from 2000.
class WarnRules : public FilesSection {
protected:
    void SetUp() override {
        FilesSection::SetUp();
        Source("new.txt", "NEW");
        ASSERT_TRUE(zyntest::SetWriteYear(src_ + "\\new.txt", 2000));
        struct Target {
            const char* name;
            int year;
        };
        for (Target t : {Target{"w0a", 1999}, Target{"w0b", 1999}, Target{"w1", 2001}, Target{"w2new", 2001},
                         Target{"w2old", 1999}, Target{"w3", 2001}, Target{"w4", 1999}}) {
            Put(Dest(t.name), "OLD");
            ASSERT_TRUE(zyntest::SetWriteYear(Dest(t.name), t.year));
        }
        Script("[Files]\n"
               "x, new.txt,, w0a,, 1, N, N, 0, 0, N, N, Y\n"
               "x, new.txt,, w0b,, 1, N, N, 0, 0, N, N, Y\n"
               "x, new.txt,, w0c,, 1, N, N, 0, 0, N, N, Y\n"
               "x, new.txt,, w1,, 1, N, N, 0, 1, N, N, Y\n"
               "x, new.txt,, w2new,, 1, N, N, 0, 2, N, N, Y\n"
               "x, new.txt,, w2old,, 1, N, N, 0, 2, N, N, Y\n"
               "x, new.txt,, w3,, 1, N, N, 0, 3, N, N, Y\n"
               "x, new.txt,, w4,, 1, N, N, 0, 4, N, N, Y\n");
    }
    std::string Content(const char* name) const { return ReadFileBytes(Dest(name)); }
};

TEST_F(WarnRules, EachRuleAndOneQuestionForTheWholeInstall) {
    DialogScript script({{IDYES}});
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    ASSERT_EQ(script.Answered().size(), 1u) << "asked once, for the first existing file";
    EXPECT_EQ(script.Answered()[0].caption, "Files Already Exist");
    char shown[16];
    ASSERT_EQ(VAR_Get("WarningShown", shown, sizeof shown), 0);
    EXPECT_STREQ(shown, "TRUE");
    struct Case {
        const char* name;
        const char* content;
    };
    for (const Case& c : {Case{"w0a", "NEW"}, Case{"w0b", "NEW"}, Case{"w0c", "NEW"}, Case{"w1", "NEW"},
                          Case{"w2new", "OLD"}, Case{"w2old", "NEW"}, Case{"w3", "NEW"}, Case{"w4", "OLD"}}) {
        EXPECT_EQ(Content(c.name), c.content) << c.name;
    }
}

TEST_F(WarnRules, NoToTheQuestionCancelsTheInstall) {
    DialogScript script({{IDNO}});
    EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 100);
    EXPECT_EQ(Content("w0a"), "OLD");
    EXPECT_FALSE(fs::exists(Dest("w0c")));
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
}

TEST_F(WarnRules, AnEarlierWarningSuppressesTheQuestion) {
    VAR_Set("WarningShown", "TRUE");
    DialogScript script;
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_TRUE(script.Answered().empty());
    EXPECT_EQ(Content("w0a"), "NEW");
}

TEST_F(FilesSection, ExclusivityTestLooksAtInstalledDestinationsOnly) {
    struct Case {
        const char* line;
        int result;
    };
    const Case cases[] = {
        {"x, a,, a.txt,, 1, N, N, 0, 1, N, Y, Y", 0},
        {"x, a,, $(DestinationDirectory)\\deeper\\a.txt,, 1, N, N, 0, 1, N, Y, Y", 0},
        {"x, a,, C:\\WINDOWS\\a.txt,, 1, N, N, 0, 1, N, Y, N", 0},
        {"x, a,, C:\\WINDOWS\\a.txt,, 1, N, N, 0, 1, N, N, Y", ERROR_PLIST_EXCLUSIVE},
    };
    for (const Case& c : cases) {
        INF_Terminate();
        Script(std::string("[Files]\n") + c.line + "\n");
        EXPECT_EQ(LOGFILE_Install(-1, "Files", PLIST_EXCLUSIVE_TEST), c.result) << c.line;
    }
    EXPECT_FALSE(fs::exists(dest_)) << "the test changes nothing";
}

TEST_F(FilesSection, UnknownActionsAndMissingSectionsAreFatal) {
    Script("[Files]\n");
    EXPECT_EXIT(LOGFILE_Install(demo_, "Files", 3), ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
    EXPECT_EXIT(LOGFILE_Install(demo_, "Protection Files", PLIST_INSTALL),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
    EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0) << "an empty section copies nothing";
}

TEST_F(FilesSection, ASourceNobodyCanFindEndsInTheUsersCancel) {
    Script("[Files]\nx, *.none,, a.txt,, 1, N, N, 0, 1, N, Y, Y\n");
    DialogScript script({{IDCANCEL}, {IDYES}});
    EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 100);
}

TEST_F(FilesSection, AFailingCopyIsFatal) {
    Source("present.txt", "p");
    Put(Dest("blocker"), "a file where a folder is needed");
    Script("[Files]\nx, present.txt,, blocker\\a.txt,, 1, N, N, 0, 1, N, Y, Y\n");
    EXPECT_EXIT(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "");
}

class Diskettes : public FilesSection {
protected:
    void SetUp() override {
        FilesSection::SetUp();
        disk2_ = dir_.file("disk2");
        Put(disk2_ + "\\two.txt", "from disk 2");
        Script("[Disks]\n 2 =  Aquarium Disk Two  \n[Files]\nx, two.txt,, two.txt,, 2, N, N, 0, 1, N, Y, Y\n");
    }
    std::string disk2_;
};

TEST_F(Diskettes, TheUserPointsToTheOtherDisk) {
    DialogScript script({{IDOK, {{IDC_DISKETTE_PATH, disk2_}}}});
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_EQ(ReadFileBytes(Dest("two.txt")), "from disk 2");
    ASSERT_EQ(script.Answered().size(), 1u);
    const zyntest::DialogShown prompt = script.Answered()[0];
    EXPECT_EQ(prompt.controls.at(IDC_DISKETTE_NAME), "Aquarium Disk Two");
    EXPECT_EQ(prompt.controls.at(IDC_DISKETTE_PATH), src_) << "preset with the source directory";
    EXPECT_NE(prompt.controls.at(IDC_DISKETTE_FILE).find("two.txt"), std::string::npos);
    char source[1024];
    ASSERT_EQ(VAR_Get("SourceDirectory", source, sizeof source), 0);
    EXPECT_EQ(std::string(source), disk2_);
}

TEST_F(Diskettes, CancelAsksAndYesGivesUp) {
    DialogScript script({{IDCANCEL}, {IDNO}, {IDCANCEL}, {IDYES}});
    EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 100);
    ASSERT_EQ(script.Answered().size(), 4u);
    EXPECT_TRUE(script.Answered()[1].messageBox);
    EXPECT_EQ(script.Answered()[1].caption, "Cancel Installation");
    EXPECT_FALSE(script.Answered()[2].messageBox) << "No shows the prompt again";
    EXPECT_FALSE(fs::exists(Dest("two.txt")));
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
}

TEST_F(Diskettes, ABadPathIsRefusedAndThePromptStays) {
    DialogAnswer refused{IDOK, {{IDC_DISKETTE_PATH, "no drive; here"}}};
    // The refusal is confirmed; the prompt is still there and takes a valid path that
    // does not hold the file, so it comes again.
    DialogAnswer confirmed{IDOK, {}, IDOK, {{IDC_DISKETTE_PATH, src_}}};
    DialogAnswer right{IDOK, {{IDC_DISKETTE_PATH, disk2_ + "\\"}}};
    DialogScript script({refused, confirmed, right});
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    ASSERT_EQ(script.Answered().size(), 3u);
    EXPECT_EQ(script.Answered()[1].caption, NEXTDISK_FIELD_NAME);
    EXPECT_EQ(ReadFileBytes(Dest("two.txt")), "from disk 2");
}

TEST_F(Diskettes, FindSourceNamesUnlistedDisksAfterTheProduct) {
    Script("[Files]\n");
    NEXTDISK_LoadDiskNames();
    EXPECT_EQ(NEXTDISK_GetDiskName(3), "Aquarium 3");
    char small[40];
    std::strcpy(small, "x.txt");
    DialogScript script({{IDOK, {{IDC_DISKETTE_PATH, disk2_}}}});
    EXPECT_EQ(LOGFILE_FindSource(3, small, static_cast<int>(disk2_.size()) + 5), ERROR_LOGFILES_BUFFER_TOO_SMALL)
        << "the new path does not fit";
    EXPECT_EQ(script.Answered()[0].controls.at(IDC_DISKETTE_NAME), "Aquarium 3");
}

class DiskSpace : public FilesSection {
protected:
    void SetUp() override {
        FilesSection::SetUp();
        ASSERT_EQ(PLIST_Init(), 0);
        PLIST_InsertAfter(-1, "Files", LOGFILE_Install, LOGFILE_Install);
        PLIST_InsertAfter(-1, "Protection Files", LOGFILE_Install, LOGFILE_Install);
        PLIST_InsertAfter(-1, "Other Files", LOGOTHER_Install, LOGFILE_Install);
        ASSERT_EQ(SYS_GetClusterSize(dir_.path().c_str(), &cluster_), 0);
        Source("one.bin", "1");
        Source("cluster.bin", std::string(cluster_ + 1, 'c'));
        Source("tree\\deep\\ten.bin", std::string(10, 't'));
        Script("[Files]\n"
               "x, one.bin,, one.bin,, 1, N, N, 100, 1, N, N, Y\n"
               "x, cluster.bin,, c.bin,, 1, N, N, 0, 1, N, N, Y\n"
               "x, missing.bin,, m.bin,, 1, N, N, 7, 1, N, N, Y\n"
               "x, one.bin,, skipped,, 1, N, N, 5000, 1, N, N, N\n"
               "[Protection Files]\n"
               "x, tree\\*.*,, tree\\, , 1, N, N, 5000, 1, Y, N, Y\n"
               "[Other Files]\n");
    }
    uint32_t Allocated() const {
        uint32_t value = 0;
        ZYNDISK_GetTotalAllocated(&value);
        return value;
    }
    uint32_t cluster_ = 0;
};

TEST_F(DiskSpace, MeasuresTheFilesOfBothSectionsInWholeClusters) {
    DialogScript none;
    ASSERT_EQ(LOGFILE_CheckDiskSpace(), 0);
    EXPECT_EQ(Allocated(), 4 * cluster_) << "1 byte, a cluster and a byte, and 10 bytes in the tree";
    uint32_t total = 0;
    ZYNDISK_GetTotalSize(&total);
    EXPECT_EQ(total, cluster_ + 12);
}

TEST_F(DiskSpace, WithoutCalculationTheSizeColumnCounts) {
    VAR_Set("CalculateSize", "false");
    ASSERT_EQ(LOGFILE_CheckDiskSpace(), 0);
    uint32_t total = 0;
    ZYNDISK_GetTotalSize(&total);
    EXPECT_EQ(total, 100u + 0 + 7 + 5000);
    EXPECT_EQ(Allocated(), ZYNDISK_RoundToClusters(100, cluster_) + ZYNDISK_RoundToClusters(7, cluster_) +
                               ZYNDISK_RoundToClusters(5000, cluster_));
}

TEST_F(DiskSpace, TooLittleRoomIsToldAndReturned) {
    VAR_Set("ExtraSpace", "1000000000000000");
    VAR_Set("ShowPleaseWait", "Y");
    DialogScript script({{IDOK}});
    EXPECT_EQ(LOGFILE_CheckDiskSpace(), ERROR_ZYNDISK_NO_DISKSPACE);
    ASSERT_EQ(script.Answered().size(), 1u);
    EXPECT_EQ(script.Answered()[0].caption, "Not Enough Disk Space");
    EXPECT_NE(script.Answered()[0].text.find(dest_), std::string::npos);
    ASSERT_GE(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0].caption, "Please Wait") << "the please-wait box came first";
    EXPECT_TRUE(script.shown[0].controls.empty());

    VAR_Set("ExtraSpace", "0");
    EXPECT_EQ(LOGFILE_CheckDiskSpace(), 0) << "a later check can pass";
}

class FileRecordsUndone : public FilesSection {
protected:
    void TearDown() override {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        DeleteFileA((std::string(windows) + "\\" + HELPER_INI_NAME).c_str());
        HELPER_Reset();
        FilesSection::TearDown();
    }
    static std::string HelperList() {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        return ReadFileBytes(std::string(windows) + "\\" + HELPER_INI_NAME);
    }
};

TEST_F(FileRecordsUndone, TheInstalledTreeGoesAgainLastRecordFirst) {
    Source("a.txt", "A");
    Source("docs\\sub\\two.txt", "2");
    Script("[Files]\n"
           "x, a.txt,, a.txt,, 1, N, N, 0, 1, N, Y, Y\n"
           "x, docs\\*.*,, docs\\, R, 1, N, N, 0, 1, Y, Y, Y\n");
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    const size_t records = Values({DemoKey(), "Files"}).size();
    ASSERT_EQ(records, 5u);
    ASSERT_EQ(STATUS_Init(STATUS_UNINSTALL), 0);
    LOGUNINS_SetProgressTotal(10);
    EXPECT_EQ(LOGFILE_Uninstall(Key({DemoKey(), "Files"}), demo_), 0);
    EXPECT_FALSE(fs::exists(dest_)) << "files, then their folders, then the destination";
    EXPECT_TRUE(Values({DemoKey(), "Files"}).empty());
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->totalPercent, 50.0f) << "one step per record";
    EXPECT_EQ(HelperList(), "");
}

TEST_F(FileRecordsUndone, SharedRecordsLoseOnlyThisDemo) {
    std::string kept = dir_.file("shared\\kept.dll"), gone = dir_.file("shared\\gone.dll"),
                twice = dir_.file("shared\\twice.dll");
    for (const std::string& path : {kept, gone, twice}) Put(path, "x");
    ZYNLOG_KEY common = nullptr, files = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(common, "Files", &files), 0);
    ZYNLOG_SetValue(files, kept.c_str(), "0, 1");
    ZYNLOG_SetValue(files, gone.c_str(), "0");
    ZYNLOG_SetValue(files, twice.c_str(), "0,0");
    EXPECT_EQ(LOGFILE_Uninstall(files, 0), 0);
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_FALSE(fs::exists(twice)) << "a list that held only this demo empties";
    EXPECT_EQ(Values({"Common", "Files"}), (Records{{kept, "1"}}));
}

TEST_F(FileRecordsUndone, WhatCannotBeDeletedGoesToTheHelper) {
    std::string missing = Dest("never-made.txt");
    std::string busy = Dest("busy");
    Put(busy + "\\unrecorded.txt", "left by the user");
    ZYNLOG_KEY demo_key = nullptr, files = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&demo_key), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(demo_key, "Files", &files), 0);
    ZYNLOG_SetValue(files, busy.c_str(), std::to_string(demo_).c_str());
    ZYNLOG_SetValue(files, missing.c_str(), std::to_string(demo_).c_str());
    EXPECT_EQ(LOGFILE_Uninstall(files, demo_), 0);
    EXPECT_TRUE(fs::exists(busy + "\\unrecorded.txt")) << "without UninstallCleanDirs only empty folders go";
    std::string list = HelperList();
    EXPECT_NE(list.find("never-made.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("Number=2"), std::string::npos) << list;
    EXPECT_TRUE(Values({DemoKey(), "Files"}).empty()) << "the records go all the same";
}

TEST_F(FileRecordsUndone, CleanDirsEmptiesFoldersButSparesTheRunningHelper) {
    std::string folder = Dest("program");
    Put(folder + "\\user.dat", "u");
    Put(folder + "\\saves\\game1.sav", "s");
    Put(folder + "\\helper.exe", "h");
    VAR_Set("UninstallCleanDirs", "TRUE");
    VAR_Set("UninstallDirectory", folder.c_str());
    ZYNLOG_KEY demo_key = nullptr, files = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&demo_key), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(demo_key, "Files", &files), 0);
    ZYNLOG_SetValue(files, folder.c_str(), std::to_string(demo_).c_str());
    EXPECT_EQ(LOGFILE_Uninstall(files, demo_), 0);
    EXPECT_FALSE(fs::exists(folder + "\\user.dat"));
    EXPECT_FALSE(fs::exists(folder + "\\saves"));
    EXPECT_TRUE(fs::exists(folder + "\\helper.exe"));
    EXPECT_NE(HelperList().find("File0="), std::string::npos) << "the folder itself is left to the helper";
}

TEST_F(FilesSection, OtherFilesOnlyRecord) {
    Script("[Other Files]\n"
           "$(SourceDirectory)\\setup.exe, Y\n"
           "readme.txt, $[ 1 == 1 ]\n"
           "ignored.txt, N\n");
    ASSERT_EQ(LOGOTHER_Install(demo_, "Other Files", PLIST_INSTALL), 0);
    const std::string id = std::to_string(demo_);
    EXPECT_EQ(Values({DemoKey(), "Files"}), (Records{{Dest("readme.txt"), id}}));
    EXPECT_EQ(Values({"Common", "Files"}), (Records{{src_ + "\\setup.exe", id}}));
    EXPECT_FALSE(fs::exists(dest_)) << "nothing is copied or made";

    // The exclusivity test does not look at the second column.
    EXPECT_EQ(LOGOTHER_Install(-1, "Other Files", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    INF_Terminate();
    Script("[Other Files]\nreadme.txt, N\nsub\\x.txt, Y\n");
    EXPECT_EQ(LOGOTHER_Install(-1, "Other Files", PLIST_EXCLUSIVE_TEST), 0);
    EXPECT_EXIT(LOGOTHER_Install(demo_, "Other Files", 7), ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
}

}  // namespace
