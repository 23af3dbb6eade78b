// The Files sections on real files: copying, overwrite rules, diskettes, the disk-space
// check, the file records and their undoing; and the Other Files section.
#include "sections/logfile.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "run/helper.h"
#include "script/zynerror.h"
#include "sections/logother.h"
#include "sections/nextdisk.h"
#include "sections/nextdisk_ids.h"
#include "sections/sectiontest.h"
#include "support/dialogs_win.h"
#include "support/process_win.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/status.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DialogScript;
using zyntest::ReadFileBytes;

class FilesSection : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        fs::create_directories(src_);
        VAR_Set("SourceDirectory", src_.c_str());
        VAR_Set("DestinationDirectory", dest_.c_str());
        VAR_Set("ApplicationName", "Aquarium");
        VAR_Set("InstallName", "Aquarium Setup");
        COMMON_RegisterErrorHooks();
    }
    void TearDown() override {
        STATUS_Discard();
        PLIST_Terminate();
        ZYNDISK_SetCreatedHook(nullptr);
        ZYNDISK_SetOverwriteHook(nullptr);
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        MSG_SetCaption(-1);
        DeleteFileA(HelperIni().c_str());
        HELPER_Reset();
        for (auto& entry : fs::recursive_directory_iterator(dir_.path()))
            SetFileAttributesA(entry.path().string().c_str(),
                               entry.is_directory() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
        SectionTest::TearDown();
    }
    void Source(const std::string& relative, const std::string& bytes) { Put(src_ + "\\" + relative, bytes); }
    static void Put(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(path).parent_path());
        zyntest::WriteFileBytes(path, bytes);
    }
    std::string Dest(const std::string& relative) const { return dest_ + "\\" + relative; }
    static std::string HelperIni() {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        return std::string(windows) + "\\" + HELPER_INI_NAME;
    }

    zyntest::LanguageLibrary english_;
    std::string src_ = dir_.file("src"), dest_ = dir_.file("dest");
};

