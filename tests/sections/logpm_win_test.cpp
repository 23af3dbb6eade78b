// PM Info against a recording "PROGMAN" server of our own in the test process (it answers
// the connection before Wine's desktop does): the exact command strings and the records.
// The links Wine's own shell makes of them are checked by the end-to-end links scenario.
#include "sections/logpm.h"

#include <windows.h>

#include <ddeml.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "script/module.h"
#include "sections/dde.h"
#include "sections/sectiontest.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A DDE server on its own thread that writes down every execute and request and answers a
// request for a group with a Program Manager group record of `items` items.
class Recorder {
public:
    Recorder() {
        thread_ = std::thread([this] { Serve(); });
        WaitForSingleObject(ready_, 10000);
    }
    ~Recorder() {
        PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
    }
    Lines Take() {
        Lines taken;
        taken.swap(seen_);
        return taken;
    }
    std::string items = "0";

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ item, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
        Recorder& self = *current_;
        if (type == XTYP_CONNECT) return reinterpret_cast<HDDEDATA>(TRUE);
        if (type == XTYP_EXECUTE) {
            std::string text(DdeGetData(data, nullptr, 0, 0), '\0');
            DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), static_cast<DWORD>(text.size()), 0);
            self.seen_.push_back(text.c_str());
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
        if (type == XTYP_REQUEST) {
            char name[256] = "";
            DdeQueryStringA(self.instance_, item, name, sizeof name, CP_WINANSI);
            self.seen_.push_back(std::string("request ") + name);
            const std::string record = std::string(name) + ",zyn.grp," + self.items + ",1,2";
            return DdeCreateDataHandle(self.instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(record.c_str())),
                                       static_cast<DWORD>(record.size() + 1), 0, item, CF_TEXT, 0);
        }
        return nullptr;
    }
    void Serve() {
        thread_id_ = GetCurrentThreadId();
        current_ = this;
        DdeInitializeA(&instance_, Callback, APPCLASS_STANDARD, 0);
        HSZ service = DdeCreateStringHandleA(instance_, "PROGMAN", CP_WINANSI);
        DdeNameService(instance_, service, nullptr, DNS_REGISTER);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        SetEvent(ready_);
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        DdeNameService(instance_, service, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(instance_, service);
        DdeUninitialize(instance_);
    }
    static inline Recorder* current_ = nullptr;
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD instance_ = 0;
    DWORD thread_id_ = 0;
    Lines seen_;
    std::thread thread_;
};

class PmInfo : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        ASSERT_EQ(LOGCOMN_NewDemo("Reef", &second_), 0);
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        for (const char* file : {"a.exe", "b.exe"}) fs::copy_file(self, dir_.file(file));
    }
    void Install(int demo, const std::string& lines) {
        Load("[PM Info]\n" + lines);
        EXPECT_EQ(LOGPM_Install(demo, "PM Info", PLIST_INSTALL), 1);
    }
    ZYNLOG_KEY Records() {
        ZYNLOG_KEY common = nullptr, key = nullptr;
        EXPECT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
        EXPECT_EQ(ZYNLOG_CreateKey(common, LOGPM_KEY, &key), 0);
        return key;
    }
    std::string Owners(const std::string& record) {
        char data[64] = "";
        return ZYNLOG_GetValue(Records(), record.c_str(), data, sizeof data) == 0 ? data : "(none)";
    }
    std::string Short(const char* file) {
        char path[MAX_PATH] = "";
        GetShortPathNameA(dir_.file(file).c_str(), path, sizeof path);
        return path;
    }
    Recorder shell_;
    int second_ = -1;
};

