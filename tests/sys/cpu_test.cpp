#include "sys/cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

uint32_t Chars(const char* four) {
    uint32_t v;
    std::memcpy(&v, four, 4);
    return v;
}

TEST(CpuSignature, SplitsTypeFamilyModelAndStepping) {
    struct Case {
        uint32_t signature;
        uint32_t type, family, model, stepping;
    } cases[] = {
        {0x00000633, 0, 6, 3, 3},  // family 6, model 3
        {0x00001633, 1, 6, 3, 3},  // overdrive type
        {0x00000543, 0, 5, 4, 3},
        {0x000306A9, 0, 6, 10, 9},  // extended model bits above 15 are not looked at
        {0x00A00F11, 0, 15, 1, 1},  // extended family is not looked at either
        {0xFFFFFFFF, 3, 15, 15, 15},
    };
    for (const Case& c : cases) {
        CPU_INFO info;
        CPU_DecodeSignature(c.signature, &info);
        EXPECT_EQ(info.type, c.type) << std::hex << c.signature;
        EXPECT_EQ(info.family, c.family) << std::hex << c.signature;
        EXPECT_EQ(info.model, c.model) << std::hex << c.signature;
        EXPECT_EQ(info.stepping, c.stepping) << std::hex << c.signature;
    }
}

TEST(CpuVendor, OnlyTheExactIntelStringCounts) {
    struct Case {
        const char* ebx;
        const char* edx;
        const char* ecx;
        int intel;
    } cases[] = {
        {"Genu", "ineI", "ntel", 1},
        {"Auth", "enti", "cAMD", 0},
        {"genu", "ineI", "ntel", 0},  // case matters
        {"Genu", "ntel", "ineI", 0},  // register order is ebx, edx, ecx
        {"Cyri", "xIns", "tead", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPU_IsIntelVendor(Chars(c.ebx), Chars(c.edx), Chars(c.ecx)), c.intel)
            << c.ebx << c.edx << c.ecx;
    }
}

TEST(CpuCache, DescriptorBytesAddUpInTheFirstFifteenBytes) {
    struct Case {
        uint32_t regs[4];
        uint32_t kb;
    } cases[] = {
        {{0x03020101, 0, 0, 0x0C040843}, 512},          // a typical family-6 answer with 512 KB
        {{0x43424101, 0, 0, 0}, 128 + 256 + 512},       // several in one register
        {{0x00000001, 0x00004400, 0x45000000, 0}, 1024 + 2048},
        {{0x00000001, 0, 0, 0x00444444}, 3 * 1024},
        {{0x00000001, 0, 0, 0x45000000}, 0},            // the sixteenth byte is not looked at
        {{0x40464001, 0x3F3F3F3F, 0, 0}, 0},            // neighbours of the known codes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPU_CacheFromDescriptors(c.regs), c.kb) << std::hex << c.regs[0];
    }
}

TEST(CpuClass, FamilyTypeModelAndCacheGiveClassAndSubtype) {
    struct Case {
        uint32_t family, type, model, cache;
        long cpu, subtype;
    } cases[] = {
        {0, 0, 0, 0, 1, 0},   {1, 0, 0, 0, 2, 0},     {2, 0, 0, 0, 3, 0},    {3, 0, 0, 0, 4, 0},
        {4, 0, 8, 0, 5, 0},   {5, 0, 4, 512, 6, 0},   {7, 0, 0, 0, 9, 0},    {8, 0, 0, 0, 0, 0},
        {15, 0, 1, 512, 0, 0},
        // family 6: the type wins over the model, then model 1 and 3 are fixed
        {6, 1, 3, 512, 7, 2}, {6, 0, 1, 256, 7, 1},   {6, 0, 3, 512, 8, 3},
        // models 5 and 6: no cache, up to 256 KB, more
        {6, 0, 5, 0, 8, 5},   {6, 0, 5, 1, 8, 6},     {6, 0, 6, 256, 8, 6},  {6, 0, 6, 257, 8, 4},
        {6, 0, 5, 2048, 8, 4},
        // other models: no cache, below 512 KB, 512 KB and more
        {6, 0, 7, 0, 8, 5},   {6, 0, 8, 256, 8, 6},   {6, 0, 8, 511, 8, 6},  {6, 0, 8, 512, 8, 0},
        {6, 0, 0, 1024, 8, 0}, {6, 2, 15, 0, 8, 5},
    };
    for (const Case& c : cases) {
        CPU_INFO info;
        info.family = c.family;
        info.type = c.type;
        info.model = c.model;
        info.cache_kb = c.cache;
        CPU_CLASS cls = CPU_Classify(info);
        EXPECT_EQ(cls.cpu, c.cpu) << "family " << c.family << " type " << c.type << " model " << c.model
                                  << " cache " << c.cache;
        EXPECT_EQ(cls.subtype, c.subtype) << "family " << c.family << " type " << c.type << " model "
                                          << c.model << " cache " << c.cache;
    }
}

