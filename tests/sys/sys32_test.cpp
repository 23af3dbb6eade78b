#include "sys/sys32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

// Closes a handle whatever the test's outcome.
struct File {
    File(const std::string& path, uint32_t mode) {
        result = SYS_FileOpen(path.c_str(), mode, SYS_SHARE_READ | SYS_SHARE_WRITE, &handle);
    }
    ~File() { SYS_FileClose(handle); }
    SYS_HANDLE handle = SYS_INVALID_HANDLE;
    int result;
};

class FileLayer : public ::testing::Test {
protected:
    uint32_t Attributes(const std::string& path) {
        EXPECT_EQ(SYS_GetAttributes(path.c_str(), &value_), 0) << path;
        return value_;
    }
    zyntest::TempDir dir_;
    uint32_t value_ = 0;
};

TEST_F(FileLayer, OpenCreatesTruncatesOnlyWhenAskedAndFailsOnFolders) {
    const std::string path = dir_.file("a.txt");
    EXPECT_EQ(File(path, SYS_OPEN_READ).result, 0);
    EXPECT_TRUE(fs::exists(path)) << "opened always: created even for reading";
    WriteFileBytes(path, "old contents");
    EXPECT_EQ(File(path, SYS_OPEN_READ | SYS_OPEN_WRITE).result, 0);
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    EXPECT_EQ(File(path, SYS_OPEN_WRITE | SYS_OPEN_CREATE).result, 0);
    EXPECT_EQ(ReadFileBytes(path), "");
    for (const std::string& bad : {dir_.path(), dir_.file("missing/a.txt")}) {
        File file(bad, SYS_OPEN_READ);
        EXPECT_EQ(file.result, ERROR_SYS_FILE_OPEN) << bad;
        EXPECT_EQ(file.handle, SYS_INVALID_HANDLE);
    }
}

TEST_F(FileLayer, ReadWriteSeekLengthAndShortRead) {
    File file(dir_.file("data.bin"), SYS_OPEN_READ | SYS_OPEN_WRITE | SYS_OPEN_CREATE);
    uint32_t done = 0, position = 0, length = 0;
    EXPECT_EQ(SYS_FileWrite(file.handle, "0123456789", 10, &done), 0);
    EXPECT_EQ(SYS_FileLength(file.handle, &length), 0);
    EXPECT_EQ(done + length, 20u);
    EXPECT_EQ(SYS_FileSeek(file.handle, -4, SYS_SEEK_END, &position), 0);
    EXPECT_EQ(position, 6u);
    char buffer[16] = {};
    EXPECT_EQ(SYS_FileRead(file.handle, buffer, 4, &done), 0);
    EXPECT_EQ(std::string(buffer, done), "6789");
    EXPECT_EQ(SYS_FileSeek(file.handle, 2, SYS_SEEK_BEGIN, &position), 0);
    EXPECT_EQ(SYS_FileSeek(file.handle, 3, SYS_SEEK_CURRENT, &position), 0);
    EXPECT_EQ(position, 5u);
    // A read that cannot be satisfied in full is a failure, with what it got.
    EXPECT_EQ(SYS_FileRead(file.handle, buffer, 8, &done), ERROR_SYS_FILE_READ);
    EXPECT_EQ(std::string(buffer, done), "56789");
    EXPECT_EQ(SYS_FileSeek(file.handle, -20, SYS_SEEK_BEGIN, &position), ERROR_SYS_FILE_SEEK);
}

TEST_F(FileLayer, SetLengthGrowsWithZerosAndCutsAndABadHandleGivesEachCode) {
    std::string path = dir_.file("grow.bin");
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE | SYS_OPEN_CREATE);
        ASSERT_EQ(SYS_FileWrite(file.handle, "abc", 3, nullptr), 0);
        ASSERT_EQ(SYS_SetLength(file.handle, 70000), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "abc" + std::string(70000 - 3, '\0'));
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE);
        ASSERT_EQ(SYS_SetLength(file.handle, 2), 0);
        ASSERT_EQ(SYS_FileWrite(file.handle, "Z", 1, nullptr), 0) << "positioned at the new end";
    }
    EXPECT_EQ(ReadFileBytes(path), "abZ");

    char buffer[4];
    value_ = 7;
    EXPECT_EQ(SYS_FileRead(SYS_INVALID_HANDLE, buffer, 4, &value_), ERROR_SYS_FILE_READ);
    EXPECT_EQ(value_, 0u);
    EXPECT_EQ(SYS_FileWrite(SYS_INVALID_HANDLE, buffer, 4, &value_), ERROR_SYS_FILE_WRITE);
    EXPECT_EQ(SYS_FileSeek(SYS_INVALID_HANDLE, 0, SYS_SEEK_BEGIN, &value_), ERROR_SYS_FILE_SEEK);
    EXPECT_EQ(SYS_FileLength(SYS_INVALID_HANDLE, &value_), ERROR_SYS_FILE_LENGTH);
    EXPECT_EQ(SYS_FileFlush(SYS_INVALID_HANDLE), ERROR_SYS_FILE_FLUSH);
    EXPECT_EQ(SYS_SetLength(SYS_INVALID_HANDLE, 0), ERROR_SYS_CHANGE_LENGTH);
    SYS_FileClose(SYS_INVALID_HANDLE);
}

