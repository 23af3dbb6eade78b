// The error and warning dialogs as a user meets them: a separate program
// reports an error, the robot reads both dialogs and answers, and the test
// checks how the program ended and that its clean-up list ran newest first.
#include <gtest/gtest.h>

#include "robottest.h"
#include "support/testsupport.h"

namespace {

using zyntest::robot::Bin;
using zyntest::robot::Play;

// Without a language library the dialogs fall back to these sentences, and
// without a variable store to the built-in caption.
const std::string kIntro =
    "350=\"An error has occurred while running INSTALL.  If you plan to report this error, choose Details.... "
    "Otherwise, choose OK to exit.\"";
const std::string kWarningIntro =
    "350=\"A warning was generated while running INSTALL. For more information, choose Details.... Otherwise, "
    "press Continue to go on or Exit to quit.\"";
const std::string kCaption = "caption=\"ZYN Install/Uninstall\"";

std::string Details(const std::string& text, int code) {
    return "expect dialog template=ERRORDETAILS " + kCaption + " 350=\"" + text + "\" 352=fatalchild 353=42 354=" +
           std::to_string(code) + " 1=&OK\n";
}

TEST(RobotErrorDialog, FatalAndWarningAnswersEndTheProgramAsTheUserChose) {
    const std::string generic = "The following error has occured:";
    struct Case {
        const char* name;
        const char* mode;
        const char* code;     // empty: the program's default, -2901
        std::string script;
        DWORD exitCode;
        const char* cleanup;  // what the program left in cleanup.txt
    };
    const Case cases[] = {
        {"fatal, details read, then OK", "fatal", "",
         "expect dialog template=ERRORMESSAGE " + kCaption + " " + kIntro + " 1=&OK 351=&Details...\n"
         "shot fatal-error\n"
         "click 351\n" + Details(generic, -2901) +
         "shot fatal-details\n"
         "click ok\n"
         "gone\n"
         "assert 350~=\"An error has occurred\"\n"
         "click ok\n"
         "gone\n"
         "exit -1\n",
         0xFFFFFFFF, "second\nfirst\n"},
        {"fatal with a code the program's own hook explains", "fatal", "777",
         "expect dialog template=ERRORMESSAGE " + kIntro + "\n"
         "click 351\n" + Details("FATALCHILD: the child's own error text", 777) +
         "click ok\n"
         "gone\n"
         "click ok\n"
         "exit -1\n",
         0xFFFFFFFF, "second\nfirst\n"},
        {"warning answered Continue", "warning", "",
         "expect dialog template=WARNINGMESSAGE " + kCaption + " " + kWarningIntro +
         " 1=&Continue 351=&Details 2=&Exit\n"
         "shot warning\n"
         "click 351\n" + Details(generic, -2901) +
         "click ok\n"
         "gone\n"
         "click ok\n"
         "gone\n"
         "exit 0\n",
         0, "continued\n"},
        {"warning answered Exit", "warning", "-1601",
         "expect dialog template=WARNINGMESSAGE " + kWarningIntro + "\n"
         "click cancel\n"
         "gone\n"
         "exit -1\n",
         0xFFFFFFFF, "second\nfirst\n"},
    };
    for (const Case& c : cases) {
        zyntest::TempDir dir;
        auto played =
            Play(Bin("fatalchild.exe"), std::string(c.mode) + " \"" + dir.path() + "\" " + c.code, c.script);
        EXPECT_TRUE(played.result.ok) << c.name << ": " << played.result.message << "\n" << played.log;
        EXPECT_EQ(played.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(zyntest::ReadFileBytes(dir.file("cleanup.txt")), c.cleanup) << c.name;
    }
}

}  // namespace
