// The DDE client conversation with the shell.
#include "sections/dde.h"

#include <windows.h>

#include <ddeml.h>

#include <cstring>

#include "script/module.h"
#include "script/zynerror.h"

namespace {

constexpr char kSource[] = "dde";
constexpr char kProgman[] = "PROGMAN";

DWORD g_instance = 0;
HSZ g_service = nullptr;
HSZ g_topic = nullptr;
HCONV g_conversation = nullptr;

// A client only: nothing the server sends unasked is of interest.
HDDEDATA CALLBACK Ignore(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// An item string handle for one request, freed with the scope.
class ItemHandle {
public:
    ItemHandle(const char* item) : handle_(DdeCreateStringHandleA(g_instance, item, CP_WINANSI)) {}
    ~ItemHandle() {
        if (handle_ != nullptr) DdeFreeStringHandle(g_instance, handle_);
    }
    ItemHandle(const ItemHandle&) = delete;
    ItemHandle& operator=(const ItemHandle&) = delete;
    HSZ get() const { return handle_; }

private:
    HSZ handle_;
};

}  // namespace

int DDE_Connect() {
    DDE_Disconnect();
    if (DdeInitializeA(&g_instance, Ignore, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        g_instance = 0;
        ZYNERROR_Fatal(ERROR_DDE_INITIALIZE, kSource, __LINE__);
    }
    // A fatal error in mid-conversation still ends the instance on the way out.
    MODULE_Register(DDE_Disconnect, 0);
    g_service = DdeCreateStringHandleA(g_instance, kProgman, CP_WINANSI);
    g_topic = DdeCreateStringHandleA(g_instance, kProgman, CP_WINANSI);
    g_conversation = DdeConnect(g_instance, g_service, g_topic, nullptr);
    if (g_conversation == nullptr) ZYNERROR_Fatal(ERROR_DDE_PROGRAM_MANAGER, kSource, __LINE__);
    return 0;
}

int DDE_Execute(const char* command) {
    if (g_conversation == nullptr || command == nullptr) return 0;
    // The shell reads the command from the transaction's data, terminator included.
    const DWORD length = static_cast<DWORD>(std::strlen(command) + 1);
    HDDEDATA result =
        DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)), length, g_conversation, nullptr,
                             CF_TEXT, XTYP_EXECUTE, DDE_TIMEOUT_MS, nullptr);
    if (result != nullptr && result != reinterpret_cast<HDDEDATA>(TRUE)) DdeFreeDataHandle(result);
    return 0;
}

int DDE_Request(const char* item, char* buffer, int size) {
    if (g_conversation == nullptr || item == nullptr || buffer == nullptr || size <= 0) return 0;
    ItemHandle handle(item);
    if (handle.get() == nullptr) return 0;
    HDDEDATA answer =
        DdeClientTransaction(nullptr, 0, g_conversation, handle.get(), CF_TEXT, XTYP_REQUEST, DDE_TIMEOUT_MS, nullptr);
    if (answer == nullptr) return 0;
    const DWORD copied = DdeGetData(answer, reinterpret_cast<LPBYTE>(buffer), static_cast<DWORD>(size - 1), 0);
    buffer[copied] = '\0';
    DdeFreeDataHandle(answer);
    return 0;
}

int DDE_Disconnect() {
    if (g_instance == 0) return 0;
    if (g_conversation != nullptr) DdeDisconnect(g_conversation);
    if (g_service != nullptr) DdeFreeStringHandle(g_instance, g_service);
    if (g_topic != nullptr) DdeFreeStringHandle(g_instance, g_topic);
    DdeUninitialize(g_instance);
    g_conversation = nullptr;
    g_service = g_topic = nullptr;
    g_instance = 0;
    MODULE_Unregister(DDE_Disconnect);
    return 0;
}