TEST(CpuClock, TicksBecomeMicrosecondsRoundedToTheNearest) {
    struct Case {
        int64_t ticks, frequency, us;
    } cases[] = {
        {1000, 1193182, 838},      // 838.1 µs with the old timer chip's counter
        {1050, 1193182, 880},      // 879.99
        {1000, 3579545, 279},      // 279.4
        {1000, 10000000, 100},
        {1, 2000000, 1},           // 0.5 rounds up
        {1, 2000020, 0},           // just under 0.5
        {1000, 9, 0},              // a counter this slow cannot be used
        {0, 10000000, 0},
        {4000000000LL, 10000000, 400000000},  // no overflow for long waits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPU_TicksToMicroseconds(c.ticks, c.frequency), c.us) << c.ticks << " @ " << c.frequency;
    }
}

TEST(CpuClock, TotalsRoundUpOnlyPastTheMiddleOfTheTenths) {
    struct Case {
        uint64_t cycles, us;
        long mhz;
    } cases[] = {
        {200000, 1000, 200},
        {200500, 1000, 200},  // 200.50: tenths 5 is not above 5
        {200600, 1000, 201},  // 200.60
        {200560, 1000, 201},  // 200.56: hundredths 6 lifts tenths 5 to 6
        {200550, 1000, 200},  // 200.55: hundredths 5 does not
        {199990, 1000, 200},  // 199.99: tenths 9 rounds up
        {266666, 1000, 267},
        {999, 1000, 1},       // 0.999
        {0, 1000, 0},
        {5000, 0, 0},         // nothing measured
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPU_MHzFromTotals(c.cycles, c.us), c.mhz) << c.cycles << " / " << c.us;
    }
}

// Feeds scripted rounds to the measurement and counts how many it asked for.
struct ScriptedRounds {
    std::vector<CPU_ROUND> rounds;
    size_t used = 0;
    CPU_ROUND operator()() { return rounds[std::min(used++, rounds.size() - 1)]; }
};

TEST(CpuClock, RoundsStopWhenThreeAgreeWithinOneMegahertz) {
    constexpr int64_t kFrequency = 10000000;  // 1000 ticks = 100 µs
    struct Case {
        const char* what;
        std::vector<CPU_ROUND> rounds;
        size_t used;
        long mhz;
    } cases[] = {
        {"steady", {{30000, 1000}, {30000, 1000}, {30000, 1000}, {99, 1000}}, 3, 300},
        {"first round disturbed", {{10000, 1000}, {30000, 1000}, {30100, 1000}, {29900, 1000}}, 4, 250},
        {"one above and one below the middle still agree", {{30000, 1000}, {30100, 1000}, {30200, 1000}}, 3, 301},
        {"a spread of three is too much", {{30000, 1000}, {30200, 1000}, {30300, 1000}, {30200, 1000}}, 4, 302},
        {"never settles",
         {{10000, 1000}, {20000, 1000}, {30000, 1000}, {40000, 1000}, {10000, 1000}, {20000, 1000}, {30000, 1000},
          {40000, 1000}, {10000, 1000}, {20000, 1000}, {30000, 1000}, {40000, 1000}, {10000, 1000}, {20000, 1000},
          {30000, 1000}, {40000, 1000}, {10000, 1000}, {20000, 1000}, {30000, 1000}, {40000, 1000}, {1, 1000}},
         20, 250},
        {"rounds of different length are weighted by time", {{20000, 1000}, {40000, 2000}, {60000, 3000}}, 3, 200},
    };
    for (const Case& c : cases) {
        ScriptedRounds script{c.rounds};
        long mhz = CPU_MHzFromRounds(kFrequency, std::ref(script));
        EXPECT_EQ(script.used, c.used) << c.what;
        EXPECT_EQ(mhz, c.mhz) << c.what;
    }
}

TEST(CpuClock, ScanLoopUsesTheCyclesOfTheFamily) {
    struct Case {
        uint32_t family;
        int64_t us;
        long mhz;
    } cases[] = {
        {3, 13939, 33},  // 115 * 4000 / 13939 = 33.0
        {4, 2822, 67},   // 47 * 4000 / 2822 = 66.6
        {5, 1720, 100},
        {6, 760, 200},
        {7, 760, 200},
        {8, 760, 0},     // no figure for later families
        {2, 760, 0},
        {5, 0, 0},       // too fast to time
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPU_MHzFromScanLoop(c.family, c.us), c.mhz) << "family " << c.family << " " << c.us << " µs";
    }
}

}  // namespace
