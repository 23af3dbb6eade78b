// Any bytes load as a change log without a crash, a hang or a stray access, and the
// tree that loaded saves to a file that loads back to the same tree. The saved form
// is canonical, so equal trees are equal bytes: the second save must repeat the first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "log/zynlog.h"
#include "script/module.h"

namespace {

// Files live in memory when possible: every input is written and read back.
std::string ScratchPath(const char* suffix) {
    static const std::string base = [] {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return dir + "/zynlog-fuzz-" + std::to_string(getpid());
    }();
    return base + suffix;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Reset() {
    ZYNLOG_SetFileName(nullptr);
    ZYNLOG_Terminate();
    MODULE_Unregister(ZYNLOG_Terminate);
}

void RemoveScratch() {
    std::remove(ScratchPath(".in").c_str());
    std::remove(ScratchPath(".out").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Indentation grows with depth, so a saved file can be quadratic in the input:
    // bounded inputs keep every run fast.
    if (size > 8192) return 0;
    const std::string in = ScratchPath(".in"), out = ScratchPath(".out");
    {
        std::ofstream file(in, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    Reset();
    int loaded = ZYNLOG_Init(in.c_str(), 30);
    // A damaged file stops at a null key or an overlong key name; nothing else can fail.
    if (loaded != 0 && loaded != ERROR_ZYNLOG_KEY_NOT_OPEN && loaded != ERROR_ZYNLOG_BUFFER_TOO_SMALL) std::abort();
    if (ReadAll(in) != std::string(reinterpret_cast<const char*>(data), size)) std::abort();

    ZYNLOG_SetFileName(out.c_str());
    if (ZYNLOG_Save() != 0) std::abort();
    std::string first = ReadAll(out);

    Reset();
    if (ZYNLOG_Init(out.c_str(), 30) != 0) std::abort();
    if (ZYNLOG_Save() != 0) std::abort();
    if (ReadAll(out) != first) std::abort();
    Reset();
    // Gone after each input: the fuzzer ends a timed run without the exit handlers.
    RemoveScratch();
    return 0;
}
