// Reading the bitmap files that picture resources hold.
#include "ui/bmpdisp_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/testsupport.h"

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
    const std::string bytes = zyntest::ReadFileBytes(ZYN_SOURCE_DIR "/tests/fuzz/corpus/bmpdisp/" + name);
    return {bytes.begin(), bytes.end()};
}

void Put32(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(BmpdispFile, ReadsCoreAndInfoHeadersOfEveryDepth) {
    struct Case {
        const char* file;
        int bits;
        uint32_t colors, entry;
        bool bottomUp;
        BMPDISP_RGB first;
    };
    const Case cases[] = {
        {"core1.bmp", 1, 2, 3, true, {255, 0, 0}},     {"core8.bmp", 8, 256, 3, true, {0, 0, 0}},
        {"core24.bmp", 24, 0, 3, true, {0, 0, 0}},     {"info4.bmp", 4, 16, 4, true, {0, 0, 0}},
        {"info8.bmp", 8, 3, 4, true, {255, 255, 0}},  // colours used: 3
        {"info24.bmp", 24, 0, 4, true, {0, 0, 0}},     {"topdown24.bmp", 24, 0, 4, false, {0, 0, 0}},
        {"v5head8.bmp", 8, 2, 4, true, {0, 0, 255}},  {"short4.bmp", 4, 16, 4, true, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = Fixture(c.file);
        BMPDISP_PICTURE p;
        ASSERT_EQ(BMPDISP_ReadFile(file.data(), file.size(), &p), 0) << c.file;
        EXPECT_EQ(p.width, 8) << c.file;
        EXPECT_EQ(p.height, 6) << c.file;
        EXPECT_EQ(p.bitCount, c.bits) << c.file;
        EXPECT_EQ(p.colorCount, c.colors) << c.file;
        EXPECT_EQ(p.colorEntrySize, c.entry) << c.file;
        EXPECT_EQ(p.bottomUp, c.bottomUp) << c.file;
        EXPECT_EQ(p.bits.size(), file.size() - BMPDISP_FILE_HEADER) << c.file;
        // The pixels follow the colour table directly, whatever the file header says.
        EXPECT_EQ(p.pixelOffset, p.headerSize + c.colors * c.entry) << c.file;
        const BMPDISP_RGB first = p.Color(0);
        EXPECT_EQ(first.red, c.first.red) << c.file;
        EXPECT_EQ(first.green, c.first.green) << c.file;
        EXPECT_EQ(first.blue, c.first.blue) << c.file;
    }
}

TEST(BmpdispFile, RefusesWhatIsNotAPictureItCanShow) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const Case cases[] = {
        {"no BM", [](auto& f) { f[1] = 'A'; }},
        {"header size 13", [](auto& f) { Put32(f, 14, 13); }},
        {"header beyond the file", [](auto& f) { Put32(f, 14, 4000); }},
        {"width 0", [](auto& f) { f[18] = f[19] = 0; }},
        {"height 0", [](auto& f) { f[22] = f[23] = 0; }},
        {"16 bits", [](auto& f) { f[28] = 16; }},
        {"compressed", [](auto& f) { Put32(f, 30, 1); }},
        {"colour table beyond the file", [](auto& f) { Put32(f, 46, 0x40000000); }},
        {"a pixel short", [](auto& f) { f.pop_back(); }},
        {"file header only", [](auto& f) { f.resize(BMPDISP_FILE_HEADER); }},
        {"shorter than a file header", [](auto& f) { f.resize(3); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = Fixture("info8.bmp");
        c.spoil(file);
        BMPDISP_PICTURE p;
        EXPECT_EQ(BMPDISP_ReadFile(file.data(), file.size(), &p), -1) << c.what;
        EXPECT_TRUE(p.bits.empty()) << c.what;
    }
}

}  // namespace
