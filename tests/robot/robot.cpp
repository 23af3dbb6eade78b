// robot.exe: drives the dialogs of another process the way a user would, through real
// window messages, following a step script; a dialog the script did not announce fails it.
//
//   robot run --exe PATH [--args TEXT] --script FILE [options]
//   robot attach --image NAME --script FILE [options]   the first process running NAME
//                               (a file name such as INST.EXE), waited for
// options: --res MODULE (more than once: where templates are looked up; run adds the
// program itself), --exit-timeout S (default 60), --poll MS (between two looks, default
// 50; a benchmark wants a finer one), --shots DIR and --shot-cmd SCRIPT (screenshots: DIR
// is a Unix path; without them, none), --leave (the script may end while the program runs,
// and a failure leaves it running).
// Exit codes: 0 the script passed, 1 it failed, 2 bad usage or script.
//
// Steps, one per line; '#' starts a comment line. Values are bare words or "quoted" (taken
// as they stand, so "C:\DEMO" needs no doubling).
//   expect dialog|messagebox COND...              wait for a new dialog; it becomes current
//   allow dialog|messagebox COND...               from here on, a dialog like this that shows
//                                                 up unasked (a progress window) is no failure
//   select COND...                                make the expected dialog that is still open and
//                                                 meets COND current (the status window below a question)
//   set ID VALUE | click ID                       type into or click a control
//   gone                                          wait until the current dialog has vanished;
//                                                 the one below it becomes current again
//   shot NAME                                     a screenshot NAME.png (a diagnostic, never a failure)
//   exit CODE                                     wait for the process to end with CODE
// COND is caption=TEXT, template=NAME or ID=TEXT (a control's text);
// "~=" instead of "=" means "contains". ID is a number (decimal, 0x hex, -1) or a button
// name: ok cancel abort retry ignore yes no, or "text" for a
// message box's text.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sys/handle.h"

namespace {

// Control ids compared as the 16 bits a dialog template stores: -1 and 0xFFFF are one control.
using Id = uint16_t;

// Long enough for a busy program to answer, short enough that a hung one cannot stop the report.
constexpr UINT kSendTimeoutMs = 3000;
// A new dialog may get its texts just after it shows; judge it only after this, and only
// after several looks in a row (one caught while built or torn down shows other controls).
constexpr DWORD kSettleMs = 500;
constexpr int kStrikes = 4;

struct Options {
    std::vector<std::string> resources;
    DWORD timeoutMs = 15000, exitTimeoutMs = 60000, pollMs = 50;
    std::string shotDir, shotCommand;
    bool leave = false;
};

// ---- windows -------------------------------------------------------------------------------

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT is marshalled across processes and reaches edit controls, whose text
// GetWindowTextA cannot read from outside. Line breaks come back as "\n".
std::string ReadText(HWND window) {
    DWORD_PTR length = 0, got = 0;
    std::string text(SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)
                         ? length + 1 : 0, '\0');
    if (text.empty() || !SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &got)) {
        return {};
    }
    text.resize(std::min<size_t>(got, length));
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

struct Control {
    Id id;
    std::string cls;
    bool visible;
    HWND window;
    // Read when first needed: a busy program answers only when it next looks at its
    // queue, and most looks at a dialog are settled by its caption or control ids.
    const std::string& Text() const {
        if (!text) text = ReadText(window);
        return *text;
    }
    mutable std::optional<std::string> text;
};

struct Dialog {
    HWND window;
    std::string caption;

