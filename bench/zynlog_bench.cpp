// The change log under the load of a large install and its uninstall: COUNT file
// records under one key with an autosave every INTERVAL changes, then deleted again
// from the last to the first. Measured against the floor in the same run: writing
// each autosave's bytes to a file of its own with one write call.
//   zynlog_bench [DIRECTORY [COUNT [INTERVAL]]]
// The last line is "ratio R": the store's time over the floor's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/zynlog.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const char* what, int code) {
    std::fprintf(stderr, "zynlog_bench: %s failed (%d)\n", what, code);
    std::exit(1);
}

// Reads a saved copy back into one buffer kept for the whole run: a fresh allocation
// per save would make the floor's write pay for new memory the store never touches.
const std::string& ReadBack(const std::string& path) {
    static std::string bytes;
    SYS_HANDLE file = SYS_INVALID_HANDLE;
    uint32_t size = 0;
    if (int result = SYS_FileOpen(path.c_str(), SYS_OPEN_READ, SYS_SHARE_READ | SYS_SHARE_WRITE, &file); result != 0)
        Fail("read back", result);
    if (int result = SYS_FileLength(file, &size); result != 0) Fail("read back", result);
    bytes.resize(size);
    if (int result = SYS_FileRead(file, bytes.data(), size, nullptr); result != 0) Fail("read back", result);
    SYS_FileClose(file);
    return bytes;
}

struct Totals {
    Clock::duration store{};
    Clock::duration floor{};
    long long saves = 0;
    long long bytes = 0;
};

// What an autosave has to do at the least: create the file anew and write its bytes at once.
void WriteFloor(const std::string& path, const std::string& bytes, Totals& totals) {
    Clock::time_point start = Clock::now();
    SYS_HANDLE file = SYS_INVALID_HANDLE;
    if (int result = SYS_FileOpen(path.c_str(), SYS_OPEN_WRITE | SYS_OPEN_CREATE, SYS_SHARE_READ | SYS_SHARE_WRITE,
                                  &file);
        result != 0)
        Fail("floor open", result);
    if (int result = SYS_FileWrite(file, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr); result != 0)
        Fail("floor write", result);
    SYS_FileClose(file);
    totals.floor += Clock::now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    std::error_code error;
    fs::path directory = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path(error);
    int count = argc > 2 ? std::atoi(argv[2]) : 20000;
    int interval = argc > 3 ? std::atoi(argv[3]) : ZYNLOG_DEFAULT_AUTOSAVE;
    std::string log = (directory / "ZYNBENCH.LOG").string();
    std::string floor = (directory / "ZYNFLOOR.LOG").string();
    std::string capture = (directory / "ZYNCOPY.LOG").string();
    fs::remove(log, error);

    Totals totals;
    long long changes = 0;
    Clock::time_point start = Clock::now();
    // After each counted change: when it was the one that saved, the clock stops while
    // the saved bytes are read back and written once more as the floor.
    auto changed = [&] {
        if (++changes % interval != 0) return;
        totals.store += Clock::now() - start;
        // The saved bytes come from a copy saved aside: reading the log itself would
        // make its pages recently used and its next truncation dearer than the floor's.
        ZYNLOG_SetFileName(capture.c_str());
        if (int result = ZYNLOG_Save(); result != 0) Fail("capture", result);
        ZYNLOG_SetFileName(log.c_str());
        const std::string& bytes = ReadBack(capture);
        ++totals.saves;
        totals.bytes += static_cast<long long>(bytes.size());
        WriteFloor(floor, bytes, totals);
        start = Clock::now();
    };

    if (int result = ZYNLOG_Init(log.c_str(), interval); result != 0) Fail("init", result);
    ZYNLOG_KEY demo = nullptr, files = nullptr;
    if (int result = ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo); result != 0) Fail("create", result);
    changed();
    if (int result = ZYNLOG_CreateKey(demo, "Files", &files); result != 0) Fail("create", result);
    changed();

    char name[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "C:\\Program Files\\Zyn Demo\\Data\\File%05d.dat", i);
        if (int result = ZYNLOG_SetValue(files, name, "0"); result != 0) Fail("set", result);
        changed();
    }
    // As the uninstall walks the records: from the last value to the first.
    int values = 0, name_length = 0, data_length = 0;
    if (int result = ZYNLOG_QueryKeyInfo(files, nullptr, nullptr, &values, &name_length, &data_length); result != 0)
        Fail("query", result);
    std::string data(static_cast<size_t>(data_length) + 1, '\0');
    for (int i = values - 1; i >= 0; --i) {
        if (int result = ZYNLOG_EnumValue(files, i, name, sizeof name, data.data(), static_cast<int>(data.size()));
            result != 0)
            Fail("enumerate", result);
        if (int result = ZYNLOG_DeleteValue(files, name); result != 0) Fail("delete", result);
        changed();
    }
    totals.store += Clock::now() - start;
    if (int result = ZYNLOG_Terminate(); result != 0) Fail("terminate", result);
    fs::remove(log, error);
    fs::remove(floor, error);
    fs::remove(capture, error);

    using Ms = std::chrono::duration<double, std::milli>;
    double store = Ms(totals.store).count(), floor_ms = Ms(totals.floor).count();
    std::printf("records %d, changes %lld, autosaves %lld, bytes saved %lld (%.1f MB)\n", count, changes,
                totals.saves, totals.bytes, static_cast<double>(totals.bytes) / 1e6);
    std::printf("store %.1f ms, floor %.1f ms\n", store, floor_ms);
    std::printf("ratio %.2f\n", floor_ms > 0 ? store / floor_ms : 0.0);
    return 0;
}
