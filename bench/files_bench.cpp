// The Files section against a plain copy: the same payload installed through the
// whole Files path (disk-space check, status window, copy engine, change log records
// saved to a real log) and copied by a loop of CopyFileA calls, alternately, several
// times; each side's best time counts. Two payloads: 2,000 files of 16 KiB in 20
// folders, and 20 files of 10 MiB.
//   files_bench DIRECTORY [ROUNDS [quiet]]
// The last line is "ratio R": the larger of the two ratios install time / plain time.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sys/zyndisk.h"
#include "ui/language.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Payload {
    const char* name;
    int folders;
    int files_per_folder;
    size_t file_size;
};

[[noreturn]] void Fail(const char* what, int code) {
    std::fprintf(stderr, "files_bench: %s failed (%d)\n", what, code);
    std::exit(1);
}

void MakePayload(const fs::path& root, const Payload& p) {
    if (fs::exists(root / "done")) return;
    std::string bytes(p.file_size, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
    for (int f = 0; f < p.folders; ++f) {
        fs::path folder = root / ("folder" + std::to_string(f));
        fs::create_directories(folder);
        for (int n = 0; n < p.files_per_folder; ++n) {
            std::string name = (folder / ("file" + std::to_string(n) + ".dat")).string();
            HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    std::FILE* done = std::fopen((root / "done").string().c_str(), "w");
    if (done != nullptr) std::fclose(done);
}

// The plain copy: every file of the tree with CopyFileA, folders made on the way.
void PlainCopy(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == ".." || name == "done") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(name);
        } else if (!CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE)) {
            Fail("CopyFileA", static_cast<int>(GetLastError()));
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    for (const std::string& folder : folders) PlainCopy(from + "\\" + folder, to + "\\" + folder);
}

// Time of the install's parts, summed over the rounds, for the breakdown line.
double g_checkTime = 0, g_passTime = 0, g_saveTime = 0;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The install's share of the work for one payload: the space check over the section,
// the Files pass with its status window, and the final save of the change log.
void Install(const std::string& source, const std::string& target) {
    VAR_Init(VAR_DEFAULT_MAX_NUM);
    VAR_Set("SourceDirectory", source.c_str());
    VAR_Set("DestinationDirectory", target.c_str());
    VAR_Set("ApplicationName", "Bench Demo");
    VAR_Set("InstallName", "Bench Demo Setup");
    VAR_Set("ExtraSpace", "0");
    const char script[] = "[Files]\r\nPayload, *.dat,, ,, 1, N, N, 0, 1, Y, Y, Y\r\n";
    if (int r = INF_LoadText(script, sizeof script - 1); r != 0) Fail("script", r);
    CreateDirectoryA(target.c_str(), nullptr);
    if (int r = ZYNLOG_Init((target + "\\bench.log").c_str(), ZYNLOG_DEFAULT_AUTOSAVE); r != 0) Fail("log", r);
    int demo = -1;
    if (int r = LOGCOMN_NewDemo("Bench Demo", &demo); r != 0) Fail("demo", r);
    PLIST_Init();
    PLIST_InsertAfter(-1, "Files", LOGFILE_Install, LOGFILE_Install);
    auto start = Clock::now();
    if (int r = LOGFILE_CheckDiskSpace(); r != 0) Fail("space check", r);
    g_checkTime += Seconds(start);
    start = Clock::now();
    if (int r = LOGFILE_Install(demo, "Files", PLIST_INSTALL); r != 0) Fail("install", r);
    g_passTime += Seconds(start);
    start = Clock::now();
    if (int r = ZYNLOG_Terminate(); r != 0) Fail("log save", r);
    g_saveTime += Seconds(start);
    PLIST_Terminate();
    INF_Terminate();
    VAR_Terminate();
}

// The copy engine alone, without hooks, section or log: what the engine itself costs.
void EngineCopy(const std::string& source, const std::string& target) {
    ZYNDISK_SetCreatedHook(nullptr);
    ZYNDISK_SetCopyStartHook(nullptr);
    ZYNDISK_SetProgressHook(nullptr);
    ZYNDISK_SetOverwriteHook(nullptr);
    if (int r = ZYNDISK_Copy((source + "\\*.dat").c_str(), LOGFILE_SEARCH_MASK, (target + "\\").c_str(), 0x80,
                             ZYNDISK_RECURSE, 0);
        r != 0)
        Fail("engine copy", r);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::current_path();
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    COMMON_RegisterErrorHooks();

    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string english = std::string(module, length);
    english = english.substr(0, english.find_last_of('\\') + 1) + "english.dll";
    // "quiet" as third argument leaves the status window out, to show its share.
    bool quiet = argc > 3 && std::string(argv[3]) == "quiet";
    HMODULE library = quiet ? nullptr : LoadLibraryA(english.c_str());
    LANGUAGE_SetInstance(library);
    if (library == nullptr) std::printf("(no english.dll: the status window is not shown)\n");

    const Payload payloads[] = {{"small", 20, 100, 16 * 1024}, {"large", 1, 20, 10 * 1024 * 1024}};
    double worst = 0;
    for (const Payload& p : payloads) {
        fs::path source = dir / (std::string("payload-") + p.name);
        MakePayload(source, p);
        double best_install = 1e9, best_plain = 1e9, best_engine = 1e9;
        g_checkTime = g_passTime = g_saveTime = 0;
        for (int round = 0; round < rounds; ++round) {
            fs::path plain_out = dir / "out-plain", install_out = dir / "out-install", engine_out = dir / "out-engine";
            fs::remove_all(plain_out);
            fs::remove_all(install_out);
            fs::remove_all(engine_out);
            auto start = Clock::now();
            PlainCopy(source.string(), plain_out.string());
            best_plain = std::min(best_plain, Seconds(start));
            start = Clock::now();
            Install(source.string(), install_out.string());
            best_install = std::min(best_install, Seconds(start));
            start = Clock::now();
            EngineCopy(source.string(), engine_out.string());
            best_engine = std::min(best_engine, Seconds(start));
        }
        fs::remove_all(dir / "out-plain");
        fs::remove_all(dir / "out-install");
        fs::remove_all(dir / "out-engine");
        double ratio = best_install / best_plain;
        worst = std::max(worst, ratio);
        std::printf("  %s install parts, mean: space check %.3f s, Files pass %.3f s, log save %.3f s\n", p.name,
                    g_checkTime / rounds, g_passTime / rounds, g_saveTime / rounds);
        std::printf("%s: %d files, install %.3f s (copy engine alone %.3f s), plain copy %.3f s, ratio %.2f\n",
                    p.name, p.folders * p.files_per_folder, best_install, best_engine, best_plain, ratio);
    }
    LANGUAGE_SetInstance(nullptr);
    if (library != nullptr) FreeLibrary(library);
    std::printf("ratio %.2f\n", worst);
    return 0;
}
