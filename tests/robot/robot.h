// The test robot: drives the dialogs of another process the way a user would,
// through real window messages, and checks what they show.
//
// Two layers: window primitives (find a process's dialogs, read and set control
// texts, click) and a step script run against one process, in which every
// dialog the script did not announce fails the run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sys/handle.h"

namespace zynrobot {

// A process under test: started by the robot or attached to by id.
class Process {
public:
    // Starts exe with the command-line tail args (cwd empty: the robot's own).
    static std::optional<Process> Start(const std::string& exe, const std::string& args, const std::string& cwd,
                                        std::string& error);
    static std::optional<Process> Attach(DWORD pid, std::string& error);

    DWORD Id() const { return id_; }
    // The exit code once the process has ended.
    std::optional<DWORD> ExitCode() const;
    std::optional<DWORD> WaitExit(DWORD timeoutMs) const;
    void Kill() const;

private:
    Process(zyn::Handle handle, DWORD id) : handle_(std::move(handle)), id_(id) {}
    zyn::Handle handle_;
    DWORD id_ = 0;
};

// Control ids are compared as the 16 bits a classic dialog template stores,
// so -1 and 0xFFFF name the same control.
using ControlId = uint16_t;
inline constexpr ControlId kMessageBoxTextId = 0xFFFF;

struct Control {
    HWND hwnd = nullptr;
    ControlId id = 0;
    std::string className;
    std::string text;
    bool visible = false;
};

struct DialogInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::vector<Control> controls;  // in creation (tab) order

    const Control* Find(ControlId id) const;
    // A system message box: one text static 0xFFFF, push buttons with the
    // standard command ids, an icon at most.
    bool IsMessageBox() const;
    std::vector<ControlId> Ids() const;  // sorted, duplicates kept
    // Several lines: caption, then one line per control, for failure reports.
    std::string Describe() const;
};

// Under Wine, Unix paths ("/work/x.exe") and Windows paths convert into each
// other; elsewhere, and for paths that already have the wanted form, the
// path comes back unchanged.
std::string ToWindowsPath(const std::string& path);
std::string ToUnixPath(const std::string& path);

// Visible top-level dialog windows (class #32770) of process pid, topmost first.
std::vector<HWND> VisibleDialogs(DWORD pid);
bool IsOpen(HWND window);  // exists and is visible
DialogInfo Inspect(HWND dialog);
// Window class of control id of dialog; nullopt when there is no such control.
std::optional<std::string> ControlClass(HWND dialog, ControlId id);
// Text of control id of dialog; nullopt when there is no such control.
std::optional<std::string> ControlText(HWND dialog, ControlId id);
bool SetControlText(HWND dialog, ControlId id, const std::string& text);
// Posts the click, so a button that opens a modal dialog cannot block the robot.
// False when the control is missing, disabled or not a button.
bool Click(HWND dialog, ControlId id);
// nullopt when the control is missing or not a button.
std::optional<bool> IsChecked(HWND dialog, ControlId id);
bool Close(HWND dialog);

// The control ids of dialog template name, read from the first of modules
// (executables or resource libraries) that carries it.
std::optional<std::vector<ControlId>> TemplateIds(const std::vector<std::string>& modules, const std::string& name,
                                                  std::string& error);

// ---- step scripts ----------------------------------------------------------
//
// One step per line, '#' starts a comment line. Values are bare words or
// "quoted" (inside quotes: "" is a quote, \n a line break, \\ a backslash,
// any other backslash stays as it is, so "C:\DEMO" needs no doubling).
//
//   expect dialog|messagebox COND... [timeout=S]   wait for a new dialog; it becomes current
//   assert COND...                                 check the current dialog
//   set ID VALUE                                   set a control's text (edit fields)
//   check ID / uncheck ID                          click a check box or radio button into that state
//   click ID                                       click a button of the current dialog
//   close                                          send WM_CLOSE to the current dialog
//   gone [timeout=S]                               wait until the current dialog has vanished;
//                                                  the dialog below it becomes current again
//   select COND...                                 make an expected dialog that is still open
//                                                  current again (the status window below a
//                                                  question); the others keep their order
//   shot NAME                                      take a screenshot NAME.png
//   exit CODE [timeout=S]                          wait for the process to end with CODE
//   allow dialog|messagebox COND...                from here on, a dialog like this that
//                                                  shows up unasked (a progress window
//                                                  that may come and go) is no failure
//
// COND is caption=TEXT, template=NAME or ID=TEXT (a control's text); "~="
// instead of "=" means "contains". ID is a number (decimal, 0x hex, -1) or a
// button name: ok cancel abort retry ignore yes no close help tryagain
// continue, or "text" for a message box's text. Texts compare with line
// breaks as "\n". While any step waits, a dialog that is neither expected
// nor already known fails the run.

enum class Verb { Expect, Assert, Set, Check, Uncheck, Click, Close, Gone, Shot, Exit, Allow, Select };
enum class DialogKind { Dialog, MessageBox };

struct Condition {
    enum class Key { Caption, Template, Control };
    Key key = Key::Caption;
    ControlId id = 0;
    bool contains = false;
    std::string value;
};

struct Step {
    int line = 0;
    std::string source;  // the line as written, for reports
    Verb verb = Verb::Expect;
    DialogKind kind = DialogKind::Dialog;
    std::vector<Condition> conditions;
    ControlId id = 0;
    std::string value;       // set: the text; shot: the name
    uint32_t exitCode = 0;
    DWORD timeoutMs = 0;     // 0: the run's default
};

// Parses a whole script; on failure error names the line.
bool ParseScript(std::string_view text, std::vector<Step>& steps, std::string& error);

struct RunOptions {
    std::vector<std::string> resourceModules;  // where templates are looked up
    DWORD timeoutMs = 15000;                   // default wait of expect and gone
    DWORD exitTimeoutMs = 60000;               // default wait of exit
    DWORD pollMs = 50;                         // between two looks at the dialogs
    std::string shotCommand;                   // Unix path of a program taking the PNG path
    std::string shotDir;                       // Unix or Windows path; empty: shots are skipped
    std::ostream* log = nullptr;               // one line per step
};

struct RunResult {
    bool ok = false;
    int line = 0;         // the failing step's line
    std::string message;  // why it failed
};

// Runs steps against process. Does not end the process on failure: the caller decides.
RunResult RunScript(const Process& process, const std::vector<Step>& steps, const RunOptions& options);

// Takes a screenshot of the whole display into dir/name.png with command, a
// shell script that gets the PNG's Unix path and must create it in one step.
bool TakeShot(const std::string& command, const std::string& dir, const std::string& name, std::string& error);

// A short description of every visible dialog of pid.
std::string DescribeDialogs(DWORD pid);

}  // namespace zynrobot
