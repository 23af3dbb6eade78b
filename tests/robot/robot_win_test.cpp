// The robot's own tests: real programs with real dialogs, driven through scripts.
#include <gtest/gtest.h>

#include <sstream>

#include "robot.h"
#include "robottest.h"
#include "support/testsupport.h"

namespace {

using zynrobot::Step;
using zynrobot::Verb;
using zyntest::robot::Bin;
using zyntest::robot::Play;

// ---- script syntax -------------------------------------------------------------

TEST(RobotScript, ReadsValuesQuotesAndEscapes) {
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(zynrobot::ParseScript("# comment\n"
                                      "\n"
                                      "expect messagebox caption=\"Say \"\"hi\"\"\" text~=\"one\\ntwo\" timeout=2.5\r\n"
                                      "  set 101 \"C:\\DEMO\\DIR\"\n"
                                      "set 0x66 a\\\\nb=c\n"
                                      "click -1\n"
                                      "click Cancel\n"
                                      "exit -1 timeout=90\n"
                                      "exit 4294967295\n",
                                      steps, error))
        << error;
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[0].kind, zynrobot::DialogKind::MessageBox);
    ASSERT_EQ(steps[0].conditions.size(), 2u);
    EXPECT_EQ(steps[0].conditions[0].value, "Say \"hi\"");
    EXPECT_FALSE(steps[0].conditions[0].contains);
    EXPECT_EQ(steps[0].conditions[1].id, zynrobot::kMessageBoxTextId);
    EXPECT_TRUE(steps[0].conditions[1].contains);
    EXPECT_EQ(steps[0].conditions[1].value, "one\ntwo");
    EXPECT_EQ(steps[0].timeoutMs, 2500u);
    EXPECT_EQ(steps[1].value, "C:\\DEMO\\DIR");  // a lone backslash stays
    EXPECT_EQ(steps[2].id, 0x66);
    EXPECT_EQ(steps[2].value, "a\\\\nb=c");       // unquoted: nothing is escaped or split
    EXPECT_EQ(steps[3].id, 0xFFFF);
    EXPECT_EQ(steps[4].id, IDCANCEL);
    EXPECT_EQ(steps[5].exitCode, 0xFFFFFFFFu);
    EXPECT_EQ(steps[5].timeoutMs, 90000u);
    EXPECT_EQ(steps[6].exitCode, 0xFFFFFFFFu);
}

TEST(RobotScript, RejectsMistakesNamingTheLine) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"expect window caption=x", "line 1: usage: expect dialog|messagebox"},
        {"\n\nclick", "line 3: usage: click ID"},
        {"click okay", "line 1: not a control id: \"okay\""},
        {"click 70000", "not a control id"},
        {"expect dialog caption=\"abc", "line 1: unterminated quote"},
        {"expect dialog caption", "expected KEY=VALUE, found \"caption\""},
        {"expect dialog colour=red", "unknown condition \"colour\""},
        {"expect dialog template~=X", "template wants a name"},
        {"assert template=X", "template only fits expect"},
        {"assert caption=x timeout=3", "assert does not wait"},
        {"set 101", "usage: set ID TEXT"},
        {"select", "usage: select CONDITION..."},
        {"gone caption=x", "usage: gone [timeout=SECONDS]"},
        {"exit", "usage: exit CODE"},
        {"exit 0x1ffffffff", "usage: exit CODE"},
        {"exit 0 timeout=0", "timeout wants seconds"},
        {"shot ../up", "a shot name uses"},
        {"frobnicate", "unknown step \"frobnicate\""},
    };
    for (const Case& c : cases) {
        std::vector<Step> steps;
        std::string error;
        EXPECT_FALSE(zynrobot::ParseScript(c.script, steps, error)) << c.script;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.script << " gave: " << error;
    }
}

// ---- message boxes -------------------------------------------------------------