    // In creation order; looked up when first needed, as a caption settles most looks.
    const std::vector<Control>& Controls() const {
        if (!controls) {
            controls.emplace();
            for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                controls->push_back({static_cast<Id>(GetDlgCtrlID(child)), ClassOf(child),
                                     IsWindowVisible(child) != FALSE, child, std::nullopt});
            }
        }
        return *controls;
    }
    mutable std::optional<std::vector<Control>> controls;

    // A system message box: the text static 0xFFFF, an icon at most, buttons with the standard ids.
    bool IsMessageBox() const {
        int texts = 0, buttons = 0;
        for (const Control& c : Controls()) {
            if (_stricmp(c.cls.c_str(), "Static") == 0) {
                if (c.id == 0xFFFF) ++texts;
                else if (!c.Text().empty()) return false;
            } else if (_stricmp(c.cls.c_str(), "Button") != 0 || c.id < IDOK || c.id > 11) {  // .. IDCONTINUE
                return false;
            } else if (c.visible) {
                ++buttons;
            }
        }
        return texts == 1 && buttons > 0;
    }
    std::vector<Id> SortedIds() const {
        std::vector<Id> ids;
        for (const Control& c : Controls()) ids.push_back(c.id);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    std::string Describe() const {
        std::string out = (IsMessageBox() ? "message box " : "dialog ") + Quote(caption) + "\n";
        for (const Control& c : Controls()) {
            out += "    " + std::to_string(c.id) + " " + c.cls + (c.visible ? " " : " (hidden) ") + Quote(c.Text()) + "\n";
        }
        return out;
    }
};

// A caption comes from the window system's own copy, which another process's window
// gives without a message; controls and their texts are asked for when a check needs them.
Dialog Inspect(HWND dialog) {
    char caption[1024] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    return Dialog{dialog, caption, std::nullopt};
}

bool IsOpen(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

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

// Visible top-level dialogs (class #32770) of process pid, topmost first.
std::vector<HWND> VisibleDialogs(DWORD pid) {
    DialogSearch search{pid, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string DescribeDialogs(DWORD pid) {
    std::string out;
    for (HWND dialog : VisibleDialogs(pid)) out += Inspect(dialog).Describe();
    return out.empty() ? "no visible dialogs\n" : out;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The sorted control ids of dialog template name from the first of modules that has it:
// the template becomes a hidden dialog of the robot's own, whose controls are counted.
std::optional<std::vector<Id>> TemplateIds(const std::vector<std::string>& modules, const std::string& name,
                                           std::string& error) {
    for (const std::string& path : modules) {
        zyn::Library module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        HRSRC found = module ? FindResourceA(module.get(), name.c_str(), MAKEINTRESOURCEA(5)) : nullptr;  // RT_DIALOG
        if (found == nullptr) continue;
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module.get(), found)));
        std::vector<BYTE> copy(data, data + SizeofResource(module.get(), found));
        copy.resize(std::max<size_t>(copy.size(), 4));
        copy[3] &= ~(WS_VISIBLE >> 24);  // the style is the first DWORD of a (classic) template
        zyn::OwnedWindow dialog(CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                           reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                                           QuietDialogProc, 0));
        if (!dialog) return error = "dialog template " + name + " in " + path + " cannot be made", std::nullopt;
        return Inspect(dialog.get()).SortedIds();
    }
    return error = "no dialog template " + name, std::nullopt;
}

// ---- paths and screenshots -----------------------------------------------------------------

// Wine's drive Z: is the Unix root: "/work/x.exe" is "Z:\\work\\x.exe". Other paths stay.
std::string ToWindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// A screenshot of the whole display into dir/name.png (dir a Unix path), by a shell script
// that gets the PNG's Unix path. Wine starts a Unix program from its path but hands back no handle to
// wait on: the script creates the file in one step (a rename), and its appearance says done.
bool TakeShot(const Options& o, const std::string& name, std::string& error) {
    if (o.shotCommand.empty() || o.shotDir.empty()) return error = "no screenshot command or directory", false;
    const std::string target = o.shotDir + "/" + name + ".png";
    const std::string targetHere = ToWindowsPath(target);
    DeleteFileA(targetHere.c_str());
    std::string commandLine = "/bin/sh \"" + o.shotCommand + "\" \"" + target + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return error = "cannot start " + o.shotCommand, false;
    }
    zyn::Handle process(info.hProcess), thread(info.hThread);
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 10000; Sleep(50)) {
        if (GetFileAttributesA(targetHere.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    }
    return error = "no " + target + " after 10 s", false;
}

// ---- parsing -------------------------------------------------------------------------------

struct Condition {
    char key;  // 'c' caption, 't' template, 'i' control text
    Id id;
    bool contains;
    std::string value;
};

struct Step {
    int line = 0;
    std::string source, verb;
    bool messageBox = false;
    std::vector<Condition> conditions;
    Id id = 0;
    std::string value;  // set: the text; shot: the name
    uint32_t exitCode = 0;
};

// The words of a line, quotes and their escapes resolved.
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string& w = words.emplace_back();
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            if (line[i] != '"') {
                w += line[i++];
                continue;
            }
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return error = "unterminated quote", false;
            w += line.substr(i + 1, close - i - 1);
            i = close + 1;
        }
    }
    return true;
}

