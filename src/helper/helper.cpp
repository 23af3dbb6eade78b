// HELPER.EXE: deletes what the installer or uninstaller could not delete while it ran.
//
//   HELPER.EXE <path of helper.ini>
//
// 1. When the program that started it lies in the helper's own directory (the
//    installer's temporary copy, the uninstaller), wait until that program has ended.
//    Started any other way (RunOnce at the next start of Windows) it does not wait.
// 2. Delete every entry of [Files] File0 .. File<Number-1>: files, and directories
//    once they are empty. Entries still in use are retried for up to a minute.
// 3. Delete helper.ini.
// 4. Remove itself: a running program cannot delete its own file, so a small batch
//    in the temporary directory waits until this process has ended (it reads its
//    input from a pipe that only this process holds), deletes HELPER.EXE, removes the
//    listed directories that held it, and deletes itself.
//
// Exit code: 0 when every listed entry is gone, 1 when some remain, 2 without argument.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRetryIntervalMs = 250;
constexpr DWORD kRetryLimitMs = 60000;
constexpr int kBatchDeleteAttempts = 3000;

// Waits up to ms while counting as idle for WaitForInputIdle: only a wait on the message
// queue does (a mere look at it is not enough for every system).
void WaitIdle(DWORD ms, HANDLE object = nullptr) {
    DWORD count = object != nullptr ? 1 : 0;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD left = ms == INFINITE ? INFINITE : (elapsed >= ms ? 0 : ms - elapsed);
        DWORD rc = MsgWaitForMultipleObjects(count, &object, FALSE, left, QS_ALLINPUT);
        if (rc != WAIT_OBJECT_0 + count) return;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (left == 0) return;
    }
}

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE h = h_;
        h_ = nullptr;
        return h;
    }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_;
};

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// A comparable form of a path: the short form in capitals (entries are written short).
std::string Canonical(const std::string& path) {
    char buffer[1024];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    std::string result = (n == 0 || n >= sizeof buffer) ? path : std::string(buffer);
    while (result.size() > 3 && result.back() == '\\') result.pop_back();
    return Upper(result);
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsInside(const std::string& canonical_path, const std::string& canonical_dir) {
    return canonical_path.size() > canonical_dir.size() + 1 &&
           canonical_path.compare(0, canonical_dir.size(), canonical_dir) == 0 &&
           canonical_path[canonical_dir.size()] == '\\';
}

std::string OwnPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return (n == 0 || n >= sizeof path) ? std::string() : std::string(path);
}

// The argument: everything after the program name, blanks and enclosing quotes removed.
std::string IniArgument(const char* command_tail) {
    std::string arg = command_tail != nullptr ? command_tail : "";
    size_t first = arg.find_first_not_of(" \t");
    size_t last = arg.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    arg = arg.substr(first, last - first + 1);
    if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') arg = arg.substr(1, arg.size() - 2);
    return arg;
}

DWORD ParentProcessId() {
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId();
    for (BOOL ok = Process32First(snapshot.get(), &entry); ok; ok = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
    }
    return 0;
}

std::string MainModulePath(DWORD process_id) {
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id));
    if (!snapshot.valid()) return {};
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    if (!Module32First(snapshot.get(), &module)) return {};
    return module.szExePath;
}

// Waits for the program that started the helper, when that is the program it cleans up after.
void WaitForStarter(const std::string& own_directory) {
    DWORD parent = ParentProcessId();
    // Process id 0 would make the module snapshot describe this very process.
    if (parent == 0 || parent == GetCurrentProcessId()) return;
    // Open first, then check what it is: the id cannot be reused while the handle is held.
    Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, parent));
    if (!process.valid()) process.reset(OpenProcess(SYNCHRONIZE, FALSE, parent));
    if (!process.valid()) return;  // already gone
    std::string image = MainModulePath(parent);
    if (image.empty() || Canonical(DirectoryOf(image)) != own_directory) return;
    WaitIdle(INFINITE, process.get());
}

std::vector<std::string> ReadList(const std::string& ini) {
    std::vector<std::string> entries;
    if (GetFileAttributesA(ini.c_str()) == INVALID_FILE_ATTRIBUTES) return entries;
    int count = static_cast<int>(GetPrivateProfileIntA("Files", "Number", 0, ini.c_str()));
    for (int i = 0; i < count; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "File%d", i);
        char value[1024];
        GetPrivateProfileStringA("Files", key, "", value, sizeof value, ini.c_str());
        if (value[0] != '\0') entries.emplace_back(value);
    }
    return entries;
}

enum class Outcome { Gone, Busy, NotEmpty, Failed };

bool IsInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

Outcome TryDelete(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            return Outcome::Gone;
        }
        return IsInUse(error) ? Outcome::Busy : Outcome::Failed;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    bool is_directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A directory goes only when it is empty: anything else in it was not ours to delete.
    if (is_directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str())) return Outcome::Gone;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Outcome::Gone;
    if (error == ERROR_DIR_NOT_EMPTY) return Outcome::NotEmpty;
    return IsInUse(error) ? Outcome::Busy : Outcome::Failed;
}

