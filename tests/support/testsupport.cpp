#include "support/testsupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "script/var.h"

#ifdef _WIN32
#include <windows.h>

#include "script/zynerror_ids.h"
#endif

namespace zyntest {

namespace fs = std::filesystem;

namespace {
std::atomic<unsigned> g_counter{0};
}

// The clock keeps apart the directories of death-test children, whose count starts again.
TempDir::TempDir() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "zyntest-" + std::to_string(stamp) + "-" + std::to_string(g_counter++);
    path_ = (fs::temp_directory_path() / name).string();
    if (!fs::create_directory(path_)) throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string VarText(const char* name) {
    char buffer[1024];
    int rc = VAR_Get(name, buffer, sizeof buffer);
    return rc == 0 ? std::string(buffer) : "error " + std::to_string(rc);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

#ifdef _WIN32

namespace {

struct Answerer {
    HWND messageDialog = nullptr;
    HWND detailsDialog = nullptr;
    ErrorDialogSeen current;
    std::vector<ErrorDialogSeen> seen;
} g_answerer;

std::string ItemText(HWND dialog, int id) {
    char text[4096] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Texts are set while WM_INITDIALOG is handled, so they are read right after it. The
// dialogs are recognised by their control ids, so that other dialogs are left alone.
void OnDialogReady(HWND dialog) {
    Answerer& a = g_answerer;
    if (GetDlgItem(dialog, IDC_ERROR_TEXT) == nullptr) return;
    if (GetDlgItem(dialog, IDC_ERROR_FILE) != nullptr && GetDlgItem(dialog, IDC_ERROR_VALUE) != nullptr) {
        a.detailsDialog = dialog;
        a.current.errorText = ItemText(dialog, IDC_ERROR_TEXT);
        a.current.file = ItemText(dialog, IDC_ERROR_FILE);
        a.current.line = ItemText(dialog, IDC_ERROR_LINE);
        a.current.value = ItemText(dialog, IDC_ERROR_VALUE);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    } else if (GetDlgItem(dialog, IDC_ERROR_DETAILS) != nullptr) {
        a.messageDialog = dialog;
        a.current = ErrorDialogSeen{};
        a.current.warning = GetDlgItem(dialog, IDCANCEL) != nullptr;
        PostMessageA(dialog, WM_COMMAND, IDC_ERROR_DETAILS, 0);
    }
}

// The answer goes to the error or warning dialog once its details are closed.
void OnDialogGone(HWND dialog) {
    Answerer& a = g_answerer;
    if (dialog != a.detailsDialog || a.messageDialog == nullptr) return;
    a.seen.push_back(a.current);
    PostMessageA(a.messageDialog, WM_COMMAND, IDOK, 0);
    a.messageDialog = nullptr;
    a.detailsDialog = nullptr;
}

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (message->message == WM_INITDIALOG) OnDialogReady(message->hwnd);
        if (message->message == WM_DESTROY) OnDialogGone(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Installed for the main thread of every test process, death-test children included;
// the hook goes with the thread.
[[maybe_unused]] const HHOOK g_answererHook =
    SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());

}  // namespace

std::vector<ErrorDialogSeen> TakeErrorDialogsSeen() { return std::exchange(g_answerer.seen, {}); }

#endif

}  // namespace zyntest