TEST_F(PmInfo, SendsTheCommandsInOrderAndRecordsOwners) {
    const std::string a = Short("a.exe"), b = Short("b.exe");
    Install(demo_,
            "ADD, Fish, a.exe, \"Angel\", a.exe, 0, Y, Y\nADD, FISH, b.exe, Barb, , 2, N, Y\n"
            "DELETE, Old, , , , , Y, Y\nDELETE, Old, , Stale, , , Y, Y\n"
            "ADD, Fish, a.exe, Quiet, a.exe, 0, Y, N\nMOVE, , a.exe, Odd, , , Y, Y\n");
    const std::string short_dir = Short("");
    EXPECT_EQ(shell_.Take(), (Lines{
        "[ShowGroup(,6)]", "[CreateGroup(Fish,)]", "[ShowGroup(Fish,1)]", "[ReplaceItem(\"Angel\")]",
        "[AddItem(" + a + ",\"Angel\"," + a + ",0,,,,,)]", "[Reload(Fish)]",
        // Same group in other letters: no second create; an empty icon file still completes.
        "[ReplaceItem(Barb)]", "[AddItem(" + b + ",Barb," + short_dir + ",2,,,,,)]", "[Reload(FISH)]",
        "[ShowGroup(FISH,6)]", "[CreateGroup(Old,)]", "[ShowGroup(Old,1)]", "[DeleteGroup(Old)]", "[Reload(Old)]",
        // A DELETE leaves the remembered group as it was.
        "[ShowGroup(FISH,6)]", "[CreateGroup(Old,)]", "[ShowGroup(Old,1)]", "[DeleteItem(Stale)]", "[Reload(Old)]",
        "[ShowGroup(FISH,6)]", "[CreateGroup(,)]", "[ShowGroup(,1)]"}));
    const std::string angel = "ADD,Fish," + a + ",\"Angel\"," + a + ",0";
    EXPECT_EQ(Owners(angel), std::to_string(demo_));
    int values = 0;
    ASSERT_EQ(ZYNLOG_QueryKeyInfo(Records(), nullptr, nullptr, &values, nullptr, nullptr), 0);
    EXPECT_EQ(values, 1) << "only ADD lines with both flags are recorded";

    Install(second_, "ADD, Fish, a.exe, \"Angel\", a.exe, 0, Y, Y\n");
    EXPECT_EQ(Owners(angel), std::to_string(demo_) + ", " + std::to_string(second_));
    shell_.Take();
    // The first owner to go leaves the item to the other.
    EXPECT_EQ(PM_Uninstall(Records(), demo_), 0);
    EXPECT_EQ(shell_.Take(), Lines{});
    EXPECT_EQ(Owners(angel), std::to_string(second_));
    // The last takes it, and the group with it when the shell reports it empty.
    EXPECT_EQ(PM_Uninstall(Records(), second_), 0);
    EXPECT_EQ(shell_.Take(), (Lines{"[ShowGroup(Fish,2)]", "[ShowGroup(Fish,1)]", "[DeleteItem(\"Angel\")]",
                                   "request Fish", "[DeleteGroup(\"Fish\")]"}));
    EXPECT_EQ(Owners(angel), "(none)");
}

TEST_F(PmInfo, UndoKeepsStartUpAndGroupsWithItemsAndUnquotesTheGroup) {
    struct Case {
        const char* record;
        const char* items;
        Lines sent;
    } cases[] = {
        {"ADD,StartUp,a,Fish,a,0", "0",
         {"[ShowGroup(StartUp,2)]", "[ShowGroup(StartUp,1)]", "[DeleteItem(Fish)]", "request StartUp"}},
        {"ADD,Tank,a,Fish,a,0", "3",
         {"[ShowGroup(Tank,2)]", "[ShowGroup(Tank,1)]", "[DeleteItem(Fish)]", "request Tank"}},
        // Runs of commas are one separator: the empty description shifts the icon file in.
        {"ADD,\"Reef Tank\",,Fish,a,0", "0",
         {"[ShowGroup(\"Reef Tank\",2)]", "[ShowGroup(\"Reef Tank\",1)]", "[DeleteItem(a)]", "request Reef Tank",
          "[DeleteGroup(\"Reef Tank\")]"}},
        {"DELETE,Pond,a,Fish,a,0", "0", {"request Pond", "[DeleteGroup(\"Pond\")]"}},
    };
    for (const Case& c : cases) {
        shell_.items = c.items;
        const std::string twice = std::to_string(demo_) + "," + std::to_string(demo_);
        ASSERT_EQ(ZYNLOG_SetValue(Records(), c.record, twice.c_str()), 0);
        EXPECT_EQ(PM_Uninstall(Records(), demo_), 0);
        EXPECT_EQ(shell_.Take(), c.sent) << c.record;
        EXPECT_EQ(Owners(c.record), "(none)") << "a demo listed twice is still the only owner";
    }
}

TEST_F(PmInfo, TheClientListsItselfForCleanUpAndCutsAnswersToTheBuffer) {
    const int modules = MODULE_Count();
    ASSERT_EQ(DDE_Connect(), 0);
    EXPECT_EQ(MODULE_Count(), modules + 1);
    char cut[8] = "xxxxxxx";
    DDE_Request("Pond", cut, 5);
    EXPECT_EQ(std::string(cut, 6), std::string("Pond\0x", 6));
    EXPECT_EQ(DDE_Disconnect(), 0);
    EXPECT_EQ(DDE_Disconnect(), 0);
    EXPECT_EQ(MODULE_Count(), modules);
}

}  // namespace
