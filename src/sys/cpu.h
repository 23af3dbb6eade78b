// Processor identification for the machine description: what the processor says
// about itself (CPUID, or the flag-register tests on processors without it) and
// its clock measured against the performance counter.
//
// The decisions (signature fields, cache descriptors, class table, rounding of the
// clock measurement) are portable and live in cpu_text.cpp; the probes that touch
// the processor or the Win32 counters are in cpu.cpp (Windows only).
#pragma once

#include <cstdint>
#include <functional>

struct CPU_INFO {
    int has_cpuid = 0;
    int intel = 0;          // 1 when the processor is taken for "GenuineIntel"
    uint32_t type = 0;      // signature bits 12-13
    uint32_t family = 0;    // signature bits 8-11, or the family found by the flag tests
    uint32_t model = 0;     // signature bits 4-7
    uint32_t stepping = 0;  // signature bits 0-3
    int has_tsc = 0;        // feature bit 4
    int has_mmx = 0;        // feature bit 23
    uint32_t cache_kb = 0;  // second-level cache from the leaf-2 descriptors
};

// Class and subtype codes as scripts see them (SystemCPU, SystemCPUSubType).
struct CPU_CLASS {
    long cpu = 0;
    long subtype = 0;
};

// One round of the clock measurement: time-stamp cycles over performance-counter ticks.
struct CPU_ROUND {
    uint64_t cycles = 0;
    int64_t ticks = 0;
};

inline constexpr char CPU_INTEL_VENDOR[] = "GenuineIntel";
inline constexpr int CPU_MAX_ROUNDS = 20;
inline constexpr int CPU_BSF_LOOP_LENGTH = 4000;

// --- portable decisions (cpu_text.cpp) ---

// Splits leaf 1's signature (eax) into type, family, model and stepping.
void CPU_DecodeSignature(uint32_t signature, CPU_INFO* info);
// Applies leaf 1's feature flags (edx): time-stamp counter and MMX.
void CPU_DecodeFeatures(uint32_t features, CPU_INFO* info);
// 1 when the 12 vendor characters (leaf 0: ebx, edx, ecx) spell "GenuineIntel".
int CPU_IsIntelVendor(uint32_t ebx, uint32_t edx, uint32_t ecx);
// Kilobytes of second-level cache named by one leaf-2 result (eax, ebx, ecx, edx).
uint32_t CPU_CacheFromDescriptors(const uint32_t regs[4]);
CPU_CLASS CPU_Classify(const CPU_INFO& info);

// Duration of ticks at frequency counts per second in whole microseconds, rounded
// to the nearest; 0 when the frequency is below 10.
int64_t CPU_TicksToMicroseconds(int64_t ticks, int64_t frequency);
// Runs measurement rounds (next_round supplies each) until the last three agree
// within one MHz or CPU_MAX_ROUNDS have run; returns the clock in whole MHz.
long CPU_MHzFromRounds(int64_t frequency, const std::function<CPU_ROUND()>& next_round);
// Whole MHz from the totals of all rounds, with the tenths rounding of the measurement.
long CPU_MHzFromTotals(uint64_t cycles, uint64_t microseconds);
// Clock from the shortest bit-scan loop time (processors without a time-stamp counter).
long CPU_MHzFromScanLoop(uint32_t family, int64_t microseconds);

// --- probes (cpu.cpp, Windows only) ---

void CPU_Identify(CPU_INFO* info);
// The clock in MHz as scripts see it: 0 for processors that are not Intel or older than
// the 80386, otherwise measured with the time-stamp counter or the bit-scan loop.
long CPU_MeasureMHz(const CPU_INFO& info);
// The time-stamp counter measurement alone (0 without a performance counter).
long CPU_MeasureTimeStampMHz();
