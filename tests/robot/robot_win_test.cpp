// The robot's own tests: robot.exe plays scripts against the real dialogs of robotchild.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
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
Played Robot(const std::string& childArgs, const std::string& script, const std::string& options = "") {
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
                              " --shots \"\" " + options;
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
    // What --leave left running.
    const size_t at = played.output.find("robot: process ");
    if (options.find("--leave") != std::string::npos && at != std::string::npos) {
        const DWORD pid = std::strtoul(played.output.c_str() + at + 15, nullptr, 10);
        zyn::Handle child(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (child && TerminateProcess(child.get(), 0)) WaitForSingleObject(child.get(), 5000);
    }
    return played;
}

TEST(Robot, EveryScriptEndsAsItShouldAndAFailureSaysWhy) {
    const std::string box = "msgbox 1 \"Robot caption\" \"Line one|Line two\"";
    struct Case {
        std::string childArgs;
        const char* script;
        DWORD exitCode;  // the robot's: 0 passed, 1 failed, 2 bad script
        const char* output;
    };
    const Case cases[] = {
        {"msgbox 0x21 \"Robot caption\" \"Line one|Line two\"",
         "expect messagebox caption=\"Robot caption\" text=\"Line one\\nLine two\" timeout=5\r\n"
         "  assert text~=two caption~=Robot -1~=one\nclick Cancel\ngone\nexit 2", 0, "robot: PASS"},
        {"msgbox 0x34 Robot Question", "expect messagebox text=Question\nclick no\ngone\nexit 7", 0, "robot: PASS"},
        {"msgbox 2 Robot Question", "# a comment\n\nexpect messagebox\nclick ignore\nexit 5", 0, "robot: PASS"},
        // Without a gone step the second expect still waits for the new box, not the closing first.
        {"twice", "expect messagebox text=\"First question?\"\nclick yes\nexpect messagebox text=\"Second question?\"\n"
                  "click no\nexit 67", 0, "robot: PASS"},
        {"exit -5", "exit -5", 0, "robot: PASS"},
        {"exit -1", "exit 4294967295 timeout=90", 0, "robot: PASS"},

        {box, "expect messagebox caption=Other", 1, "differs from the expected one: caption is \"Robot caption\""},
        {box, "expect dialog caption=\"Robot caption\"", 1, "a message box, not a dialog"},
        {box, "expect messagebox\nassert text=nope", 1,
         "FAIL line 2 (assert text=nope): control 65535 is \"Line one\\nLine two\", wanted \"nope\""},
        {box, "expect messagebox\nassert 1234=x", 1, "no control 1234"},
        {box, "expect messagebox\nclick ok\nexit 2", 1, "FAIL line 3 (exit 2): exit code 1, wanted 2"},
        {box, "click ok", 1, "no current dialog"},
        {box, "expect messagebox\nclick text", 1, "control 65535 (Static) is not a button"},
        {box, "expect messagebox", 1, "the script ended while the process still runs"},
        {"exit 3", "expect messagebox", 1, "the process ended with exit code 3 while waiting"},
        {"exit -5", "exit 0", 1, "exit code -5, wanted 0"},
        {"sleep 20000", "expect messagebox timeout=1", 1, "timed out after 1.0 s"},
        {"sleep 20000", "exit 0 timeout=0.5", 1, "timed out after 0.5 s"},
        {"twice", "expect messagebox\nclick yes\ngone\nexit 66", 1, "line 4 (exit 66): unexpected message box \"Robot\""},
        {"twice", "expect dialog template=NOSUCH", 1, "no dialog template NOSUCH in"},

        {box, "expect window caption=x", 2, "line 1: usage: expect|allow dialog|messagebox"},
        {box, "\n\nclick", 2, "line 3: usage: check|click ID"},
        {box, "click okay", 2, "not a control id: \"okay\""},
        {box, "expect dialog caption=\"abc", 2, "unterminated quote"},
        {box, "expect dialog colour=red", 2, "unknown condition \"colour\""},
        {box, "expect dialog template~=X", 2, "template wants a name"},
        {box, "assert template=X", 2, "template only fits"},
        {box, "assert caption=x timeout=3", 2, "assert does not wait"},
        {box, "set 101", 2, "usage: set ID TEXT"},
        {box, "gone caption=x", 2, "usage: gone|exit"},
        {box, "exit 0x1ffffffff", 2, "usage: exit CODE"},
        {box, "shot ../up", 2, "usage: shot NAME"},
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
    // --leave lets the script end while the program runs.
    EXPECT_NE(Robot(box, "expect messagebox", "--leave").output.find("robot: PASS"), std::string::npos);
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

TEST(Robot, TakesScreenshotsIntoAUnixDirectory) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    const std::string png = "Z:" ZYN_BINARY_DIR "/robot-the-box.png";  // Wine's Z: is the Unix root
    const Played played = Robot("msgbox 1 Robot Picture", "expect messagebox\nshot robot-the-box\nclick ok\nexit 1\n",
                                "--shots \"" ZYN_BINARY_DIR "\" --shot-cmd \"" ZYN_SOURCE_DIR "/tools/lib/shot.sh\"");
    EXPECT_EQ(played.exitCode, 0u) << played.output;
    EXPECT_EQ(zyntest::ReadFileBytes(png).substr(0, 4), "\x89PNG") << played.output;
    DeleteFileA(png.c_str());
}

}  // namespace
