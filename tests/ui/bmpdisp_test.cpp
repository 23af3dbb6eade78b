// Bitmap files as the pictures read them: where each header kind and depth keeps its colours
// and pixels (the billboards scenario draws 8-bit and 24-bit ones), and what is refused.
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

uint32_t Rgb(BMPDISP_RGB c) { return static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue); }

// Each picture is 8 by 6 pixels.
TEST(BmpdispFile, ReadsCoreTopDownLongAndShortHeaders) {
    struct Case {
        const char* file;
        uint32_t header;
        int bits;
        bool bottomUp;
        uint32_t colors;
        size_t pixels, row;
        uint32_t first;  // the first colour of the table
    };
    const Case cases[] = {
        {"core1.bmp", 12, 1, true, 2, 18, 4, 0xFF0000},  // three bytes a colour
        {"topdown24.bmp", 40, 24, false, 0, 40, 24, 0},
        {"v5head8.bmp", 124, 8, true, 2, 132, 8, 0x0000FF},  // as many colours as it says it uses
        {"short4.bmp", 16, 4, true, 16, 80, 4, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file = Fixture(c.file);
        BMPDISP_PICTURE p;
        ASSERT_EQ(BMPDISP_ReadFile(file.data(), file.size(), &p), 0);
        EXPECT_EQ(p.headerSize, c.header);
        EXPECT_EQ(p.width, 8);
        EXPECT_EQ(p.height, 6);
        EXPECT_EQ(p.bitCount, c.bits);
        EXPECT_EQ(p.bottomUp, c.bottomUp);
        EXPECT_EQ(p.colorCount, c.colors);
        EXPECT_EQ(p.pixelOffset, c.pixels);
        EXPECT_EQ(p.rowBytes, c.row);
        EXPECT_EQ(Rgb(p.Color(0)), c.first);
    }
}

TEST(BmpdispFile, RefusesWhatIsNotAPictureItCanShow) {
    struct Case { const char* what; std::function<void(std::vector<uint8_t>&)> spoil; };
    const Case cases[] = {
        {"no BM", [](auto& f) { f[1] = 'A'; }},
        {"header size 13", [](auto& f) { Put32(f, 14, 13); }},
        {"header beyond the file", [](auto& f) { Put32(f, 14, 4000); }},
        {"width 0", [](auto& f) { f[18] = f[19] = 0; }},
        {"16 bits", [](auto& f) { f[28] = 16; }},
        {"compressed", [](auto& f) { Put32(f, 30, 1); }},
        {"colour table beyond the file", [](auto& f) { Put32(f, 46, 0x40000000); }},
        {"a pixel short", [](auto& f) { f.pop_back(); }},
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
