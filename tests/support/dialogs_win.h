// Answers the modal dialogs and message boxes a test's code opens on its own thread,
// from a script of answers given in advance, and records what each one showed.
// The error and warning dialogs are left to the answerer of testsupport.h; modeless
// windows (the status window, the please-wait box) are left alone.
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
#include "sys/handle.h"
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
    std::vector<int> disabled;
    bool systemMenu = false;
    // What tells a message box from a form: unnamed controls, other statics, other controls.
    int unnamed = 0;
    int statics = 0;
    int others = 0;
};

class DialogScript {
public:
    DialogScript(std::initializer_list<DialogAnswer> answers = {}) : answers_(answers.begin(), answers.end()) {
        Current() = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProc, nullptr, GetCurrentThreadId());
    }
    ~DialogScript() {
        UnhookWindowsHookEx(hook_);
        Current() = nullptr;
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    void Add(DialogAnswer answer) { answers_.push_back(std::move(answer)); }
    // Dialogs that were answered, in the order they came up.
    const std::vector<DialogShown>& Answered() const { return answered_; }
    size_t Unanswered() const { return answers_.size(); }

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

    // A system message box has one unnamed text, an icon at most (a static whose id
    // differs between systems) and standard buttons.
    static BOOL CALLBACK CollectChild(HWND child, LPARAM lparam) {
        auto* shown = reinterpret_cast<DialogShown*>(lparam);
        const int id = GetDlgCtrlID(child) & 0xFFFF;
        char type[32] = "";
        GetClassNameA(child, type, sizeof type);
        shown->controls.emplace(id, Text(child));  // of the unnamed statics, the first
        if (id == 0xFFFF) ++shown->unnamed;
        else if (lstrcmpiA(type, "Static") == 0) ++shown->statics;
        else if (id < IDOK || id > IDCONTINUE) ++shown->others;
        if (!IsWindowEnabled(child)) shown->disabled.push_back(id);
        return TRUE;
    }

    void OnInit(HWND dialog) {
        // The error reporter's dialogs have their own answerer.
        if (GetDlgItem(dialog, 350) != nullptr && GetDlgItem(dialog, 351) != nullptr) return;
        DialogShown seen;
        seen.caption = Text(dialog);
        seen.systemMenu = (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
        EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&seen));
        seen.messageBox = seen.unnamed == 1 && seen.statics <= 1 && seen.others == 0;
        if (seen.messageBox) seen.text = seen.controls[0xFFFF];
        // The product's modeless windows: the status window and the please-wait box.
        if (seen.controls.empty() || seen.controls.count(202) != 0 || seen.controls.count(1001) != 0) return;
        DialogAnswer answer;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        } else {
            ADD_FAILURE() << "unexpected dialog \"" << seen.caption << "\" " << seen.text;
            answer.command = GetDlgItem(dialog, IDYES) ? IDYES : GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL;
            // A loop of dialogs that nobody expects would never end.
            if (++unexpected_ > 20) ExitProcess(3);
        }
        for (const auto& [id, text] : answer.texts) SetDlgItemTextA(dialog, id, text.c_str());
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer.command), 0);
        if (HWND owner = GetWindow(dialog, GW_OWNER); answer.ownerCommand != 0 && owner != nullptr) {
            for (const auto& [id, text] : answer.ownerTexts) SetDlgItemTextA(owner, id, text.c_str());
            PostMessageA(owner, WM_COMMAND, static_cast<WPARAM>(answer.ownerCommand), 0);
        }
        answered_.push_back(std::move(seen));
    }

    static LRESULT CALLBACK AfterProc(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HC_ACTION && Current() != nullptr) {
            const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
            if (message->message == WM_INITDIALOG) Current()->OnInit(message->hwnd);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    std::deque<DialogAnswer> answers_;
    std::vector<DialogShown> answered_;
    int unexpected_ = 0;
    HHOOK hook_ = nullptr;
};

// Loads a language library built beside the test executable and hands it to the
// language module for the object's life.
class LanguageLibrary {
public:
    explicit LanguageLibrary(const char* name = "english.dll") : library_(LoadLibraryA(BesideTests(name).c_str())) {
        LANGUAGE_SetInstance(library_.get());
    }
    ~LanguageLibrary() { LANGUAGE_SetInstance(nullptr); }
    HMODULE get() const { return library_.get(); }

private:
    zyn::Library library_;
};

}  // namespace zyntest
