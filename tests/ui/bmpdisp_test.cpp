// Bitmap files the pictures refuse; what they accept is shown pixel by pixel under Wine.
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
