#include "robot.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace zynrobot {

namespace {

// Long enough for a busy program to answer, short enough that a hung one
// cannot stop the robot from reporting.
constexpr UINT kSendTimeoutMs = 3000;

std::string Normalize(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT is marshalled across processes and reaches edit controls,
// whose text GetWindowTextA cannot read from outside.
std::string ReadText(HWND window) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
        std::string buffer(length + 1, '\0');
        DWORD_PTR got = 0;
        if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                                SMTO_ABORTIFHUNG, kSendTimeoutMs, &got)) {
            buffer.resize(std::min<size_t>(got, length));
            return Normalize(buffer);
        }
    }
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return Normalize(buffer);
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

HWND FindControl(HWND dialog, ControlId id) {
    for (HWND child : Children(dialog)) {
        if (static_cast<ControlId>(GetDlgCtrlID(child)) == id) return child;
    }
    return nullptr;
}

bool IsButtonClass(const std::string& name) { return _stricmp(name.c_str(), "Button") == 0; }
bool IsStaticClass(const std::string& name) { return _stricmp(name.c_str(), "Static") == 0; }

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

// Reads the control ids of a classic (DIALOG) or extended (DIALOGEX) template.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : p_(data), end_(data + size) {}

    std::optional<std::vector<ControlId>> Ids() {
        const bool extended = size_t(end_ - p_) >= 4 && Word(p_) == 1 && Word(p_ + 2) == 0xFFFF;
        DWORD style = 0;
        WORD count = 0;
        if (extended) {
            if (!Skip(4 + 4 + 4)) return std::nullopt;  // version, signature, help id, extended style
            if (!Dword(style) || !Count(count) || !Skip(8)) return std::nullopt;
        } else {
            if (!Dword(style) || !Skip(4) || !Count(count) || !Skip(8)) return std::nullopt;
        }
        if (!SkipNameOrOrdinal() || !SkipNameOrOrdinal() || !SkipString()) return std::nullopt;  // menu, class, title
        if (style & (DS_SETFONT | DS_SHELLFONT)) {
            if (!Skip(extended ? 6 : 2) || !SkipString()) return std::nullopt;
        }
        std::vector<ControlId> ids;
        for (WORD i = 0; i < count; ++i) {
            Align();
            DWORD id = 0;
            if (extended) {
                if (!Skip(4 + 4 + 4 + 8) || !Dword(id)) return std::nullopt;
            } else {
                WORD shortId = 0;
                if (!Skip(4 + 4 + 8) || !Word16(shortId)) return std::nullopt;
                id = shortId;
            }
            if (!SkipNameOrOrdinal() || !SkipNameOrOrdinal()) return std::nullopt;  // class, text
            WORD extra = 0;
            if (!Word16(extra) || !Skip(extra)) return std::nullopt;
            ids.push_back(static_cast<ControlId>(id));
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private:
    static WORD Word(const BYTE* at) { WORD w; std::memcpy(&w, at, 2); return w; }
    bool Skip(size_t n) {
        if (size_t(end_ - p_) < n) return false;
        p_ += n;
        return true;
    }
    bool Word16(WORD& w) {
        if (end_ - p_ < 2) return false;
        w = Word(p_);
        p_ += 2;
        return true;
    }
    bool Count(WORD& w) { return Word16(w); }
    bool Dword(DWORD& d) {
        if (end_ - p_ < 4) return false;
        std::memcpy(&d, p_, 4);
        p_ += 4;
        return true;
    }
    bool SkipString() {
        WORD w = 0;
        do {
            if (!Word16(w)) return false;
        } while (w != 0);
        return true;
    }
    bool SkipNameOrOrdinal() {
        if (end_ - p_ < 2) return false;
        if (Word(p_) == 0xFFFF) return Skip(4);
        return SkipString();
    }
    void Align() {
        while ((reinterpret_cast<uintptr_t>(p_) & 3) != 0 && p_ < end_) ++p_;
    }

    const BYTE* p_;
    const BYTE* end_;
};

struct DialogSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && IsWindowVisible(window) && ClassOf(window) == "#32770") search->found.push_back(window);
    return TRUE;
}

template <typename Fn>
Fn WineExport(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

}  // namespace

// ---- paths -------------------------------------------------------------------

std::string ToWindowsPath(const std::string& path) {
    using ToDos = WCHAR* (CDECL*)(const char*);
    static const auto toDos = WineExport<ToDos>("wine_get_dos_file_name");
    if (path.empty() || path[0] != '/' || toDos == nullptr) return path;
    WCHAR* wide = toDos(path.c_str());
    if (wide == nullptr) return path;
    char buffer[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return buffer;
}

std::string ToUnixPath(const std::string& path) {
    using ToUnix = char* (CDECL*)(const WCHAR*);
    static const auto toUnix = WineExport<ToUnix>("wine_get_unix_file_name");
    if (path.empty() || path[0] == '/' || toUnix == nullptr) return path;
    WCHAR wide[MAX_PATH * 2] = {};
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2) == 0) return path;
    char* unix = toUnix(wide);
    if (unix == nullptr) return path;
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// ---- processes ---------------------------------------------------------------

std::optional<Process> Process::Start(const std::string& exe, const std::string& args, const std::string& cwd,
                                      std::string& error) {
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty()) commandLine += " " + args;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // No inherited handles: the program under test must not keep the test's pipes open.
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &startup, &info)) {
        error = "cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    zyn::Handle thread(info.hThread);
    return Process(zyn::Handle(info.hProcess), info.dwProcessId);
}

std::optional<Process> Process::Attach(DWORD pid, std::string& error) {
    zyn::Handle handle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid));
    if (!handle) {
        error = "cannot open process " + std::to_string(pid) + " (error " + std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    return Process(std::move(handle), pid);
}

