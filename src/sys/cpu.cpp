#include "sys/cpu.h"

#include <windows.h>

#include <cpuid.h>
#include <x86intrin.h>

#include <algorithm>
#include <limits>

namespace {

constexpr int64_t kWarmUpTicks = 50;
constexpr int64_t kRoundTicks = 1000;
constexpr int kScanLoopRuns = 10;

#if defined(__i386__)
// Writes value to the flags register and reads back what the processor kept,
// leaving the flags as they were.
uint32_t FlagsAfterWriting(uint32_t value) {
    uint32_t result;
    asm volatile(
        "pushfl\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "popfl"
        : "=r"(result)
        : "r"(value)
        : "cc");
    return result;
}

uint32_t ReadFlags() {
    uint32_t result;
    asm volatile("pushfl\n\tpopl %0" : "=r"(result));
    return result;
}

bool FlagToggles(uint32_t mask) {
    uint32_t original = ReadFlags();
    return ((FlagsAfterWriting(original ^ mask) ^ original) & mask) != 0;
}

// Some processors of other makers leave the arithmetic flags alone on a division.
bool DivisionKeepsFlags() {
    uint32_t after;
    asm volatile(
        "movl $0x5555, %%eax\n\t"
        "xorl %%edx, %%edx\n\t"
        "movl $2, %%ecx\n\t"
        "pushfl\n\t"
        "pushl $2\n\t"
        "popfl\n\t"
        "divl %%ecx\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "popfl"
        : "=r"(after)
        :
        : "eax", "ecx", "edx", "cc");
    return (after & 0x8D5u) == 0;
}

// The processors before CPUID told apart by which flag bits they let a program change.
void IdentifyByFlags(CPU_INFO* info) {
    constexpr uint32_t kHighNibble = 0xF000u;
    constexpr uint32_t kAlignmentCheck = 1u << 18;
    uint32_t original = ReadFlags();
    if ((FlagsAfterWriting(original & ~kHighNibble) & kHighNibble) == kHighNibble) {
        info->family = 0;
    } else if ((FlagsAfterWriting(original | kHighNibble) & kHighNibble) == 0) {
        info->family = 2;
    } else if (!FlagToggles(kAlignmentCheck)) {
        info->family = 3;
    } else {
        info->family = 4;
    }
    info->intel = DivisionKeepsFlags() ? 0 : 1;
}

bool HasCpuid() {
    constexpr uint32_t kIdFlag = 1u << 21;
    return FlagToggles(kIdFlag);
}
#else
// Every 64-bit processor has CPUID.
bool HasCpuid() { return true; }
void IdentifyByFlags(CPU_INFO*) {}
#endif

struct Registers {
    uint32_t a = 0, b = 0, c = 0, d = 0;
};

Registers Cpuid(uint32_t leaf) {
    Registers r;
    __cpuid(leaf, r.a, r.b, r.c, r.d);
    return r;
}

int64_t Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t WaitTicks(int64_t from, int64_t ticks) {
    int64_t now;
    do {
        now = Counter();
    } while (now - from < ticks);
    return now;
}

// Raises the running thread to time-critical priority for one measurement, then puts it back.
class PriorityBoost {
public:
    PriorityBoost() : thread_(GetCurrentThread()), previous_(GetThreadPriority(thread_)) {
        if (previous_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
    }
    ~PriorityBoost() {
        if (previous_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread_, previous_);
    }
    PriorityBoost(const PriorityBoost&) = delete;
    PriorityBoost& operator=(const PriorityBoost&) = delete;

private:
    HANDLE thread_;
    int previous_;
};

CPU_ROUND MeasureRound() {
    PriorityBoost boost;
    int64_t start = WaitTicks(Counter(), kWarmUpTicks);
    uint64_t first = __rdtsc();
    int64_t end = WaitTicks(start, kRoundTicks);
    uint64_t second = __rdtsc();
    return {second - first, end - start};
}

int64_t TimeScanLoop() {
    int64_t start = Counter();
    uint32_t count = CPU_BSF_LOOP_LENGTH;
    uint32_t value = 0x80000000u;
    uint32_t index;
    asm volatile(
        "1:\n\t"
        "bsfl %2, %1\n\t"
        "decl %0\n\t"
        "jnz 1b"
        : "+r"(count), "=&r"(index)
        : "r"(value)
        : "cc");
    return Counter() - start;
}

}  // namespace

void CPU_Identify(CPU_INFO* info) {
    *info = CPU_INFO{};
    if (!HasCpuid()) {
        IdentifyByFlags(info);
        return;
    }
    info->has_cpuid = 1;
    Registers leaf0 = Cpuid(0);
    info->intel = CPU_IsIntelVendor(leaf0.b, leaf0.d, leaf0.c);
    if (leaf0.a >= 1) {
        Registers leaf1 = Cpuid(1);
        CPU_DecodeSignature(leaf1.a, info);
        CPU_DecodeFeatures(leaf1.d, info);
    }
    if (leaf0.a >= 2) {
        Registers leaf2 = Cpuid(2);
        uint32_t reads = leaf2.a & 0xFF;
        for (uint32_t i = 0;;) {
            const uint32_t regs[4] = {leaf2.a, leaf2.b, leaf2.c, leaf2.d};
            info->cache_kb += CPU_CacheFromDescriptors(regs);
            if (++i >= reads) break;
            leaf2 = Cpuid(2);
        }
    }
}

long CPU_MeasureTimeStampMHz() {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) return 0;
    return CPU_MHzFromRounds(frequency.QuadPart, MeasureRound);
}

long CPU_MeasureMHz(const CPU_INFO& info) {
    if (!info.intel || info.family < 3) return 0;
    if (info.has_tsc) return CPU_MeasureTimeStampMHz();

    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) return 0;
    int64_t shortest = std::numeric_limits<int64_t>::max();
    for (int i = 0; i < kScanLoopRuns; ++i) shortest = std::min(shortest, TimeScanLoop());
    return CPU_MHzFromScanLoop(info.family, CPU_TicksToMicroseconds(shortest, frequency.QuadPart));
}