// Recursive copies and their records are the install-uninstall and interrupted scenarios'.
TEST_F(FilesSection, AttributeLettersAppendAndWhatIsRecorded) {
    for (const char* file : {"a.txt", "c.txt", "hidden.txt"}) Source(file, file);
    Source("part.txt", "-more");
    SetFileAttributesA((src_ + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // Attribute letters are upper case only; C, and only C, starts from the source's own.
    Load("[Files]\n"
         "Program, a.txt,, a.txt,, 1, N, N, 0, 1, N, Y, Y\n"
         "x, hidden.txt,, kept.txt, C,    1, N, N, 0, 1, N, N, Y\n"
         "x, hidden.txt,, plus.txt, CR,   1, N, N, 0, 1, N, N, Y\n"
         "x, hidden.txt,, lower.txt, rhs, 1, N, N, 0, 1, N, N, Y\n"
         "x, part.txt,, a.txt,, 1, Y, N, 0, 1, N, N, Y\n"
         "Unrecorded, c.txt,, c.txt,, 1, N, N, 0, 1, N, $[ 1 == 2 ], $[ 2 == 2 ]\n");
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    EXPECT_EQ(ReadFileBytes(Dest("c.txt")), "c.txt");
    EXPECT_EQ(ReadFileBytes(Dest("a.txt")), "a.txt-more");
    const std::pair<const char*, DWORD> attributes[] = {{"kept.txt", 2}, {"plus.txt", 3}, {"lower.txt", 0}};
    for (auto [file, bits] : attributes) EXPECT_EQ(GetFileAttributesA(Dest(file).c_str()) & 7, bits) << file;
    // A made folder is recorded whatever the line says; files only with Uninstall.
    EXPECT_EQ(Values({DemoKey(), "Files"}), dest_ + "=0;" + Dest("a.txt") + "=0;");
}

TEST_F(FilesSection, RecordFileDecidesByTheDestinationIgnoringCase) {
    std::string lower = dest_;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    LOGFILE_RecordFile(demo_, (lower + "\\x.txt").c_str());
    LOGFILE_RecordFile(demo_, "C:\\ELSEWHERE\\Y.TXT");
    LOGFILE_RecordFile(demo_, "C:\\ELSEWHERE\\Y.TXT");
    EXPECT_EQ(Values({DemoKey(), "Files"}), lower + "\\x.txt=0;");
    EXPECT_EQ(Values({"Common", "Files"}), "C:\\ELSEWHERE\\Y.TXT=0, 0;") << "the same demo twice is kept twice";
}

// One existing destination per Warn value, the source from 2000: No to the question cancels,
// Yes answers it for the whole install.
TEST_F(FilesSection, WarnRules) {
    Source("new.txt", "NEW");
    ASSERT_TRUE(zyntest::SetWriteYear(src_ + "\\new.txt", 2000));
    const std::pair<const char*, int> targets[] = {{"w0a", 1999}, {"w0b", 1999}, {"w1", 2001}, {"w2new", 2001},
                                                   {"w2old", 1999}, {"w3", 2001}, {"w4", 1999}};
    for (auto [name, year] : targets) {
        Put(Dest(name), "OLD");
        ASSERT_TRUE(zyntest::SetWriteYear(Dest(name), year));
    }
    Load("[Files]\n"
         "x, new.txt,, w0a,, 1, N, N, 0, 0, N, N, Y\nx, new.txt,, w0b,, 1, N, N, 0, 0, N, N, Y\n"
         "x, new.txt,, w0c,, 1, N, N, 0, 0, N, N, Y\nx, new.txt,, w1,, 1, N, N, 0, 1, N, N, Y\n"
         "x, new.txt,, w2new,, 1, N, N, 0, 2, N, N, Y\nx, new.txt,, w2old,, 1, N, N, 0, 2, N, N, Y\n"
         "x, new.txt,, w3,, 1, N, N, 0, 3, N, N, Y\nx, new.txt,, w4,, 1, N, N, 0, 4, N, N, Y\n");
    {
        DialogScript no({{IDNO}});
        EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 100);
        EXPECT_EQ(ReadFileBytes(Dest("w0a")), "OLD");
        EXPECT_FALSE(fs::exists(Dest("w0c")));
        EXPECT_EQ(STATUS_GetWindow(), nullptr);
    }
    VAR_Delete("WarningShown");
    DialogScript yes({{IDYES}});
    ASSERT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 0);
    ASSERT_EQ(yes.Answered().size(), 1u) << "asked once, for the first existing file";
    EXPECT_EQ(yes.Answered()[0].caption, "Files Already Exist");
    EXPECT_EQ(zyntest::VarText("WarningShown"), "TRUE");
    const std::pair<const char*, const char*> contents[] = {{"w0a", "NEW"}, {"w0b", "NEW"},   {"w0c", "NEW"},
                                                            {"w1", "NEW"},  {"w2new", "OLD"}, {"w2old", "NEW"},
                                                            {"w3", "NEW"},  {"w4", "OLD"}};
    for (auto [name, content] : contents) EXPECT_EQ(ReadFileBytes(Dest(name)), content) << name;
}

TEST_F(FilesSection, ExclusivityTestLooksAtInstalledDestinationsOnly) {
    const std::pair<const char*, int> cases[] = {
        {"x, a,, a.txt,, 1, N, N, 0, 1, N, Y, Y", 0},
        {"x, a,, C:\\WINDOWS\\a.txt,, 1, N, N, 0, 1, N, Y, N", 0},
        {"x, a,, C:\\WINDOWS\\a.txt,, 1, N, N, 0, 1, N, N, Y", ERROR_PLIST_EXCLUSIVE},
    };
    for (auto [line, result] : cases) {
        Load(std::string("[Files]\n") + line + "\n");
        EXPECT_EQ(LOGFILE_Install(-1, "Files", PLIST_EXCLUSIVE_TEST), result) << line;
    }
    EXPECT_FALSE(fs::exists(dest_)) << "the test changes nothing";
}

