// Reads arbitrary bytes as a picture resource. Whatever is accepted must hold every
// colour entry and every row of pixels inside the loaded copy: the drawing calls
// read all of them, so the address sanitizer catches a bound that is too generous.
#include <cstddef>
#include <cstdint>

#include "ui/bmpdisp_text.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BMPDISP_PICTURE p;
    if (BMPDISP_ReadFile(data, size, &p) != 0) return 0;
    Require(p.width > 0 && p.height > 0 && p.rowBytes >= static_cast<size_t>(p.width) * p.bitCount / 8);
    unsigned sum = 0;
    for (uint32_t i = 0; i < p.colorCount; ++i) sum += p.Color(i).red;
    const uint8_t* pixels = p.Pixels();
    for (int row = 0; row < p.height; ++row) sum += pixels[static_cast<size_t>(row) * p.rowBytes + p.rowBytes - 1];
    return sum == 0xFFFFFFFF ? 1 : 0;
}
