// The client conversation against Wine's desktop, which answers "PROGMAN" when an X display
// is up: commands reach the shell and become folders and links under the Start Menu.
#include "sections/dde.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "script/module.h"
#include "support/process_win.h"

namespace {

namespace fs = std::filesystem;

constexpr char kGroup[] = "Zyn Dde Test";

std::string Programs() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Wine's shell answers a request and then falls out of step with the conversation (the
// next transaction gets the previous one's answer), so each check has a conversation of
// its own, as the section handler's lines have.
TEST(DdeClient, CommandsReachTheShellAndRequestsFollowTheBufferRules) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const int modules = MODULE_Count();
    ASSERT_EQ(DDE_Connect(), 0);
    EXPECT_EQ(MODULE_Count(), modules + 1);
    DDE_Execute((std::string("[CreateGroup(") + kGroup + ",)]").c_str());
    DDE_Execute((std::string("[AddItem(") + self + ",Zyn Dde Item)]").c_str());
    const fs::path group = fs::path(Programs()) / kGroup;
    EXPECT_TRUE(fs::exists(group / "Zyn Dde Item.lnk"));
    // Wine's shell answers "Groups" with the group names, one a line.
    char list[1024] = "";
    DDE_Request("Groups", list, sizeof list);
    EXPECT_NE(std::string(list).find(kGroup), std::string::npos) << list;
    EXPECT_EQ(DDE_Disconnect(), 0);
    EXPECT_EQ(MODULE_Count(), modules);

    DDE_Connect();
    char cut[6] = "xxxxx";
    DDE_Request("Groups", cut, 5);
    EXPECT_EQ(std::string(cut, 5), std::string(list).substr(0, 4) + '\0');
    DDE_Connect();  // a second connect replaces the conversation
    EXPECT_EQ(MODULE_Count(), modules + 1);
    // Wine's shell cannot tell a group's contents: the buffer stays as it was.
    char untouched[8] = "same";
    DDE_Request(kGroup, untouched, sizeof untouched);
    EXPECT_STREQ(untouched, "same");
    DDE_Connect();
    DDE_Execute((std::string("[DeleteGroup(") + kGroup + ")]").c_str());
    EXPECT_FALSE(fs::exists(group));
    DDE_Disconnect();
    // Closing twice, or sending without a conversation, is harmless.
    EXPECT_EQ(DDE_Disconnect(), 0);
    EXPECT_EQ(DDE_Execute("[Reload(x)]"), 0);
    EXPECT_EQ(MODULE_Count(), modules);
    zyntest::CloseShellFolderWindows();
}

}  // namespace
