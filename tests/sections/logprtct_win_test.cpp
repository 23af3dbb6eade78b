// The Protection section's boot-file tokens, which differ by system where the kiosk
// scenario only sees Wine's, with their undo; the exclusivity rule and unknown tokens.
#include "sections/logprtct.h"

#include <windows.h>

#include <string>

#include "sections/logini.h"
#include "sections/logmod.h"
#include "sections/sectiontest.h"

namespace {

using zyntest::ReadFileBytes;

class Protection : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        VAR_Set("ShortDestinationDirectory", "C:\\ZYNSHORT");
        VAR_Set("BootDrive", dir_.path().c_str());
        VAR_Set("OS", "WinNT");
        VAR_Set("DOS", "DOS6");
    }
};

TEST_F(Protection, BootFilesBySystemAndTheirUndo) {
    const std::string config = dir_.file("CONFIG.SYS"), msdos = dir_.file("MSDOS.SYS");
    struct Case { const char *os, *dos, *config_top, *msdos; };  // msdos null: not made
    const Case cases[] = {
        {"Win3.x", "DOS6", "SWITCHES=/N\r\n", nullptr},
        {"Win95", "DOS7", "", "[Options]\r\nBootGUI=1\r\nBootKeys=0\r\nBootWin=1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.os);
        VAR_Set("OS", c.os);
        VAR_Set("DOS", c.dos);
        zyntest::WriteFileBytes(config, "FILES=30\r\n");
        // A line already there is not added twice; a line without flags takes the previous line's.
        Load("[Protection]\nNoBreak, Y, Y\nNoBreak, Y, Y\nBootKeys\n");
        ASSERT_EQ(LOGPRTCT_Install(demo_, "Protection", PLIST_INSTALL), 1);
        EXPECT_EQ(ReadFileBytes(config),
                  std::string(c.config_top) + "device=" + dir_.path() + "\\NOBREAK.SYS\r\nFILES=30\r\n");
        EXPECT_EQ(ReadFileBytes(msdos), c.msdos != nullptr ? c.msdos : "");
        ASSERT_EQ(LOGMOD_Uninstall(Key({"Common", LOGMOD_KEY}), demo_), 0);
        if (c.msdos != nullptr) {
            ASSERT_EQ(LOGINI_Uninstall(Key({"Common", LOGINI_KEY}), demo_), 0);
        }
        EXPECT_EQ(ReadFileBytes(config), "FILES=30\r\n");
        EXPECT_EQ(ReadFileBytes(msdos), "");
    }
}

TEST_F(Protection, AnyLineMakesTheDemoExclusiveAndUnknownTokensEndTheRun) {
    Load("[Protection]\nNoRun, N, N\n[Empty]\n");
    EXPECT_EQ(LOGPRTCT_Install(0, "Protection", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    EXPECT_EQ(LOGPRTCT_Install(0, "Empty", PLIST_EXCLUSIVE_TEST), 1);
    // A blank before the comma belongs to the token.
    for (const char* line : {"NoRunAway, Y, Y", "NoRun , Y, Y"}) {
        Load(std::string("[Protection]\n") + line + "\n");
        EXPECT_FATAL(LOGPRTCT_Install(0, "Protection", PLIST_INSTALL)) << line;
    }
}

}  // namespace
