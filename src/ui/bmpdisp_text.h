// Reading a bitmap file as the picture resources carry it, without the system: the
// headers, the colour table and where the pixels lie. Whatever fails these checks is
// not shown, so a broken picture never reaches the drawing calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr size_t BMPDISP_FILE_HEADER = 14;
inline constexpr uint32_t BMPDISP_CORE_HEADER = 12;
inline constexpr uint32_t BMPDISP_MIN_INFO_HEADER = 16;

struct BMPDISP_RGB {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// A picture as it is shown: everything after the file header is kept in bits
// (header, colour table, pixels); the fields say where the parts lie.
struct BMPDISP_PICTURE {
    std::vector<uint8_t> bits;
    uint32_t headerSize = 0;  // 12 for a core header
    int width = 0;
    int height = 0;           // rows; bottomUp tells their order
    bool bottomUp = true;
    int bitCount = 0;         // 1, 4, 8 or 24
    size_t colorOffset = 0;   // in bits
    uint32_t colorCount = 0;
    uint32_t colorEntrySize = 0;  // 3 (core) or 4 (info)
    size_t pixelOffset = 0;   // in bits
    size_t rowBytes = 0;      // one row of pixels, padded to four bytes

    BMPDISP_RGB Color(uint32_t index) const;
    const uint8_t* Pixels() const { return bits.data() + pixelOffset; }
};

// Reads a whole bitmap file: "BM", a core header (size 12) or an info header (size 16
// or more) with 1, 4, 8 or 24 bits per pixel and no compression, the colour table and
// every row of pixels inside the data. 0, or -1 when the file is not such a picture.
int BMPDISP_ReadFile(const uint8_t* data, size_t size, BMPDISP_PICTURE* picture);