TEST_F(FilesSection, FailuresEndTheSection) {
    Load("[Files]\n");
    EXPECT_FATAL(LOGFILE_Install(demo_, "Files", 3));
    EXPECT_FATAL(LOGFILE_Install(demo_, "Protection Files", PLIST_INSTALL));
    Source("present.txt", "p");
    Put(Dest("blocker"), "a file where a folder is needed");
    Load("[Files]\nx, present.txt,, blocker\\a.txt,, 1, N, N, 0, 1, N, Y, Y\n");
    EXPECT_FATAL(LOGFILE_Install(demo_, "Files", PLIST_INSTALL));
    Load("[Files]\nx, *.none,, a.txt,, 1, N, N, 0, 1, N, Y, Y\n");
    DialogScript script({{IDCANCEL}, {IDYES}});
    EXPECT_EQ(LOGFILE_Install(demo_, "Files", PLIST_INSTALL), 100) << "a source nobody can find";
}

TEST_F(FilesSection, FindSourceNamesUnlistedDisksAfterTheProduct) {
    Load("[Files]\n");
    NEXTDISK_LoadDiskNames();
    EXPECT_EQ(NEXTDISK_GetDiskName(3), "Aquarium 3");
    char small[40] = "x.txt";
    DialogScript script({{IDOK, {{IDC_DISKETTE_PATH, src_}}}});
    EXPECT_EQ(LOGFILE_FindSource(3, small, static_cast<int>(src_.size()) + 5), ERROR_LOGFILES_BUFFER_TOO_SMALL)
        << "the new path does not fit";
    EXPECT_EQ(script.Answered()[0].controls.at(IDC_DISKETTE_NAME), "Aquarium 3");
}

TEST_F(FilesSection, CleanDirsEmptiesFoldersButSparesTheRunningHelper) {
    std::string folder = Dest("program");
    for (const char* file : {"\\user.dat", "\\saves\\game1.sav", "\\helper.exe"}) Put(folder + file, "x");
    VAR_Set("UninstallCleanDirs", "TRUE");
    VAR_Set("UninstallDirectory", folder.c_str());
    ZYNLOG_KEY files = nullptr;
    ZYNLOG_CreateKey(Key({DemoKey()}), "Files", &files);
    ZYNLOG_SetValue(files, folder.c_str(), "0");
    EXPECT_EQ(LOGFILE_Uninstall(files, demo_), 0);
    EXPECT_FALSE(fs::exists(folder + "\\user.dat"));
    EXPECT_FALSE(fs::exists(folder + "\\saves"));
    EXPECT_TRUE(fs::exists(folder + "\\helper.exe"));
    EXPECT_NE(ReadFileBytes(HelperIni()).find("File0="), std::string::npos) << "the folder is left to the helper";
}

TEST_F(FilesSection, OtherFilesOnlyRecord) {
    Load("[Other Files]\n$(SourceDirectory)\\setup.exe, Y\nreadme.txt, $[ 1 == 1 ]\nignored.txt, N\n");
    ASSERT_EQ(LOGOTHER_Install(demo_, "Other Files", PLIST_INSTALL), 0);
    EXPECT_EQ(Values({DemoKey(), "Files"}), Dest("readme.txt") + "=0;");
    EXPECT_EQ(Values({"Common", "Files"}), src_ + "\\setup.exe=0;");
    EXPECT_FALSE(fs::exists(dest_)) << "nothing is copied or made";
    // The exclusivity test does not look at the second column.
    EXPECT_EQ(LOGOTHER_Install(-1, "Other Files", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    Load("[Other Files]\nreadme.txt, N\nsub\\x.txt, Y\n");
    EXPECT_EQ(LOGOTHER_Install(-1, "Other Files", PLIST_EXCLUSIVE_TEST), 0);
    EXPECT_FATAL(LOGOTHER_Install(demo_, "Other Files", 7));
}

}  // namespace