bool ParseId(const std::string& text, Id& id) {
    static const char* const kNames[] = {"ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
    for (size_t i = 0; i < std::size(kNames); ++i) {
        if (_stricmp(text.c_str(), kNames[i]) == 0) return id = static_cast<Id>(i + 1), true;  // IDOK ..
    }
    if (_stricmp(text.c_str(), "text") == 0) return id = 0xFFFF, true;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value < -32768 || value > 65535) return false;
    return id = static_cast<Id>(value), true;
}

// KEY=VALUE words from first on into conditions.
bool ParseConditions(const std::vector<std::string>& words, size_t first, Step& step, std::string& error) {
    for (size_t i = first; i < words.size(); ++i) {
        // Keys hold no '=': the first one ends the key even where the value was quoted.
        const size_t equals = words[i].find('=');
        if (equals == std::string::npos) return error = "expected KEY=VALUE, found \"" + words[i] + "\"", false;
        Condition c{'c', 0, equals > 0 && words[i][equals - 1] == '~', words[i].substr(equals + 1)};
        const std::string key = words[i].substr(0, equals - (c.contains ? 1 : 0));
        if (key == "template" && !c.contains) {
            c.key = 't';
        } else if (key != "caption") {
            if (!ParseId(key, c.id)) return error = "unknown condition \"" + key + "\"", false;
            c.key = 'i';
        }
        step.conditions.push_back(std::move(c));
    }
    return true;
}

bool ParseStep(const std::vector<std::string>& words, Step& step, std::string& error) {
    const std::string& verb = step.verb = words[0];
    const size_t args = words.size() - 1;
    auto usage = [&error](const char* text) { return error = std::string("usage: ") + text, false; };
    if (verb == "expect" || verb == "allow") {
        if (args < 1 || (words[1] != "dialog" && words[1] != "messagebox")) {
            return usage("expect|allow dialog|messagebox CONDITION...");
        }
        step.messageBox = words[1] == "messagebox";
        return ParseConditions(words, 2, step, error);
    }
    if (verb == "select") return args < 1 ? usage("select CONDITION...") : ParseConditions(words, 1, step, error);
    if (verb == "set" || verb == "click") {
        if (args != (verb == "set" ? 2u : 1u)) return usage(verb == "set" ? "set ID TEXT" : "click ID");
        if (!ParseId(words[1], step.id)) return error = "not a control id: \"" + words[1] + "\"", false;
        if (args == 2) step.value = words[2];
        return true;
    }
    if (verb == "gone") return args == 0 || usage("gone");
    if (verb == "exit") {
        char* end = nullptr;
        step.exitCode = args == 1 ? static_cast<uint32_t>(std::strtol(words[1].c_str(), &end, 0)) : 0;
        return (args == 1 && !words[1].empty() && *end == '\0') || usage("exit CODE");
    }
    if (verb == "shot") {
        if (args != 1 || words[1].find_first_of("/\\") != std::string::npos) return usage("shot NAME (no path)");
        step.value = words[1];
        return true;
    }
    return error = "unknown step \"" + verb + "\"", false;
}

