#include "sys/cpu.h"

#include <array>
#include <cstring>

namespace {

// Leaf-2 descriptor bytes that name a second-level cache, with its size.
struct CacheDescriptor {
    uint8_t code;
    uint32_t kilobytes;
};
constexpr std::array<CacheDescriptor, 5> kCacheDescriptors{{
    {0x41, 128}, {0x42, 256}, {0x43, 512}, {0x44, 1024}, {0x45, 2048},
}};

// Cycles per bit-scan instruction by family; the loop time is only meaningful with these.
struct ScanCycles {
    uint32_t family;
    long cycles;
};
constexpr std::array<ScanCycles, 5> kScanCycles{{
    {3, 115}, {4, 47}, {5, 43}, {6, 38}, {7, 38},
}};

int64_t DivideRounded(int64_t numerator, int64_t denominator) {
    return (numerator + denominator / 2) / denominator;
}

bool ThreeAgree(long a, long b, long c) {
    long sum = a + b + c;
    auto near = [sum](long f) { long d = 3 * f - sum; return d >= -3 && d <= 3; };
    return near(a) && near(b) && near(c);
}

}  // namespace

void CPU_DecodeSignature(uint32_t signature, CPU_INFO* info) {
    info->type = (signature >> 12) & 0x3;
    info->family = (signature >> 8) & 0xF;
    info->model = (signature >> 4) & 0xF;
    info->stepping = signature & 0xF;
}

void CPU_DecodeFeatures(uint32_t features, CPU_INFO* info) {
    info->has_tsc = (features >> 4) & 1;
    info->has_mmx = (features >> 23) & 1;
}

int CPU_IsIntelVendor(uint32_t ebx, uint32_t edx, uint32_t ecx) {
    char vendor[12];
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    return std::memcmp(vendor, CPU_INTEL_VENDOR, 12) == 0 ? 1 : 0;
}

uint32_t CPU_CacheFromDescriptors(const uint32_t regs[4]) {
    uint8_t bytes[16];
    for (int r = 0; r < 4; ++r) {
        for (int b = 0; b < 4; ++b) bytes[r * 4 + b] = static_cast<uint8_t>(regs[r] >> (8 * b));
    }
    uint32_t total = 0;
    // The last byte (the top of edx) is not looked at: the descriptors read are the first 15.
    for (int i = 0; i < 15; ++i) {
        for (const auto& d : kCacheDescriptors) {
            if (bytes[i] == d.code) total += d.kilobytes;
        }
    }
    return total;
}

CPU_CLASS CPU_Classify(const CPU_INFO& info) {
    if (info.family <= 5) return {static_cast<long>(info.family) + 1, 0};
    if (info.family == 7) return {9, 0};
    if (info.family != 6) return {0, 0};

    // Family 6: the model and the size of the second-level cache tell the kinds apart.
    if (info.type == 1) return {7, 2};
    if (info.model == 1) return {7, 1};
    if (info.model == 3) return {8, 3};
    uint32_t cache = info.cache_kb;
    if (info.model == 5 || info.model == 6) {
        if (cache == 0) return {8, 5};
        if (cache <= 256) return {8, 6};
        return {8, 4};
    }
    if (cache == 0) return {8, 5};
    if (cache < 512) return {8, 6};
    return {8, 0};
}

int64_t CPU_TicksToMicroseconds(int64_t ticks, int64_t frequency) {
    // Dividing the frequency first keeps ticks * 100000 far from overflow.
    int64_t tenth = frequency / 10;
    if (tenth <= 0) return 0;
    return DivideRounded(ticks * 100000, tenth);
}

long CPU_MHzFromTotals(uint64_t cycles, uint64_t microseconds) {
    if (microseconds == 0) return 0;
    uint64_t whole = cycles / microseconds;
    uint64_t tenths = (cycles * 10 / microseconds) % 10;
    uint64_t hundredths = (cycles * 100 / microseconds) % 10;
    if (hundredths > 5) ++tenths;
    if (tenths > 5) ++whole;
    return static_cast<long>(whole);
}

long CPU_MHzFromRounds(int64_t frequency, const std::function<CPU_ROUND()>& next_round) {
    uint64_t total_cycles = 0;
    uint64_t total_us = 0;
    std::array<long, 3> last{};
    for (int round = 1; round <= CPU_MAX_ROUNDS; ++round) {
        CPU_ROUND r = next_round();
        int64_t us = CPU_TicksToMicroseconds(r.ticks, frequency);
        long f = us > 0 ? static_cast<long>(DivideRounded(static_cast<int64_t>(r.cycles), us)) : 0;
        total_cycles += r.cycles;
        total_us += static_cast<uint64_t>(us > 0 ? us : 0);
        last = {last[1], last[2], f};
        if (round >= 3 && ThreeAgree(last[0], last[1], last[2])) break;
    }
    return CPU_MHzFromTotals(total_cycles, total_us);
}

long CPU_MHzFromScanLoop(uint32_t family, int64_t microseconds) {
    if (microseconds <= 0) return 0;
    for (const auto& row : kScanCycles) {
        if (row.family == family) {
            return static_cast<long>(DivideRounded(row.cycles * CPU_BSF_LOOP_LENGTH, microseconds));
        }
    }
    return 0;
}