TEST(RobotMessageBox, AnswersEveryButtonKindAndReadsTheText) {
    struct Case {
        UINT flags;
        const char* answer;  // a step that ends the box
        DWORD exitCode;
    };
    const Case cases[] = {
        {MB_OK, "click ok", IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, "click cancel", IDCANCEL},
        {MB_YESNO, "click yes", IDYES},
        {MB_YESNO | MB_ICONEXCLAMATION, "click no", IDNO},
        {MB_YESNOCANCEL, "close", IDCANCEL},
        {MB_ABORTRETRYIGNORE, "click ignore", IDIGNORE},
        {MB_RETRYCANCEL | MB_ICONSTOP, "click retry", IDRETRY},
    };
    for (const Case& c : cases) {
        const std::string script = std::string("expect messagebox caption=\"Robot caption\" text=\"Line one\\nLine two\"\n"
                                               "assert text~=two caption~=Robot\n") +
                                   c.answer + "\ngone\nexit " + std::to_string(c.exitCode) + "\n";
        auto played = Play(Bin("robotchild.exe"), "msgbox " + std::to_string(c.flags) + " \"Robot caption\" \"Line one|Line two\"",
                           script);
        EXPECT_TRUE(played.result.ok) << c.answer << ": " << played.result.message << "\n" << played.log;
        EXPECT_EQ(played.exitCode, c.exitCode) << c.answer;
    }
}

TEST(RobotMessageBox, TwoBoxesInARowAreTwoDialogs) {
    // Without a gone step the second expect still waits for the new box, not the closing first one.
    auto played = Play(Bin("robotchild.exe"), "twice",
                       "expect messagebox text=\"First question?\"\n"
                       "click yes\n"
                       "expect messagebox text=\"Second question?\"\n"
                       "click no\n"
                       "exit 67\n");
    EXPECT_TRUE(played.result.ok) << played.result.message << "\n" << played.log;
    EXPECT_EQ(played.exitCode, 67u);
}

// ---- dialogs from templates ----------------------------------------------------

TEST(RobotForm, FillsEditRadioAndCheckBoxAndSurvivesANestedModalBox) {
    zyntest::TempDir dir;
    const std::string out = dir.file("form.txt");
    auto played = Play(Bin("robotchild.exe"), "form \"" + out + "\"",
                       "expect dialog template=ROBOTFORM caption=\"Robot form\" 101=Demo\n"
                       "set 101 \"C:\\Program Files\\Demo \"\"2\"\"\"\n"
                       "check 103\n"
                       "check 104\n"
                       "uncheck 104\n"
                       "check 104\n"
                       "click 105\n"
                       "expect messagebox caption=\"Robot form\" text~=\"not available\"\n"
                       "click ok\n"
                       "gone\n"
                       "assert 106=\"more seen\" 102=&Typical\n"
                       "click ok\n"
                       "gone\n"
                       "exit 0\n");
    ASSERT_TRUE(played.result.ok) << played.result.message << "\n" << played.log;
    EXPECT_EQ(played.exitCode, 0u);
    EXPECT_EQ(zyntest::ReadFileBytes(out), "name=C:\\Program Files\\Demo \"2\";kind=custom;shortcut=1");
}

TEST(RobotForm, SelectTurnsBackToTheFormWhileItsQuestionIsOpen) {
    zyntest::TempDir dir;
    auto played = Play(Bin("robotchild.exe"), "form \"" + dir.file("form.txt") + "\"",
                       "expect dialog template=ROBOTFORM\n"
                       "click 105\n"
                       "expect messagebox text~=\"not available\"\n"
                       "select template=ROBOTFORM\n"
                       "assert 101=Demo\n"
                       "select text~=\"not available\"\n"
                       "click ok\n"
                       "gone\n"
                       "assert 106=\"more seen\"\n"
                       "select caption=Nothing\n");
    EXPECT_FALSE(played.result.ok);
    EXPECT_NE(played.result.message.find("line 10 (select caption=Nothing): no open expected dialog"), std::string::npos)
        << played.result.message << "\n" << played.log;
}

// ---- failures are reported, and the program does not linger -------------------

