// The undo of PM Info records against a recording "PROGMAN" server of our own in the test
// process (it answers the connection before Wine's desktop does), which unlike Wine's can
// report a group's contents. Groups and items made and removed through Wine's own shell
// are the end-to-end links scenario's.
#include "sections/logpm.h"

#include <windows.h>

#include <ddeml.h>

#include <string>
#include <thread>
#include <vector>

#include "sections/sectiontest.h"

namespace {

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
    Recorder shell_;
};

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

}  // namespace
