// Helpers of the robot-driven tests: where the test programs are, and how to
// play a script against one of them or run the command-line robot.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "robot.h"

namespace zyntest::robot {

// Path of a program built beside the running test executable.
std::string Bin(const std::string& name);

struct Played {
    zynrobot::RunResult result;
    std::optional<DWORD> exitCode;  // empty: the program did not end
    std::string log;                // the robot's step log
};

// Starts exe with args, plays script (templates are looked up in exe), ends
// the program if the script failed, and waits for its exit code. Shots go to
// the environment's ZYN_SHOT_DIR with ZYN_SHOT_CMD unless options say otherwise.
Played Play(const std::string& exe, const std::string& args, const std::string& script,
            zynrobot::RunOptions options = {});

struct RobotRun {
    DWORD exitCode = 0;
    std::string output;  // stdout and stderr together
};

// Runs robot.exe with the command-line tail args.
RobotRun RunRobot(const std::string& args);

// Ends the program whose id the robot printed ("robot: process N"), if it still runs.
void EndProcessNamedIn(const std::string& output);

}  // namespace zyntest::robot