std::optional<DWORD> Process::ExitCode() const { return WaitExit(0); }

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(handle_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(handle_.get(), &code)) return std::nullopt;
    return code;
}

void Process::Kill() const {
    if (!ExitCode()) {
        TerminateProcess(handle_.get(), 0xDEAD);
        WaitForSingleObject(handle_.get(), 5000);
    }
}

// ---- windows -----------------------------------------------------------------

const Control* DialogInfo::Find(ControlId id) const {
    for (const Control& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

bool DialogInfo::IsMessageBox() const {
    int texts = 0;
    int buttons = 0;
    for (const Control& c : controls) {
        if (IsStaticClass(c.className)) {
            if (c.id == kMessageBoxTextId) ++texts;
            else if (!c.text.empty()) return false;  // only the icon may be a second static
        } else if (IsButtonClass(c.className)) {
            if (c.id < IDOK || c.id > 11) return false;  // IDOK .. IDCONTINUE
            if (c.visible) ++buttons;
        } else {
            return false;
        }
    }
    return texts == 1 && buttons > 0;
}

std::vector<ControlId> DialogInfo::Ids() const {
    std::vector<ControlId> ids;
    for (const Control& c : controls) ids.push_back(c.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string DialogInfo::Describe() const {
    std::ostringstream out;
    out << (IsMessageBox() ? "message box " : "dialog ") << Quote(caption) << "\n";
    for (const Control& c : controls) {
        out << "    " << c.id << " " << c.className << (c.visible ? "" : " (hidden)") << " " << Quote(c.text)
            << "\n";
    }
    return out.str();
}

std::vector<HWND> VisibleDialogs(DWORD pid) {
    DialogSearch search{pid, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsOpen(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

DialogInfo Inspect(HWND dialog) {
    DialogInfo info;
    info.hwnd = dialog;
    info.caption = ReadText(dialog);
    for (HWND child : Children(dialog)) {
        Control c;
        c.hwnd = child;
        c.id = static_cast<ControlId>(GetDlgCtrlID(child));
        c.className = ClassOf(child);
        c.text = ReadText(child);
        c.visible = IsWindowVisible(child) != FALSE;
        info.controls.push_back(std::move(c));
    }
    return info;
}

std::optional<std::string> ControlClass(HWND dialog, ControlId id) {
    HWND control = FindControl(dialog, id);
    if (control == nullptr) return std::nullopt;
    return ClassOf(control);
}

std::optional<std::string> ControlText(HWND dialog, ControlId id) {
    HWND control = FindControl(dialog, id);
    if (control == nullptr) return std::nullopt;
    return ReadText(control);
}

bool SetControlText(HWND dialog, ControlId id, const std::string& text) {
    HWND control = FindControl(dialog, id);
    if (control == nullptr) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &result) != 0 &&
           result != 0;
}

bool Click(HWND dialog, ControlId id) {
    HWND control = FindControl(dialog, id);
    if (control == nullptr || !IsButtonClass(ClassOf(control)) || !IsWindowEnabled(control)) return false;
    return PostMessageA(control, BM_CLICK, 0, 0) != 0;
}

std::optional<bool> IsChecked(HWND dialog, ControlId id) {
    HWND control = FindControl(dialog, id);
    DWORD_PTR state = 0;
    if (control == nullptr || !IsButtonClass(ClassOf(control)) ||
        !SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state)) {
        return std::nullopt;
    }
    return state == BST_CHECKED;
}

bool Close(HWND dialog) { return PostMessageA(dialog, WM_CLOSE, 0, 0) != 0; }

std::optional<std::vector<ControlId>> TemplateIds(const std::vector<std::string>& modules, const std::string& name,
                                                  std::string& error) {
    const bool numeric = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    const char* resourceName = numeric ? MAKEINTRESOURCEA(std::stoi(name)) : name.c_str();
    for (const std::string& path : modules) {
        zyn::Library module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (!module) {
            error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
            return std::nullopt;
        }
        HRSRC found = FindResourceA(module.get(), resourceName, MAKEINTRESOURCEA(5));  // RT_DIALOG
        if (found == nullptr) continue;
        HGLOBAL loaded = LoadResource(module.get(), found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data == nullptr) break;
        auto ids = TemplateReader(static_cast<const BYTE*>(data), SizeofResource(module.get(), found)).Ids();
        if (!ids) error = "dialog template " + name + " in " + path + " is malformed";
        return ids;
    }
    error = "no dialog template " + name + " in";
    for (const std::string& path : modules) error += " " + path;
    if (modules.empty()) error += " (no resource modules given)";
    return std::nullopt;
}

bool TakeShot(const std::string& command, const std::string& dir, const std::string& name, std::string& error) {
    if (command.empty() || dir.empty()) {
        error = "no screenshot command or directory";
        return false;
    }
    const std::string target = ToUnixPath(dir) + "/" + name + ".png";
    const std::string targetHere = ToWindowsPath(target);
    DeleteFileA(targetHere.c_str());
    // Wine starts a Unix program when CreateProcess is given its path, but
    // hands back no handle to wait on: the command creates the file in one
    // step (a rename) and its appearance says that it is done.
    std::string commandLine = "/bin/sh \"" + command + "\" \"" + target + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        error = "cannot start " + command + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    zyn::Handle process(info.hProcess);
    zyn::Handle thread(info.hThread);
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 10000; Sleep(50)) {
        if (GetFileAttributesA(targetHere.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    }
    error = "no " + target + " after 10 s";
    return false;
}

std::string DescribeDialogs(DWORD pid) {
    std::string out;
    for (HWND dialog : VisibleDialogs(pid)) out += Inspect(dialog).Describe();
    return out.empty() ? "no visible dialogs\n" : out;
}

}  // namespace zynrobot