bool ParseScript(std::string_view text, std::vector<Step>& steps, std::string& error) {
    for (int number = 1; !text.empty(); ++number) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        std::vector<std::string> words;
        Step step;
        step.line = number;
        step.source = line.substr(first);
        if (!SplitWords(line, words, error) || !ParseStep(words, step, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

// ---- running -------------------------------------------------------------------------------

std::string CodeText(DWORD code) { return std::to_string(static_cast<int32_t>(code)); }

std::optional<DWORD> ExitCode(HANDLE process) {
    DWORD code = 0;
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) return std::nullopt;
    return code;
}

class Runner {
public:
    Runner(HANDLE process, DWORD pid, const Options& options) : process_(process), pid_(pid), o_(options) {}

    // Empty when every step passed; else why the first failing one failed.
    std::string Run(const std::vector<Step>& steps) {
        start_ = GetTickCount();
        // Every template first: a misspelt name fails before anything runs.
        for (const Step& step : steps) {
            for (const Condition& c : step.conditions) {
                if (c.key != 't' || templates_.count(c.value)) continue;
                std::string error;
                auto ids = TemplateIds(o_.resources, c.value, error);
                if (!ids) return Failure(step, error);
                templates_[c.value] = *ids;
            }
        }
        for (const Step& step : steps) {
            Log(step.line, step.source);
            std::string why = Do(step);
            if (!why.empty()) return Failure(step, why);
        }
        return {};
    }

    void Log(int line, const std::string& text) const {
        printf("robot %8.3fs line %d: %s\n", (GetTickCount() - start_) / 1000.0, line, text.c_str());
        fflush(stdout);
    }

private:
    std::string Do(const Step& step) {
        stack_.erase(std::remove_if(stack_.begin(), stack_.end(), [](HWND w) { return !IsWindow(w); }), stack_.end());
        if (step.verb == "expect") return Expect(step);
        if (step.verb == "allow") return allowed_.push_back(&step), "";
        if (step.verb == "select") return Select(step);
        if (step.verb == "exit") return Exit(step);
        if (step.verb == "shot") {
            std::string error;
            if (!o_.shotDir.empty() && !TakeShot(o_, step.value, error)) Log(step.line, "(screenshot failed: " + error + ")");
            return {};
        }
        if (stack_.empty()) return "no current dialog: expect one first";
        HWND current = stack_.back();
        if (step.verb == "gone") {
            std::string why = Wait(step, [&](const std::vector<HWND>&) { return !IsOpen(current); }, true);
            if (why.empty()) stack_.pop_back();
            return why;
        }
        if (!IsOpen(current)) return "the current dialog has closed";
        HWND control = GetDlgItem(current, step.id);
        const std::string name = "control " + std::to_string(step.id);
        if (control == nullptr) return "no " + name;
        if (step.verb == "set") {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.value.c_str()), SMTO_ABORTIFHUNG,
                                kSendTimeoutMs, &result);
            return ReadText(control) == step.value ? "" : name + " did not take the text";
        }
        if (_stricmp(ClassOf(control).c_str(), "Button") != 0) return name + " (" + ClassOf(control) + ") is not a button";
        if (!IsWindowEnabled(control)) return name + " is disabled";
        // Posted, so a button that opens a modal dialog cannot block the robot.
        PostMessageA(control, BM_CLICK, 0, 0);
        return {};
    }

    std::string Expect(const Step& step) {
        return Wait(step, [&](const std::vector<HWND>& fresh) {
            std::string why;
            for (HWND dialog : fresh) {
                if (Matches(Inspect(dialog), step, why)) return stack_.push_back(dialog), true;
            }
            return false;
        }, false);
    }

    std::string Select(const Step& step) {
        std::string why;
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (!IsOpen(*it) || !Matches(Inspect(*it), step, why)) continue;
            HWND chosen = *it;
            stack_.erase(std::next(it).base());
            stack_.push_back(chosen);
            return {};
        }
        return "no open expected dialog meets this: " + why;
    }

    std::string Exit(const Step& step) {
        std::optional<DWORD> code;
        std::string why = Wait(step, [&](const std::vector<HWND>&) { return (code = ExitCode(process_)).has_value(); }, true);
        if (!why.empty() || *code == step.exitCode) return why;
        return "exit code " + CodeText(*code) + ", wanted " + CodeText(step.exitCode);
    }

    // Polls until done(new dialogs) says so; fails on timeout, on a dialog nobody
    // expected, or (unless endIsFine) on the end of the process.
    template <typename Done>
    std::string Wait(const Step& step, Done done, bool endIsFine) {
        const DWORD begin = GetTickCount();
        std::map<HWND, DWORD> firstSeen;
        std::map<HWND, int> strikes;
        std::set<HWND> allowed;  // judged once: an allowed window stays allowed
        HWND seen = nullptr;
        for (;; Sleep(o_.pollMs)) {
            // Each look waits until the program reads its queue again: its windows change
            // only then, and a program busy copying is not slowed down by the looks.
            DWORD_PTR ignored = 0;
            if (seen != nullptr) SendMessageTimeoutA(seen, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
            std::vector<HWND> visible = VisibleDialogs(pid_), fresh;
            seen = visible.empty() ? nullptr : visible.front();
            for (HWND dialog : visible) {
                if (std::find(stack_.begin(), stack_.end(), dialog) == stack_.end()) fresh.push_back(dialog);
            }
            if (done(fresh)) return {};
            const DWORD now = GetTickCount();
            for (HWND dialog : fresh) {
                if (allowed.count(dialog) || now - firstSeen.emplace(dialog, now).first->second < kSettleMs) continue;
                if (!IsOpen(dialog)) {
                    strikes.erase(dialog);
                } else if (Allowed(dialog)) {
                    allowed.insert(dialog);
                    strikes.erase(dialog);
                } else if (++strikes[dialog] >= kStrikes) {
                    return "unexpected " + Inspect(dialog).Describe();
                }
            }
            if (auto code = endIsFine ? std::nullopt : ExitCode(process_)) {
                return "the process ended with exit code " + CodeText(*code) + " while waiting";
            }
            if (now - begin >= Timeout(step)) {
                char seconds[32];
                snprintf(seconds, sizeof seconds, "%.1f", Timeout(step) / 1000.0);
                return std::string("timed out after ") + seconds + " s; now showing: " + DescribeDialogs(pid_);
            }
        }
    }

    bool Allowed(HWND dialog) {
        std::string why;
        return std::any_of(allowed_.begin(), allowed_.end(), [&](const Step* s) { return Matches(Inspect(dialog), *s, why); });
    }

    // The checks that need no answer from the program come first and end the look at a
    // dialog that fails them, so a busy program's other windows cost the robot nothing.
    bool Matches(const Dialog& dialog, const Step& step, std::string& why) {
        auto fail = [&why](const std::string& text) { return why += (why.empty() ? "" : "; ") + text, false; };
        bool templated = false;
        for (const Condition& c : step.conditions) {
            if (c.key == 't') {
                if (dialog.SortedIds() != templates_[c.value]) return fail("the controls are not those of " + c.value);
                templated = true;
            } else if (c.key == 'c' && (c.contains ? dialog.caption.find(c.value) == std::string::npos
                                                   : dialog.caption != c.value)) {
                return fail("caption is " + Quote(dialog.caption) + (c.contains ? ", wanted it to contain " : ", wanted ") +
                            Quote(c.value));
            }
        }
        // A dialog made from one of the program's templates is no message box.
        if ((step.verb == "expect" || step.verb == "allow") &&
            (templated ? step.messageBox : dialog.IsMessageBox() != step.messageBox)) {
            return fail(step.messageBox ? "not a message box" : "a message box, not a dialog");
        }
        bool all = true;
        for (const Condition& c : step.conditions) {
            if (c.key != 'i') continue;
            const std::vector<Control>& controls = dialog.Controls();
            auto found = std::find_if(controls.begin(), controls.end(), [&](auto& x) { return x.id == c.id; });
            if (found == controls.end()) {
                all = fail("no control " + std::to_string(c.id));
                continue;
            }
            const std::string& actual = found->Text();
            if (c.contains ? actual.find(c.value) == std::string::npos : actual != c.value) {
                all = fail("control " + std::to_string(c.id) + " is " +
                           Quote(actual) + (c.contains ? ", wanted it to contain " : ", wanted ") + Quote(c.value));
            }
        }
        return all;
    }

    DWORD Timeout(const Step& step) const { return step.verb == "exit" ? o_.exitTimeoutMs : o_.timeoutMs; }

    static std::string Failure(const Step& step, const std::string& why) {
        return "line " + std::to_string(step.line) + " (" + step.source + "): " + why;
    }

    HANDLE process_;
    DWORD pid_;
    const Options& o_;
    std::vector<HWND> stack_;  // expected dialogs, newest last
    std::map<std::string, std::vector<Id>> templates_;
    std::vector<const Step*> allowed_;
    DWORD start_ = 0;
};

