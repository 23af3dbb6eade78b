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
class File {
public:
    File(const std::string& path, uint32_t mode) {
        result_ = SYS_FileOpen(path.c_str(), mode, SYS_SHARE_READ | SYS_SHARE_WRITE, &handle_);
    }
    ~File() { SYS_FileClose(handle_); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    int result() const { return result_; }
    SYS_HANDLE get() const { return handle_; }

private:
    SYS_HANDLE handle_ = SYS_INVALID_HANDLE;
    int result_;
};

class FileLayer : public ::testing::Test {
protected:
    zyntest::TempDir dir_;
};

TEST_F(FileLayer, OpenCreatesAMissingFileAndTruncatesOnlyWhenAsked) {
    std::string path = dir_.file("a.txt");
    {
        File reader(path, SYS_OPEN_READ);
        ASSERT_EQ(reader.result(), 0);
    }
    EXPECT_TRUE(fs::exists(path)) << "opened always: created even for reading";
    WriteFileBytes(path, "old contents");
    {
        File keeper(path, SYS_OPEN_READ | SYS_OPEN_WRITE);
        ASSERT_EQ(keeper.result(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    {
        File creator(path, SYS_OPEN_WRITE | SYS_OPEN_CREATE);
        ASSERT_EQ(creator.result(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(FileLayer, OpenFailuresGiveTheOpenCode) {
    for (const std::string& path : {dir_.path(), (fs::path(dir_.path()) / "missing" / "a.txt").string()}) {
        SYS_HANDLE handle = nullptr;
        EXPECT_EQ(SYS_FileOpen(path.c_str(), SYS_OPEN_READ, SYS_SHARE_READ, &handle), ERROR_SYS_FILE_OPEN) << path;
        EXPECT_EQ(handle, SYS_INVALID_HANDLE);
    }
}

TEST_F(FileLayer, ReadWriteSeekAndLength) {
    std::string path = dir_.file("data.bin");
    File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE | SYS_OPEN_CREATE);
    ASSERT_EQ(file.result(), 0);
    uint32_t done = 0, position = 0, length = 0;
    EXPECT_EQ(SYS_FileWrite(file.get(), "0123456789", 10, &done), 0);
    EXPECT_EQ(done, 10u);
    EXPECT_EQ(SYS_FileLength(file.get(), &length), 0);
    EXPECT_EQ(length, 10u);
    EXPECT_EQ(SYS_FileSeek(file.get(), -4, SYS_SEEK_END, &position), 0);
    EXPECT_EQ(position, 6u);
    char buffer[16] = {};
    EXPECT_EQ(SYS_FileRead(file.get(), buffer, 4, &done), 0);
    EXPECT_EQ(std::string(buffer, done), "6789");
    EXPECT_EQ(SYS_FileSeek(file.get(), 2, SYS_SEEK_BEGIN, &position), 0);
    EXPECT_EQ(SYS_FileSeek(file.get(), 3, SYS_SEEK_CURRENT, &position), 0);
    EXPECT_EQ(position, 5u);
    // A read that cannot be satisfied in full is a failure, with what it got.
    EXPECT_EQ(SYS_FileRead(file.get(), buffer, 8, &done), ERROR_SYS_FILE_READ);
    EXPECT_EQ(std::string(buffer, done), "56789");
    EXPECT_EQ(SYS_FileSeek(file.get(), -20, SYS_SEEK_BEGIN, &position), ERROR_SYS_FILE_SEEK);
    EXPECT_EQ(SYS_FileFlush(file.get()), 0);
}

TEST_F(FileLayer, SetLengthGrowsWithZerosAndCuts) {
    std::string path = dir_.file("grow.bin");
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE | SYS_OPEN_CREATE);
        ASSERT_EQ(file.result(), 0);
        ASSERT_EQ(SYS_FileWrite(file.get(), "abc", 3, nullptr), 0);
        ASSERT_EQ(SYS_SetLength(file.get(), 70000), 0);
    }
    std::string grown = ReadFileBytes(path);
    ASSERT_EQ(grown.size(), 70000u);
    EXPECT_EQ(grown.substr(0, 3), "abc");
    EXPECT_EQ(grown.find_first_not_of('\0', 3), std::string::npos);
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE);
        ASSERT_EQ(SYS_SetLength(file.get(), 2), 0);
        ASSERT_EQ(SYS_FileWrite(file.get(), "Z", 1, nullptr), 0) << "positioned at the new end";
    }
    EXPECT_EQ(ReadFileBytes(path), "abZ");
}

TEST_F(FileLayer, InvalidHandleGivesEachOperationsCode) {
    char buffer[4];
    uint32_t value = 7;
    EXPECT_EQ(SYS_FileRead(SYS_INVALID_HANDLE, buffer, 4, &value), ERROR_SYS_FILE_READ);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(SYS_FileWrite(SYS_INVALID_HANDLE, buffer, 4, &value), ERROR_SYS_FILE_WRITE);
    EXPECT_EQ(SYS_FileSeek(SYS_INVALID_HANDLE, 0, SYS_SEEK_BEGIN, &value), ERROR_SYS_FILE_SEEK);
    EXPECT_EQ(SYS_FileLength(SYS_INVALID_HANDLE, &value), ERROR_SYS_FILE_LENGTH);
    EXPECT_EQ(SYS_FileFlush(SYS_INVALID_HANDLE), ERROR_SYS_FILE_FLUSH);
    EXPECT_EQ(SYS_SetLength(SYS_INVALID_HANDLE, 0), ERROR_SYS_CHANGE_LENGTH);
    SYS_FileClose(SYS_INVALID_HANDLE);
}

TEST_F(FileLayer, AttributesAndExistence) {
    std::string file = dir_.file("ro.txt");
    WriteFileBytes(file, "x");
    uint32_t attributes = 0;
    ASSERT_EQ(SYS_GetAttributes(file.c_str(), &attributes), 0);
    EXPECT_EQ(attributes & (SYS_ATTR_READONLY | SYS_ATTR_DIRECTORY), 0u);
    ASSERT_EQ(SYS_SetAttributes(file.c_str(), SYS_ATTR_READONLY), 0);
    ASSERT_EQ(SYS_GetAttributes(file.c_str(), &attributes), 0);
    EXPECT_NE(attributes & SYS_ATTR_READONLY, 0u);
    ASSERT_EQ(SYS_GetAttributes(dir_.path().c_str(), &attributes), 0);
    EXPECT_NE(attributes & SYS_ATTR_DIRECTORY, 0u);

    std::string missing = dir_.file("missing");
    EXPECT_EQ(SYS_GetAttributes(missing.c_str(), &attributes), ERROR_SYS_ATTRIBUTES);
    EXPECT_EQ(SYS_SetAttributes(missing.c_str(), SYS_ATTR_NORMAL), ERROR_SYS_ATTRIBUTES);
    EXPECT_EQ(SYS_Exists(file.c_str()), 1);
    EXPECT_EQ(SYS_Exists(dir_.path().c_str()), 1);
    EXPECT_EQ(SYS_Exists(missing.c_str()), 0);
    EXPECT_EQ(SYS_Exists(nullptr), 0);
    EXPECT_EQ(SYS_SetAttributes(file.c_str(), SYS_ATTR_NORMAL), 0);
}

TEST_F(FileLayer, DeleteRemovesReadOnlyFilesButNotDirectories) {
    std::string file = dir_.file("ro.txt");
    WriteFileBytes(file, "x");
    ASSERT_EQ(SYS_SetAttributes(file.c_str(), SYS_ATTR_READONLY), 0);
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
    uint32_t attributes = 0;
    ASSERT_EQ(SYS_GetAttributes(to.c_str(), &attributes), 0);
    EXPECT_NE(attributes & SYS_ATTR_READONLY, 0u);

    EXPECT_EQ(SYS_RenameFile(to.c_str(), other.c_str()), ERROR_SYS_FILE_RENAME);
    EXPECT_EQ(ReadFileBytes(other), "keep me");
    ASSERT_EQ(SYS_GetAttributes(to.c_str(), &attributes), 0);
    EXPECT_NE(attributes & SYS_ATTR_READONLY, 0u) << "a failed rename puts the attributes back";
    EXPECT_EQ(SYS_RenameFile(from.c_str(), dir_.file("x").c_str()), ERROR_SYS_FILE_RENAME);
    SYS_SetAttributes(to.c_str(), SYS_ATTR_NORMAL);
}

TEST_F(FileLayer, MakeAndRemoveDirectories) {
    std::string sub = dir_.file("sub");
    std::string deeper = (fs::path(dir_.path()) / "missing" / "deeper").string();
    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_MAKE);
    EXPECT_EQ(SYS_MakeDirectory(deeper.c_str()), ERROR_SYS_DIRECTORY_MAKE);

    WriteFileBytes((fs::path(sub) / "f").string(), "x");
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_DELETE) << "not empty";
    fs::remove(fs::path(sub) / "f");
    EXPECT_EQ(SYS_RemoveDirectory((fs::path(sub) / ".").string().c_str()), 0) << "dot entries are skipped";
    EXPECT_EQ(SYS_RemoveDirectory((fs::path(sub) / "..").string().c_str()), 0);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), 0);
    EXPECT_FALSE(fs::exists(sub));
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_DELETE);
}

}  // namespace
