// The robot's own tests: robot.exe plays scripts against the real dialogs of robotchild.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/handle.h"

namespace {

using zyntest::BesideTests;

struct Played { DWORD exitCode; std::string output; };  // output: stdout and stderr together

// A command-line argument in quotes, its own quotes escaped for the C runtime's splitter.
std::string Arg(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}

// robot.exe playing script against robotchild.exe started with childArgs.
Played Robot(const std::string& childArgs, const std::string& script) {
    zyntest::TempDir dir;
    zyntest::WriteFileBytes(dir.file("steps.txt"), script);
    const std::string outPath = dir.file("output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    zyn::Handle out(CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out.get();
    std::string commandLine = Arg(BesideTests("robot.exe")) + " run --exe " + Arg(BesideTests("robotchild.exe")) +
                              " --args " + Arg(childArgs) + " --script " + Arg(dir.file("steps.txt")) +
                              " --shots \"\"";
    PROCESS_INFORMATION info{};
    Played played{0xFFFF, "cannot start robot.exe"};
    if (!out || !CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                &info)) {
        return played;
    }
    zyn::Handle process(info.hProcess), thread(info.hThread);
    if (WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 0xDEAD);
    GetExitCodeProcess(process.get(), &played.exitCode);
    out.reset();
    played.output = zyntest::ReadFileBytes(outPath);
    return played;
}

// A robot that let a wrong dialog, text or exit code pass would let the scenarios pass wrongly.
TEST(Robot, FailsWheneverTheProgramDiffersFromTheScript) {
    const std::string box = "msgbox 1 \"Robot caption\" \"Line one|Line two\"";
    struct Case {
        std::string childArgs;
        const char* script;
        DWORD exitCode;  // the robot's: 0 passed, 1 failed, 2 bad script
        const char* output;
    };
    const Case cases[] = {
        {"msgbox 0x21 \"Robot caption\" \"Line one|Line two\"",
         "expect messagebox caption=\"Robot caption\" text=\"Line one\\nLine two\"\r\n"
         "  assert text~=two caption~=Robot -1~=one\nclick Cancel\ngone\nexit 2", 0, "robot: PASS"},
        // Without a gone step the second expect still waits for the new box, not the closing first.
        {"twice", "expect messagebox text=\"First question?\"\nclick yes\nexpect messagebox text=\"Second question?\"\n"
                  "click no\nexit 67", 0, "robot: PASS"},

        {box, "expect messagebox caption=Other", 1, "differs from the expected one: caption is \"Robot caption\""},
        {box, "expect dialog caption=\"Robot caption\"", 1, "a message box, not a dialog"},
        {box, "expect messagebox\nassert text=nope", 1,
         "FAIL line 2 (assert text=nope): control 65535 is \"Line one\\nLine two\", wanted \"nope\""},
        {box, "expect messagebox\nassert 1234=x", 1, "no control 1234"},
        {box, "expect messagebox\nclick ok\nexit 2", 1, "FAIL line 3 (exit 2): exit code 1, wanted 2"},
        {box, "expect messagebox", 1, "the script ended while the process still runs"},
        {"exit 3", "expect messagebox", 1, "the process ended with exit code 3 while waiting"},
        {"exit -5", "exit 0", 1, "exit code -5, wanted 0"},
        {"twice", "expect messagebox\nclick yes\ngone\nexit 66", 1, "line 4 (exit 66): unexpected message box \"Robot\""},
        {"twice", "expect dialog template=NOSUCH", 1, "no dialog template NOSUCH in"},
        // Words it does not know are refused, never skipped.
        {box, "expect dialog colour=red", 2, "unknown condition \"colour\""},
        {box, "expect dialog caption=\"abc", 2, "unterminated quote"},
        {box, "frobnicate", 2, "unknown step \"frobnicate\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const DWORD begin = GetTickCount();
        const Played played = Robot(c.childArgs, c.script);
        EXPECT_EQ(played.exitCode, c.exitCode) << played.output;
        EXPECT_NE(played.output.find(c.output), std::string::npos) << played.output;
        EXPECT_LT(GetTickCount() - begin, 10000u);
    }
}

// The fatal-error dialogs before a variable store or language library exists: the built-in
// texts. (The scenarios meet them with a library and a code the modules explain.)
TEST(Robot, MeetsTheFatalErrorDialogsWithTheirBuiltInTexts) {
    const std::string caption = " caption=\"ZYN Install/Uninstall\" 1=&OK ";
    const Played played =
        Robot("fatal 12345", "expect dialog template=ERRORMESSAGE" + caption + "351=&Details... 350=\"An error has "
              "occurred while running INSTALL.  If you plan to report this error, choose Details.... Otherwise, choose "
              "OK to exit.\"\nclick 351\nexpect dialog template=ERRORDETAILS" + caption + "350=\"The following error "
              "has occured:\" 352=robotchild 353=42 354=12345\nclick ok\ngone\nclick ok\nexit -1\n");
    EXPECT_EQ(played.exitCode, 0u) << played.output;
}

}  // namespace
