#include "ui/bmpdisp_text.h"

#include <cstdint>
#include <new>
#include <utility>

namespace {

constexpr int kError = -1;
constexpr uint32_t kInfoColorsUsedHeader = 36;  // the colours-used field needs this much header
constexpr uint32_t kInfoCompressionHeader = 20;

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool KnownBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

// The fields of the header at the start of body (everything after the file header).
int ReadHeader(const uint8_t* body, size_t size, BMPDISP_PICTURE& p) {
    if (size < 4) return kError;
    p.headerSize = Dword(body);
    if (p.headerSize != BMPDISP_CORE_HEADER && p.headerSize < BMPDISP_MIN_INFO_HEADER) return kError;
    if (p.headerSize > size) return kError;
    uint32_t colorsUsed = 0;
    // Width and height are 16-bit values in both kinds of header; a negative height
    // is a picture stored top row first.
    int height = 0;
    if (p.headerSize == BMPDISP_CORE_HEADER) {
        p.width = static_cast<int16_t>(Word(body + 4));
        height = static_cast<int16_t>(Word(body + 6));
        p.bitCount = Word(body + 10);
        p.colorEntrySize = 3;
    } else {
        p.width = static_cast<int16_t>(Word(body + 4));
        height = static_cast<int16_t>(Word(body + 8));
        p.bitCount = Word(body + 14);
        p.colorEntrySize = 4;
        if (p.headerSize >= kInfoCompressionHeader && Dword(body + 16) != 0) return kError;
        if (p.headerSize >= kInfoColorsUsedHeader) colorsUsed = Dword(body + 32);
    }
    if (p.width <= 0 || height == 0 || !KnownBitCount(p.bitCount)) return kError;
    p.bottomUp = height > 0;
    p.height = height > 0 ? height : -height;
    if (colorsUsed != 0) {
        p.colorCount = colorsUsed;
    } else {
        p.colorCount = p.bitCount == 24 ? 0 : 1u << p.bitCount;
    }
    return 0;
}

}  // namespace

BMPDISP_RGB BMPDISP_PICTURE::Color(uint32_t index) const {
    if (index >= colorCount) return {};
    const uint8_t* entry = bits.data() + colorOffset + static_cast<size_t>(index) * colorEntrySize;
    return BMPDISP_RGB{entry[2], entry[1], entry[0]};
}

int BMPDISP_ReadFile(const uint8_t* data, size_t size, BMPDISP_PICTURE* picture) {
    if (data == nullptr || picture == nullptr) return kError;
    *picture = BMPDISP_PICTURE{};
    if (size < BMPDISP_FILE_HEADER || data[0] != 'B' || data[1] != 'M') return kError;
    // The file-size field is not trusted: the resource's own size bounds the picture.
    const uint8_t* body = data + BMPDISP_FILE_HEADER;
    const size_t body_size = size - BMPDISP_FILE_HEADER;
    BMPDISP_PICTURE p;
    if (ReadHeader(body, body_size, p) != 0) return kError;

    p.colorOffset = p.headerSize;
    const uint64_t table = static_cast<uint64_t>(p.colorCount) * p.colorEntrySize;
    const uint64_t pixels_at = p.colorOffset + table;
    p.rowBytes = ((static_cast<size_t>(p.width) * static_cast<size_t>(p.bitCount) + 31) / 32) * 4;
    const uint64_t pixel_bytes = static_cast<uint64_t>(p.rowBytes) * static_cast<uint64_t>(p.height);
    if (pixels_at > body_size || pixel_bytes > body_size - pixels_at) return kError;
    p.pixelOffset = static_cast<size_t>(pixels_at);
    try {
        p.bits.assign(body, body + body_size);
    } catch (const std::bad_alloc&) {
        return kError;
    }
    *picture = std::move(p);
    return 0;
}
