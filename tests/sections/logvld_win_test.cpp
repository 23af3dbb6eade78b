// The fingerprint file, byte for byte against records worked out here, and its records.
#include "sections/logvld.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "sections/sectiontest.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

void PutWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The record of a file as the demo expects to find it.
std::string Expected(const std::string& path, const std::string& bytes, std::initializer_list<uint32_t> offsets) {
    std::string out = path;
    out.resize(260, '\0');
    PutWord(out, static_cast<uint32_t>(bytes.size()));
    for (uint32_t offset : offsets) {
        PutWord(out, offset);
        out += bytes.substr(offset, 16);
    }
    return out;
}

class ValidateFiles : public zyntest::SectionTest {
protected:
    void Run(const std::string& line) {
        Load("[Validate Files]\n" + line + "\n");
        EXPECT_EQ(LOGVLD_Install(demo_, "Validate Files", PLIST_INSTALL), 1);
    }
};

TEST_F(ValidateFiles, RecordsMatchTheFilesAndAreAppendedOnEveryRun) {
    fs::create_directories(dir_.file("DATA\\SUB"));
    const std::string big = dir_.file("DATA\\SUB\\fish.bmp"), small = dir_.file("DATA\\min.txt");
    const std::string big_bytes = Pattern(1000, 'a'), small_bytes = Pattern(128, 'A'), dat = dir_.file("zyn.dat");
    zyntest::WriteFileBytes(big, big_bytes);
    zyntest::WriteFileBytes(small, small_bytes);
    Run("zyn.dat, RH, DATA\\*.*, Y, Y, Y");
    const std::string one = Expected(small, small_bytes, {16, 48, 80, 112});
    const std::string two = Expected(big, big_bytes, {125, 375, 625, 875});
    // Each record whole and exact, in either walking order.
    const std::string got = ReadFileBytes(dat);
    EXPECT_TRUE(got == one + two || got == two + one);
    // Wine shows every file as archived, so that bit is left out of the comparison.
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(GetFileAttributesA(dat.c_str()) & kept, DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});

    Run("zyn.dat, r, DATA\\min.txt, N, Y, Y");
    EXPECT_EQ(ReadFileBytes(dat), got + one) << "never truncated";
    EXPECT_EQ(GetFileAttributesA(dat.c_str()) & kept, 0u) << "lower case letters do nothing";

    char data[16] = "";
    EXPECT_EQ(ZYNLOG_GetValue(Key({DemoKey(), LOGVLD_KEY}), (dat + "," + big).c_str(), data, sizeof data), 0);
    EXPECT_STREQ(data, "0");
    ASSERT_EQ(LOGVLD_Uninstall(Key({DemoKey(), LOGVLD_KEY}), demo_), 0);
    EXPECT_EQ(Values({DemoKey(), LOGVLD_KEY}), "");
    EXPECT_TRUE(fs::exists(dat)) << "the file record removes it, not this one";
}

TEST_F(ValidateFiles, AFileBelow128BytesEndsTheRunAfterAPartialRecord) {
    const std::string tiny = dir_.file("tiny.txt"), dat = dir_.file("zyn.dat");
    zyntest::WriteFileBytes(tiny, Pattern(127, 'x'));
    EXPECT_EQ(LOGVLD_WriteRecord(dat.c_str(), tiny.c_str(), 1), ERROR_LOGVLD_INPUT_FILE_TOO_SMALL);
    EXPECT_EQ(ReadFileBytes(dat).size(), 264u);
    EXPECT_FATAL(Run("zyn.dat, , tiny.txt, N, N, Y"));
}

}  // namespace
