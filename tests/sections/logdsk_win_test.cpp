// Desktop shortcuts: free names, which lines make one, and their file records. What a
// link holds is read back by the end-to-end links scenario.
#include "sections/logdsk.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "sections/logfile.h"
#include "sections/sectiontest.h"

namespace {

namespace fs = std::filesystem;

class DesktopSection : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        zyntest::WriteFileBytes(dir_.file("zyntestaqua.exe"), "MZ");
        // Where the shell itself keeps the desktop: it rewrites this value whenever it saves a link.
        char folder[MAX_PATH] = "";
        DWORD size = sizeof folder;
        RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     "Desktop", RRF_RT_REG_SZ, nullptr, folder, &size);
        desktop_ = folder;
        ASSERT_FALSE(desktop_.empty());
        Clean();
    }
    void TearDown() override {
        Clean();
        SectionTest::TearDown();
    }
    void Clean() {
        for (const char* name : {"ZynTestAquarium", "ZynTestAquarium1", "zyntestaqua", "Never"})
            fs::remove(Link(name));
    }
    std::string Link(const char* name) const { return desktop_ + "\\" + name + ".LNK"; }
    std::string desktop_;
};

TEST_F(DesktopSection, LinksGetFreeNamesAndSharedFileRecords) {
    Load("[Desktop]\n"
         "ZynTestAquarium, zyntestaqua.exe, /s /fast,, 0, Y, Y\n"
         "ZynTestAquarium, zyntestaqua.exe,,, 0, N, Y\n"
         ", zyntestaqua.exe,,, 0, Y, Y\n"
         "Never, zyntestaqua.exe,,, 0, Y, N\n");
    EXPECT_EQ(LOGDSK_Install(demo_, "Desktop", PLIST_INSTALL), 1);
    for (auto [name, made] : {std::pair{"ZynTestAquarium1", true}, {"zyntestaqua", true}, {"Never", false}})
        EXPECT_EQ(fs::exists(Link(name)), made) << name;
    // The desktop lies outside the destination: shared records, but for the line that asked for none.
    EXPECT_EQ(Values({"Common", LOGFILE_KEY}), Link("ZynTestAquarium") + "=0;" + Link("zyntestaqua") + "=0;");
}

}  // namespace
