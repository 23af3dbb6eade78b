// The fingerprint file, byte for byte against records worked out here, and its records.
#include "sections/logvld.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

void PutWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The record of a file as the demo expects to find it.
std::string Expected(const std::string& path, const std::string& bytes, const std::vector<uint32_t>& offsets) {
    std::string out = path;
    out.resize(260, '\0');
    PutWord(out, static_cast<uint32_t>(bytes.size()));
    for (uint32_t offset : offsets) {
        PutWord(out, offset);
        out += bytes.substr(offset, 16);
    }
    return out;
}

class ValidateFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.path().c_str());
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
        fs::create_directories(dir_.file("DATA\\SUB"));
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    void Run(const std::string& line) {
        const std::string script = "[Validate Files]\r\n" + line + "\r\n";
        ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
        EXPECT_EQ(LOGVLD_Install(demo_, "Validate Files", PLIST_INSTALL), 1);
        INF_Terminate();
    }
    zyntest::TempDir dir_;
    int demo_ = -1;
};

TEST_F(ValidateFiles, RecordsMatchTheFilesAndAreAppendedOnEveryRun) {
    const std::string big = dir_.file("DATA\\SUB\\fish.bmp"), small = dir_.file("DATA\\min.txt");
    const std::string big_bytes = Pattern(1000, 'a'), small_bytes = Pattern(128, 'A');
    WriteFileBytes(big, big_bytes);
    WriteFileBytes(small, small_bytes);
    Run("zyn.dat, RH, DATA\\*.*, Y, Y, Y");
    const std::string records = Expected(small, small_bytes, {16, 48, 80, 112}) +
                                Expected(big, big_bytes, {125, 375, 625, 875});
    const std::string dat = dir_.file("zyn.dat");
    ASSERT_EQ(ReadFileBytes(dat).size(), 2u * LOGVLD_RECORD_SIZE);
    // The walk takes sub-directories first; each file's record is whole and exact.
    std::string got = ReadFileBytes(dat);
    EXPECT_TRUE(got == records || got == records.substr(344) + records.substr(0, 344));
    // Wine shows every file as archived, so that bit is left out of the comparison.
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(GetFileAttributesA(dat.c_str()) & kept, DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});

    Run("zyn.dat, r, DATA\\min.txt, N, Y, Y");
    EXPECT_EQ(ReadFileBytes(dat).size(), 3u * LOGVLD_RECORD_SIZE) << "never truncated";
    EXPECT_EQ(GetFileAttributesA(dat.c_str()) & kept, 0u) << "lower case letters do nothing";

    ZYNLOG_KEY demo = nullptr, key = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&demo), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(demo, LOGVLD_KEY, &key), 0);
    char data[16];
    EXPECT_EQ(ZYNLOG_GetValue(key, (dat + "," + big).c_str(), data, sizeof data), 0);
    EXPECT_EQ(std::string(data), std::to_string(demo_));
    ASSERT_EQ(LOGVLD_Uninstall(key, demo_), 0);
    int values = -1;
    ASSERT_EQ(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, nullptr, nullptr), 0);
    EXPECT_EQ(values, 0);
    EXPECT_TRUE(fs::exists(dat)) << "the file record removes it, not this one";
}

TEST_F(ValidateFiles, AFileBelow128BytesEndsTheRunAfterAPartialRecord) {
    const std::string tiny = dir_.file("DATA\\tiny.txt"), dat = dir_.file("zyn.dat");
    WriteFileBytes(tiny, Pattern(127, 'x'));
    EXPECT_EQ(LOGVLD_WriteRecord(dat.c_str(), tiny.c_str(), 1), ERROR_LOGVLD_INPUT_FILE_TOO_SMALL);
    EXPECT_EQ(ReadFileBytes(dat).size(), 264u);
    EXPECT_EXIT(Run("zyn.dat, , DATA\\tiny.txt, N, N, Y"), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "");
}

}  // namespace