TEST_F(FileLayer, AttributesExistenceAndDeleteOfReadOnlyFiles) {
    std::string file = dir_.file("ro.txt"), missing = dir_.file("missing");
    WriteFileBytes(file, "x");
    EXPECT_EQ(Attributes(file) & (SYS_ATTR_READONLY | SYS_ATTR_DIRECTORY), 0u);
    ASSERT_EQ(SYS_SetAttributes(file.c_str(), SYS_ATTR_READONLY), 0);
    EXPECT_NE(Attributes(file) & SYS_ATTR_READONLY, 0u);
    EXPECT_NE(Attributes(dir_.path()) & SYS_ATTR_DIRECTORY, 0u);
    EXPECT_EQ(SYS_GetAttributes(missing.c_str(), &value_), ERROR_SYS_ATTRIBUTES);
    EXPECT_EQ(SYS_SetAttributes(missing.c_str(), SYS_ATTR_NORMAL), ERROR_SYS_ATTRIBUTES);
    EXPECT_EQ(SYS_Exists(file.c_str()) + SYS_Exists(dir_.path().c_str()), 2);
    EXPECT_EQ(SYS_Exists(missing.c_str()) + SYS_Exists(nullptr), 0);

    EXPECT_EQ(SYS_DeleteFile(file.c_str()), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(SYS_DeleteFile(file.c_str()), ERROR_SYS_FILE_DELETE);
    EXPECT_EQ(SYS_DeleteFile(dir_.path().c_str()), ERROR_SYS_FILE_DELETE);
    EXPECT_TRUE(fs::exists(dir_.path()));
}

TEST_F(FileLayer, RenameKeepsAttributesAndNeverReplaces) {
    std::string from = dir_.file("from.txt"), to = dir_.file("to.txt"), other = dir_.file("other.txt");
    WriteFileBytes(from, "payload");
    WriteFileBytes(other, "keep me");
    ASSERT_EQ(SYS_SetAttributes(from.c_str(), SYS_ATTR_READONLY), 0);
    EXPECT_EQ(SYS_RenameFile(from.c_str(), to.c_str()), 0);
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(ReadFileBytes(to), "payload");
    EXPECT_NE(Attributes(to) & SYS_ATTR_READONLY, 0u);
    EXPECT_EQ(SYS_RenameFile(to.c_str(), other.c_str()), ERROR_SYS_FILE_RENAME);
    EXPECT_EQ(ReadFileBytes(other), "keep me");
    EXPECT_NE(Attributes(to) & SYS_ATTR_READONLY, 0u) << "a failed rename puts the attributes back";
    EXPECT_EQ(SYS_RenameFile(from.c_str(), dir_.file("x").c_str()), ERROR_SYS_FILE_RENAME);
    SYS_SetAttributes(to.c_str(), SYS_ATTR_NORMAL);
}

TEST_F(FileLayer, MakeAndRemoveDirectories) {
    std::string sub = dir_.file("sub");
    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_MAKE);
    EXPECT_EQ(SYS_MakeDirectory(dir_.file("missing/deeper").c_str()), ERROR_SYS_DIRECTORY_MAKE);
    WriteFileBytes(sub + "/f", "x");
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_DELETE) << "not empty";
    fs::remove(sub + "/f");
    EXPECT_EQ(SYS_RemoveDirectory((sub + "/.").c_str()), 0) << "dot entries are skipped";
    EXPECT_EQ(SYS_RemoveDirectory((sub + "/..").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), 0);
    EXPECT_FALSE(fs::exists(sub));
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_DELETE);
}

}  // namespace
