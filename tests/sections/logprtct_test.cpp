// Finding the phone program's item in Program Manager's description of a group.
#include "sections/logprtct.h"

#include <gtest/gtest.h>

namespace {

TEST(ProtectionPhoneItem, FirstAnnouncedItemWhoseCommandLineNamesThePhoneProgram) {
    struct Case {
        const char *answer, *title;
    };
    const Case cases[] = {
        {"\"StartUp\",C:\\WIN\\STARTUP.GRP,2,1\r\n"
         "\"Clock\",\"CLOCK.EXE\",C:\\WIN,CLOCK.EXE,0,0,0,0,0\r\n"
         "\"Phone Center\", \"C:\\CPQ\\CpqPhone.exe /min\",C:\\CPQ,x,0,0,0,0,0\r\n",
         "\"Phone Center\""},
        // Items past the announced count, and a phone named only as title, are not taken.
        {"StartUp,s.grp,1,1\r\nPhone,clock.exe,,,0,0,0,0,0\r\nLate,cpqphone.exe,,,0,0,0,0,0\r\n", ""},
        {"StartUp,s.grp,3,1\n\n A, cpqphone.exe\nB,cpqphone2.exe", "A"},
        {"", ""},
        {"StartUp,s.grp", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(LOGPRTCT_FindPhoneItem(c.answer), c.title) << c.answer;
}

}  // namespace