// The first process whose program file is named image, waiting for one to start: a
// program started by another (a bootstrap) has no id the caller could know.
DWORD FindImage(const std::string& image, DWORD timeoutMs) {
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < timeoutMs; Sleep(100)) {
        zyn::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = snapshot && Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
            if (_stricmp(entry.szExeFile, image.c_str()) == 0) return entry.th32ProcessID;
        }
    }
    return 0;
}

int Usage(const std::string& why) {
    std::cerr << "robot: " << why << " (the usage is at the top of tests/robot/robot.cpp)\n";
    return 2;
}

int Fail(const std::string& why) {
    std::cout << "robot: FAIL " << why << std::endl;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "run" && mode != "attach") return Usage("no command run or attach");
    Options o;
    std::string exe, args, script, image;
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--leave") {
            o.leave = true;
            continue;
        }
        if (i + 1 >= argc) return Usage(flag + " wants a value");
        const std::string value = argv[++i];
        const double number = std::atof(value.c_str());
        if (flag == "--exe") exe = ToWindowsPath(value);
        else if (flag == "--args") args = value;
        else if (flag == "--script") script = value;
        else if (flag == "--image") image = value;
        else if (flag == "--res") o.resources.push_back(ToWindowsPath(value));
        else if (flag == "--shots") o.shotDir = value;
        else if (flag == "--shot-cmd") o.shotCommand = value;
        else if (flag == "--exit-timeout" && number > 0) o.exitTimeoutMs = static_cast<DWORD>(number * 1000);
        else if (flag == "--poll" && number > 0) o.pollMs = static_cast<DWORD>(number);
        else return Usage("bad option " + flag + " " + value);
    }
    if (script.empty() || (mode == "run" ? exe.empty() : image.empty())) return Usage("run wants --exe, attach --image, both --script");

    std::ifstream in(ToWindowsPath(script), std::ios::binary);
    if (!in) return Usage("cannot read " + script);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string error;
    std::vector<Step> steps;
    if (!ParseScript(text, steps, error)) {
        std::cout << "robot: " << script << ": " << error << std::endl;
        return 2;
    }

    zyn::Handle process;
    DWORD pid = 0;
    if (mode == "run") {
        o.resources.insert(o.resources.begin(), exe);
        std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        // No inherited handles: the program under test must not keep the robot's pipes open.
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            return Fail("cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")");
        }
        zyn::Handle thread(info.hThread);
        process.reset(info.hProcess);
        pid = info.dwProcessId;
    } else {
        if ((pid = FindImage(image, o.timeoutMs)) == 0) return Fail("no process runs " + image);
        process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid));
        if (!process) return Fail("cannot open process " + std::to_string(pid));
    }
    std::cout << "robot: process " << pid << std::endl;

    std::string why = Runner(process.get(), pid, o).Run(steps);
    if (why.empty() && !o.leave && !ExitCode(process.get())) why = "the script ended while the process still runs (add an exit step)";
    if (why.empty()) {
        std::cout << "robot: PASS" << std::endl;
        return 0;
    }
    Fail(why);
    if (!o.shotDir.empty() && TakeShot(o, "failure", error)) std::cout << "robot: screenshot failure.png in " << o.shotDir << std::endl;
    if (!o.leave && !ExitCode(process.get())) {
        TerminateProcess(process.get(), 0xDEAD);
        WaitForSingleObject(process.get(), 5000);
    }
    return 1;
}
