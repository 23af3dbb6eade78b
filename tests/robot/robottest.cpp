#include "robottest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/testsupport.h"
#include "sys/handle.h"

namespace zyntest::robot {

namespace {

// Keeps Wine's desktop up for the whole test run unless the runner already
// started a keep-alive; see keepalive.cpp.
class KeepAlive : public ::testing::Environment {
public:
    void SetUp() override {
        if (FindWindowA("ZynKeepAlive", nullptr) != nullptr) return;
        std::string error;
        process_ = zynrobot::Process::Start(Bin("zynkeepalive.exe"), "600", "", error);
        for (int i = 0; i < 100 && FindWindowA("ZynKeepAlive", nullptr) == nullptr; ++i) Sleep(50);
    }
    void TearDown() override {
        if (!process_) return;
        if (HWND window = FindWindowA("ZynKeepAlive", nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (!process_->WaitExit(5000)) process_->Kill();
    }

private:
    std::optional<zynrobot::Process> process_;
};

[[maybe_unused]] ::testing::Environment* const g_keepAlive = ::testing::AddGlobalTestEnvironment(new KeepAlive);

}  // namespace

std::string Bin(const std::string& name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

Played Play(const std::string& exe, const std::string& args, const std::string& script, zynrobot::RunOptions options) {
    Played played;
    std::vector<zynrobot::Step> steps;
    std::string error;
    if (!zynrobot::ParseScript(script, steps, error)) {
        played.result.message = "script: " + error;
        return played;
    }
    auto process = zynrobot::Process::Start(exe, args, "", error);
    if (!process) {
        played.result.message = error;
        return played;
    }
    if (options.resourceModules.empty()) options.resourceModules.push_back(exe);
    if (options.shotDir.empty() && std::getenv("ZYN_SHOT_DIR") && std::getenv("ZYN_SHOT_CMD")) {
        options.shotDir = std::getenv("ZYN_SHOT_DIR");
        options.shotCommand = std::getenv("ZYN_SHOT_CMD");
    }
    std::ostringstream log;
    options.log = &log;
    played.result = zynrobot::RunScript(*process, steps, options);
    if (!played.result.ok) process->Kill();
    played.exitCode = process->WaitExit(10000);
    if (!played.exitCode) process->Kill();
    played.log = log.str();
    return played;
}

RobotRun RunRobot(const std::string& args) {
    RobotRun run;
    zyntest::TempDir dir;
    const std::string outPath = dir.file("robot-output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    zyn::Handle out(CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        run.exitCode = 0xFFFF;
        run.output = "cannot create " + outPath;
        return run;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    std::string commandLine = "\"";
    commandLine += Bin("robot.exe") + "\" " + args;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        run.exitCode = 0xFFFF;
        run.output = "cannot start robot.exe";
        return run;
    }
    zyn::Handle process(info.hProcess);
    zyn::Handle thread(info.hThread);
    if (WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 0xDEAD);
    GetExitCodeProcess(process.get(), &run.exitCode);
    out.reset();
    run.output = zyntest::ReadFileBytes(outPath);
    return run;
}

void EndProcessNamedIn(const std::string& output) {
    const std::string tag = "robot: process ";
    const size_t at = output.find(tag);
    if (at == std::string::npos) return;
    const DWORD pid = std::strtoul(output.c_str() + at + tag.size(), nullptr, 10);
    std::string error;
    if (auto process = zynrobot::Process::Attach(pid, error)) process->Kill();
}

}  // namespace zyntest::robot
