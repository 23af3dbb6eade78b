#include "sys/cpu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

uint32_t Chars(const char* four) {
    uint32_t v;
    std::memcpy(&v, four, 4);
    return v;
}

TEST(CpuIdentity, SignatureVendorAndCacheDescriptors) {
    // Extended model and family bits are not looked at.
    struct Sig { uint32_t signature, type, family, model, stepping; } sigs[] = {
        {0x00000633, 0, 6, 3, 3}, {0x00001633, 1, 6, 3, 3}, {0x00000543, 0, 5, 4, 3},
        {0x000306A9, 0, 6, 10, 9}, {0x00A00F11, 0, 15, 1, 1}, {0xFFFFFFFF, 3, 15, 15, 15}};
    for (const Sig& c : sigs) {
        CPU_INFO i;
        CPU_DecodeSignature(c.signature, &i);
        EXPECT_EQ(std::vector<uint32_t>({i.type, i.family, i.model, i.stepping}),
                  std::vector<uint32_t>({c.type, c.family, c.model, c.stepping})) << std::hex << c.signature;
    }
    // Registers in the order ebx, edx, ecx; case matters.
    struct Vendor { const char *ebx, *edx, *ecx; int intel; } vendors[] = {
        {"Genu", "ineI", "ntel", 1}, {"Auth", "enti", "cAMD", 0}, {"genu", "ineI", "ntel", 0}, {"Genu", "ntel", "ineI", 0}};
    for (const Vendor& c : vendors)
        EXPECT_EQ(CPU_IsIntelVendor(Chars(c.ebx), Chars(c.edx), Chars(c.ecx)), c.intel) << c.ebx << c.edx << c.ecx;
    // Only the first fifteen descriptor bytes count.
    struct Cache { uint32_t regs[4]; uint32_t kb; } caches[] = {
        {{0x03020101, 0, 0, 0x0C040843}, 512}, {{0x00000001, 0x00004400, 0x45000000, 0}, 1024 + 2048},
        {{0x00000001, 0, 0, 0x45000000}, 0}, {{0x40464001, 0x3F3F3F3F, 0, 0}, 0}};
    for (const Cache& c : caches) EXPECT_EQ(CPU_CacheFromDescriptors(c.regs), c.kb) << std::hex << c.regs[0];
}

TEST(CpuClass, FamilyTypeModelAndCacheGiveClassAndSubtype) {
    struct Case { uint32_t family, type, model, cache; long cpu, subtype; } cases[] = {
        {0, 0, 0, 0, 1, 0}, {3, 0, 0, 0, 4, 0}, {4, 0, 8, 0, 5, 0}, {5, 0, 4, 512, 6, 0}, {7, 0, 0, 0, 9, 0}, {8, 0, 0, 0, 0, 0},
        // family 6: the type wins over the model, then model 1 and 3 are fixed
        {6, 1, 3, 512, 7, 2}, {6, 0, 1, 256, 7, 1}, {6, 0, 3, 512, 8, 3},
        // models 5 and 6: no cache, up to 256 KB, more
        {6, 0, 5, 0, 8, 5}, {6, 0, 5, 1, 8, 6}, {6, 0, 6, 256, 8, 6}, {6, 0, 6, 257, 8, 4}, {6, 0, 5, 2048, 8, 4},
        // other models: no cache, below 512 KB, 512 KB and more
        {6, 0, 7, 0, 8, 5}, {6, 0, 8, 256, 8, 6}, {6, 0, 8, 511, 8, 6}, {6, 0, 8, 512, 8, 0}, {6, 2, 15, 0, 8, 5}};
    for (const Case& c : cases) {
        CPU_INFO info;
        info.family = c.family, info.type = c.type, info.model = c.model, info.cache_kb = c.cache;
        CPU_CLASS cls = CPU_Classify(info);
        EXPECT_EQ(std::make_pair(cls.cpu, cls.subtype), std::make_pair(c.cpu, c.subtype))
            << c.family << "/" << c.type << "/" << c.model << "/" << c.cache;
    }
}

TEST(CpuClock, TicksAndTotalsRounding) {
    // 1193182 Hz: the old timer chip; a counter below 10 Hz cannot be used.
    struct Ticks { int64_t ticks, frequency, us; } ticks[] = {
        {1000, 1193182, 838}, {1050, 1193182, 880}, {1000, 3579545, 279}, {1000, 10000000, 100},
        {1, 2000000, 1}, {1, 2000020, 0}, {1000, 9, 0}, {0, 10000000, 0}, {4000000000LL, 10000000, 400000000}};
    for (const Ticks& c : ticks) EXPECT_EQ(CPU_TicksToMicroseconds(c.ticks, c.frequency), c.us) << c.ticks << "@" << c.frequency;
    // Tenths round up only above 5; hundredths above 5 lift tenths of 5.
    struct Totals { uint64_t cycles, us; long mhz; } totals[] = {
        {200000, 1000, 200}, {200500, 1000, 200}, {200600, 1000, 201}, {200560, 1000, 201}, {200550, 1000, 200},
        {199990, 1000, 200}, {266666, 1000, 267}, {999, 1000, 1}, {0, 1000, 0}, {5000, 0, 0}};
    for (const Totals& c : totals) EXPECT_EQ(CPU_MHzFromTotals(c.cycles, c.us), c.mhz) << c.cycles << "/" << c.us;
}

}  // namespace