TEST(RobotFailure, EveryMistakeFailsWithAMessageThatSaysWhy) {
    const std::string box = "msgbox 1 \"Robot caption\" \"Line one|Line two\"";
    struct Case {
        const char* args;
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {box.c_str(), "expect messagebox caption=Other", "unexpected message box \"Robot caption\""},
        {box.c_str(), "expect messagebox caption=Other", "differs from the expected one: caption is \"Robot caption\""},
        {box.c_str(), "expect dialog caption=\"Robot caption\"", "a message box, not a dialog"},
        {box.c_str(), "expect messagebox\nassert text=nope",
         "line 2 (assert text=nope): control 65535 is \"Line one\\nLine two\", wanted \"nope\""},
        {box.c_str(), "expect messagebox\nassert 1234=x", "no control 1234"},
        {box.c_str(), "expect messagebox\nclick ok\nexit 2", "line 3 (exit 2): exit code 1, wanted 2"},
        {box.c_str(), "click ok", "no current dialog"},
        {"exit 3", "expect messagebox", "the process ended with exit code 3 while waiting"},
        {"exit -5", "exit 0", "exit code -5 (0xFFFFFFFB), wanted 0"},
        {"sleep 20000", "expect messagebox timeout=1", "timed out after 1.0 s"},
        {"sleep 20000", "exit 0 timeout=0.5", "timed out after 0.5 s"},
        {"twice", "expect messagebox\nclick yes\ngone\nexit 66", "line 4 (exit 66): unexpected message box \"Robot\""},
        {"twice", "expect messagebox\nclick yes\ngone\nexit 66", "\"Second question?\""},
        {"twice", "expect dialog template=NOSUCH", "no dialog template NOSUCH in"},
        {"form C:\\nowhere.txt", "expect dialog\nclick 107", "button 107 is disabled"},
        {"form C:\\nowhere.txt", "expect dialog\nset 999 x", "no control 999"},
        {"form C:\\nowhere.txt", "expect dialog\ncheck 106", "control 106 (Static) is not a button"},
        {"form C:\\nowhere.txt", "expect dialog\nclick 101", "control 101 (Edit) is not a button"},
        {"form C:\\nowhere.txt", "expect dialog template=ROBOTFORM\nclick 105\nexpect dialog",
         "differs from the expected one: a message box, not a dialog"},
    };
    for (const Case& c : cases) {
        const DWORD begin = GetTickCount();
        auto played = Play(Bin("robotchild.exe"), c.args, c.script);
        EXPECT_FALSE(played.result.ok) << c.script;
        EXPECT_NE(played.result.message.find(c.message), std::string::npos)
            << c.script << "\ngave: " << played.result.message;
        EXPECT_TRUE(played.exitCode.has_value()) << c.script << ": the program still runs";
        EXPECT_LT(GetTickCount() - begin, 5000u) << c.script;
    }
}

// ---- the command-line robot ----------------------------------------------------

TEST(RobotCli, RunsScriptsAndAnswersWithItsExitCode) {
    zyntest::TempDir dir;
    const char* box = "msgbox 1 Robot one|two";
    struct Case {
        const char* args;
        const char* script;
        const char* options;
        DWORD exitCode;
        const char* output;
    };
    const Case cases[] = {
        {box, "expect messagebox text~=one\nclick ok\ngone\nexit 1\n", "", 0, "robot: PASS"},
        {box, "expect messagebox text~=one\nclick ok\nexit 7\n", "", 1, "robot: FAIL line 3 (exit 7): exit code 1, wanted 7"},
        {box, "expect messagebox\n", "", 1, "the script ended while the process still runs"},
        {box, "expect messagebox\n", "--leave", 0, "robot: PASS"},
        {box, "expect messagebox\nclick\n", "", 2, "line 2: usage: click ID"},
        {"sleep 20000", "expect messagebox\n", "--timeout 1", 1, "timed out after 1.0 s"},
        {"sleep 20000", "exit 0\n", "--exit-timeout 0.5", 1, "timed out after 0.5 s"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string script = dir.file("steps" + std::to_string(n++) + ".txt");
        zyntest::WriteFileBytes(script, c.script);
        auto run = zyntest::robot::RunRobot(std::string("run --exe \"") + Bin("robotchild.exe") + "\" --args \"" +
                                            c.args + "\" --script \"" + script + "\" --shots \"\" " + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.script << run.output;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << c.script << run.output;
        zyntest::robot::EndProcessNamedIn(run.output);  // what --leave left running
    }
}

TEST(RobotCli, TakesScreenshotsIntoAWindowsOrUnixDirectory) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    zyntest::TempDir dir;
    const std::string script = dir.file("steps.txt");
    zyntest::WriteFileBytes(script, "expect messagebox\nshot the-box\nclick ok\nexit 1\n");
    auto run = zyntest::robot::RunRobot(std::string("run --exe \"") + Bin("robotchild.exe") +
                                        "\" --args \"msgbox 1 Robot Picture\" --script \"" + script + "\" --shots \"" +
                                        dir.path() + "\" --shot-cmd \"" ZYN_SOURCE_DIR "/tools/lib/shot.sh\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::string png = zyntest::ReadFileBytes(dir.file("the-box.png"));
    ASSERT_GE(png.size(), 8u) << run.output;
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

}  // namespace