// Deletes the entries, retrying those in use; returns what is left.
std::vector<std::string> DeleteAll(std::vector<std::string> pending) {
    std::vector<std::string> failed;
    DWORD start = GetTickCount();
    for (;;) {
        bool progress = false;
        bool busy = false;
        std::vector<std::string> next;
        for (const std::string& path : pending) {
            switch (TryDelete(path)) {
            case Outcome::Gone: progress = true; break;
            case Outcome::Busy: busy = true; next.push_back(path); break;
            case Outcome::NotEmpty: next.push_back(path); break;
            case Outcome::Failed: failed.push_back(path); break;
            }
        }
        pending.swap(next);
        // Directories that stay non-empty while nothing else changes will not empty themselves.
        if (pending.empty() || (!busy && !progress) || GetTickCount() - start >= kRetryLimitMs) break;
        WaitIdle(kRetryIntervalMs);
    }
    failed.insert(failed.end(), pending.begin(), pending.end());
    return failed;
}

void DeleteIni(const std::string& ini) {
    DWORD attributes = GetFileAttributesA(ini.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(ini.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileA(ini.c_str());
}

// The batch language expands %; everything else in a quoted path is literal.
std::string BatchQuoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        out += c;
        if (c == '%') out += '%';
    }
    return out + "\"";
}

std::string RemovalBatch(const std::string& self, const std::vector<std::string>& directories) {
    std::string q = BatchQuoted(self);
    std::string text =
        "@echo off\r\n"
        // Returns when the helper has ended and its end of the pipe is closed.
        "set /p zynwait=\r\n"
        "set zyntries=0\r\n"
        ":again\r\n"
        "del " + q + " >nul 2>nul\r\n"
        "if not exist " + q + " goto gone\r\n"
        "set /a zyntries+=1\r\n"
        "if %zyntries% lss " + std::to_string(kBatchDeleteAttempts) + " goto again\r\n"
        ":gone\r\n";
    for (const std::string& dir : directories) text += "rmdir " + BatchQuoted(dir) + " >nul 2>nul\r\n";
    text += "del \"%~f0\" >nul 2>nul\r\n";
    return text;
}

Handle CreateBatchFile(std::string* path) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) return Handle();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char name[MAX_PATH + 32];
        std::snprintf(name, sizeof name, "%szynhlp%lu_%u.bat", temp, GetCurrentProcessId(), attempt);
        Handle file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            *path = name;
            return Handle(file.release());
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return Handle();
}

bool CanBeDeleted(const std::string& self) {
    // A running program may not be deleted, but opening it for deletion tells whether it
    // could be once it has ended (and so whether the batch has a chance).
    Handle file(CreateFileA(self.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    return file.valid();
}

void RemoveSelf(const std::string& self, std::vector<std::string> directories) {
    DWORD attributes = GetFileAttributesA(self.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(self.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!CanBeDeleted(self)) return;
    // Deepest first, so that a directory is empty by the time its turn comes.
    std::sort(directories.begin(), directories.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });

    std::string batch_path;
    {
        Handle batch = CreateBatchFile(&batch_path);
        if (!batch.valid()) return;
        std::string text = RemovalBatch(self, directories);
        DWORD written = 0;
        if (!WriteFile(batch.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size()) {
            batch.reset();
            DeleteFileA(batch_path.c_str());
            return;
        }
    }

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) {
        DeleteFileA(batch_path.c_str());
        return;
    }
    Handle input(read_end);
    Handle signal(write_end);
    SetHandleInformation(signal.get(), HANDLE_FLAG_INHERIT, 0);
    Handle nul(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));

    char comspec[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
    std::string interpreter = (n == 0 || n >= sizeof comspec) ? std::string("cmd.exe") : std::string(comspec);
    std::string command = "\"" + interpreter + "\" /c \"" + batch_path + "\"";
    std::string directory = DirectoryOf(batch_path);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.get();
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | IDLE_PRIORITY_CLASS,
                        nullptr, directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        DeleteFileA(batch_path.c_str());
        return;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // The pipe's write end stays open until this process ends: its closing is the batch's signal.
    signal.release();
}

int Run(const char* command_tail) {
    std::string ini = IniArgument(command_tail);
    if (ini.empty()) return 2;
    std::string self = OwnPath();
    std::string own_canonical = Canonical(self);
    std::string own_directory = Canonical(DirectoryOf(self));

    WaitForStarter(own_directory);

    // The helper's own file, and directories it still sits in, go last through the batch.
    std::vector<std::string> list;
    std::vector<std::string> around_self;
    for (const std::string& entry : ReadList(ini)) {
        std::string canonical = Canonical(entry);
        if (canonical == own_canonical) continue;
        if (IsInside(own_canonical, canonical)) {
            around_self.push_back(entry);
        } else {
            list.push_back(entry);
        }
    }
    std::vector<std::string> left = DeleteAll(list);
    DeleteIni(ini);
    if (!self.empty()) RemoveSelf(self, around_self);
    return left.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_tail, int) {
    // WinExec holds its caller until the started program waits for input (up to 30 s).
    // Waiting once on an empty queue releases the starter so that it can end.
    WaitIdle(0);
    // No "insert a disk" boxes for entries on removable drives: this program has no user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    try {
        return Run(command_tail);
    } catch (...) {
        return 1;
    }
}
