// Answers the modal dialogs and message boxes a test's code opens on its own thread,
// from a script of answers given in advance, and records what each one showed.
// The error and warning dialogs are left to the answerer of testsupport.h; modeless
// windows (the status window, the please-wait box) are recorded but not answered.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/process_win.h"
#include "ui/language.h"

namespace zyntest {

struct DialogAnswer {
    int command = IDOK;                     // posted as WM_COMMAND once the texts are set
    std::map<int, std::string> texts = {};  // control id -> text typed into it first
    // For a dialog that leaves its owner open (a refusal over a form): what to do
    // with the owner next, after this dialog has closed. 0: nothing.
    int ownerCommand = 0;
    std::map<int, std::string> ownerTexts = {};
};

struct DialogShown {
    std::string caption;
    std::string text;  // a message box's text (control 0xFFFF)
    std::map<int, std::string> controls;
    bool messageBox = false;
    int unnamed = 0;         // controls with the id 0xFFFF
    std::vector<int> icons;  // other statics
    std::vector<int> disabled;
    bool answered = false;
    bool systemMenu = false;
    HWND owner = nullptr;
};

class DialogScript {
public:
    DialogScript() : DialogScript(std::initializer_list<DialogAnswer>{}) {}
    DialogScript(std::initializer_list<DialogAnswer> answers) : answers_(answers.begin(), answers.end()) {
        Current() = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProc, nullptr, GetCurrentThreadId());
    }
    ~DialogScript() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        Current() = nullptr;
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    void Add(DialogAnswer answer) { answers_.push_back(std::move(answer)); }
    // Dialogs that were answered, in the order they came up.
    std::vector<DialogShown> Answered() const {
        std::vector<DialogShown> result;
        for (const DialogShown& d : shown) {
            if (d.answered) result.push_back(d);
        }
        return result;
    }
    size_t Unanswered() const { return answers_.size(); }

    std::vector<DialogShown> shown;
    int unexpected = 0;

private:
    static DialogScript*& Current() {
        static DialogScript* current = nullptr;
        return current;
    }

    static std::string Text(HWND window) {
        char text[4096] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    static BOOL CALLBACK CollectChild(HWND child, LPARAM lparam) {
        auto* shown = reinterpret_cast<DialogShown*>(lparam);
        int id = GetDlgCtrlID(child) & 0xFFFF;
        // Several unnamed statics share the id 0xFFFF: keep the first, count them all.
        if (!shown->controls.count(id)) shown->controls[id] = Text(child);
        if (id == 0xFFFF) ++shown->unnamed;
        char type[32] = "";
        GetClassNameA(child, type, sizeof type);
        if (id != 0xFFFF && lstrcmpiA(type, "Static") == 0) shown->icons.push_back(id);
        if (!IsWindowEnabled(child)) shown->disabled.push_back(id);
        return TRUE;
    }

    // A system message box: one unnamed text, an icon at most (a static whose id
    // differs between systems), standard buttons.
    static bool IsMessageBox(const DialogShown& seen) {
        if (seen.unnamed != 1 || seen.icons.size() > 1) return false;
        for (const auto& entry : seen.controls) {
            int id = entry.first;
            bool icon = !seen.icons.empty() && id == seen.icons.front();
            if (id != 0xFFFF && !icon && (id < IDOK || id > IDCONTINUE)) return false;
        }
        return true;
    }

    void OnInit(HWND dialog) {
        // The error reporter's dialogs have their own answerer.
        if (GetDlgItem(dialog, 350) != nullptr && GetDlgItem(dialog, 351) != nullptr) return;
        DialogShown seen;
        seen.caption = Text(dialog);
        seen.owner = GetWindow(dialog, GW_OWNER);
        seen.systemMenu = (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
        EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&seen));
        seen.messageBox = IsMessageBox(seen);
        if (seen.messageBox) seen.text = seen.controls[0xFFFF];
        // Modeless windows of the product: the status window and the please-wait box.
        bool modeless = seen.controls.empty() || seen.controls.count(202) != 0 || seen.controls.count(1001) != 0;
        if (!modeless) {
            seen.answered = true;
            DialogAnswer answer;
            if (!answers_.empty()) {
                answer = answers_.front();
                answers_.pop_front();
            } else {
                ++unexpected;
                ADD_FAILURE() << "unexpected dialog \"" << seen.caption << "\" " << seen.text;
                answer.command = GetDlgItem(dialog, IDYES) ? IDYES : GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL;
                // A loop of dialogs that nobody expects would never end.
                if (unexpected > 20) ExitProcess(3);
            }
            for (const auto& [id, text] : answer.texts) SetDlgItemTextA(dialog, id, text.c_str());
            PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer.command), 0);
            if (answer.ownerCommand != 0 && seen.owner != nullptr) {
                for (const auto& [id, text] : answer.ownerTexts) SetDlgItemTextA(seen.owner, id, text.c_str());
                PostMessageA(seen.owner, WM_COMMAND, static_cast<WPARAM>(answer.ownerCommand), 0);
            }
        }
        shown.push_back(std::move(seen));
    }

    static LRESULT CALLBACK AfterProc(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HC_ACTION && Current() != nullptr) {
            const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
            if (message->message == WM_INITDIALOG) Current()->OnInit(message->hwnd);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    std::deque<DialogAnswer> answers_;
    HHOOK hook_ = nullptr;
};

// Loads a language library built beside the test executable and hands it to the
// language module for the object's life.
class LanguageLibrary {
public:
    explicit LanguageLibrary(const char* name = "english.dll") {
        library_ = LoadLibraryA(BesideTests(name).c_str());
        LANGUAGE_SetInstance(library_);
    }
    ~LanguageLibrary() {
        LANGUAGE_SetInstance(nullptr);
        if (library_ != nullptr) FreeLibrary(library_);
    }
    LanguageLibrary(const LanguageLibrary&) = delete;
    LanguageLibrary& operator=(const LanguageLibrary&) = delete;
    HMODULE get() const { return library_; }

private:
    HMODULE library_ = nullptr;
};

}  // namespace zyntest
