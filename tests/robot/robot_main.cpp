// robot.exe: plays a step script against a program, for the shell-driven tests.
//
//   robot run --exe PATH [--args TEXT] [--cwd DIR] --script FILE|- [options]
//   robot attach --pid N --script FILE|- [options]
//   robot attach --image NAME --script FILE|- [options]   the first process running
//                               NAME (a file name such as INST.EXE), waited for
//   robot list --pid N          show the visible dialogs of a process
//   robot parse --script FILE   check a script's syntax only
//
// options: --res MODULE (more than once: where templates are looked up; run
// adds the program itself), --timeout S (expect and gone, default 15),
// --exit-timeout S (default 60), --poll MS (between two looks, default 50;
// a benchmark wants a finer one), --shots DIR and --shot-cmd SCRIPT (default:
// the environment's ZYN_SHOT_DIR and ZYN_SHOT_CMD), --leave (do not end the
// program when the script fails or leaves it running).
//
// Exit codes: 0 the script passed, 1 it failed, 2 bad usage or script.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "robot.h"

#include <tlhelp32.h>

namespace {

struct Arguments {
    std::string mode;
    std::string exe, args, cwd, script, image;
    DWORD pid = 0;
    bool leave = false;
    zynrobot::RunOptions options;
};

int Usage(const std::string& why) {
    std::cerr << "robot: " << why << "\n"
              << "usage: robot run --exe PATH [--args TEXT] [--cwd DIR] --script FILE|- [options]\n"
              << "       robot attach --pid N|--image NAME --script FILE|- [options]\n"
              << "       robot list --pid N\n"
              << "       robot parse --script FILE|-\n"
              << "options: --res MODULE  --timeout S  --exit-timeout S  --poll MS  --shots DIR  --shot-cmd SCRIPT  --leave\n";
    return 2;
}

bool Seconds(const char* text, DWORD& ms) {
    char* end = nullptr;
    double s = std::strtod(text, &end);
    if (*end != '\0' || !(s > 0)) return false;
    ms = static_cast<DWORD>(s * 1000);
    return true;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ReadScript(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(zynrobot::ToWindowsPath(path), std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The id of the first process whose program file is named image, waiting for one to
// start: a program started by another (a bootstrap) has no id the caller could know.
DWORD FindImage(const std::string& image, DWORD timeoutMs) {
    const DWORD begin = GetTickCount();
    do {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot != INVALID_HANDLE_VALUE) {
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof entry;
            DWORD found = 0;
            for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
                if (_stricmp(entry.szExeFile, image.c_str()) == 0) found = entry.th32ProcessID;
            }
            CloseHandle(snapshot);
            if (found) return found;
        }
        Sleep(100);
    } while (GetTickCount() - begin < timeoutMs);
    return 0;
}

int Run(const Arguments& a) {
    std::string text;
    if (!ReadScript(a.script, text)) return Usage("cannot read " + a.script);
    std::vector<zynrobot::Step> steps;
    std::string error;
    if (!zynrobot::ParseScript(text, steps, error)) {
        std::cout << "robot: " << a.script << ": " << error << std::endl;
        return 2;
    }
    if (a.mode == "parse") {
        std::cout << "robot: " << steps.size() << " steps" << std::endl;
        return 0;
    }

    zynrobot::RunOptions options = a.options;
    std::optional<zynrobot::Process> process;
    if (a.mode == "run") {
        const std::string exe = zynrobot::ToWindowsPath(a.exe);
        options.resourceModules.insert(options.resourceModules.begin(), exe);
        process = zynrobot::Process::Start(exe, a.args, zynrobot::ToWindowsPath(a.cwd), error);
    } else {
        const DWORD pid = a.image.empty() ? a.pid : FindImage(a.image, options.timeoutMs);
        if (pid == 0) {
            std::cout << "robot: FAIL: no process runs " << a.image << std::endl;
            return 1;
        }
        process = zynrobot::Process::Attach(pid, error);
    }
    if (!process) {
        std::cout << "robot: FAIL: " << error << std::endl;
        return 1;
    }
    std::cout << "robot: process " << process->Id() << std::endl;

    zynrobot::RunResult result = zynrobot::RunScript(*process, steps, options);
    if (result.ok && !a.leave && !process->ExitCode()) {
        result = {false, 0, "the script ended while the process still runs (add an exit step)"};
    }
    if (!result.ok) {
        std::cout << "robot: FAIL " << result.message << std::endl;
        std::string shotError;
        if (!options.shotDir.empty() && zynrobot::TakeShot(options.shotCommand, options.shotDir, "failure", shotError)) {
            std::cout << "robot: screenshot failure.png in " << options.shotDir << std::endl;
        }
        if (!a.leave) process->Kill();
        return 1;
    }
    std::cout << "robot: PASS" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("no command");
    Arguments a;
    a.mode = argv[1];
    a.options.log = &std::cout;
    a.options.shotDir = Env("ZYN_SHOT_DIR");
    a.options.shotCommand = Env("ZYN_SHOT_CMD");
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--leave") {
            a.leave = true;
            continue;
        }
        if (i + 1 >= argc) return Usage(flag + " wants a value");
        const char* value = argv[++i];
        if (flag == "--exe") a.exe = value;
        else if (flag == "--args") a.args = value;
        else if (flag == "--cwd") a.cwd = value;
        else if (flag == "--script") a.script = value;
        else if (flag == "--image") a.image = value;
        else if (flag == "--pid") a.pid = static_cast<DWORD>(std::strtoul(value, nullptr, 0));
        else if (flag == "--res") a.options.resourceModules.push_back(zynrobot::ToWindowsPath(value));
        else if (flag == "--shots") a.options.shotDir = value;
        else if (flag == "--shot-cmd") a.options.shotCommand = value;
        else if (flag == "--timeout") {
            if (!Seconds(value, a.options.timeoutMs)) return Usage("bad --timeout");
        } else if (flag == "--exit-timeout") {
            if (!Seconds(value, a.options.exitTimeoutMs)) return Usage("bad --exit-timeout");
        } else if (flag == "--poll") {
            char* end = nullptr;
            unsigned long ms = std::strtoul(value, &end, 10);
            if (end == value || *end != '\0' || ms == 0 || ms > 1000) return Usage("bad --poll");
            a.options.pollMs = static_cast<DWORD>(ms);
        } else {
            return Usage("unknown option " + flag);
        }
    }
    if (a.mode == "list") {
        if (a.pid == 0) return Usage("list wants --pid");
        std::cout << zynrobot::DescribeDialogs(a.pid);
        return 0;
    }
    if (a.mode != "run" && a.mode != "attach" && a.mode != "parse") return Usage("unknown command " + a.mode);
    if (a.script.empty()) return Usage("no --script");
    if (a.mode == "run" && a.exe.empty()) return Usage("run wants --exe");
    if (a.mode == "attach" && a.pid == 0 && a.image.empty()) return Usage("attach wants --pid or --image");
    return Run(a);
}
