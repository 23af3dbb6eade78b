// Message boxes by string id, the routines every dialog shares, and the runner
// for a sequence of wizard pages.
#pragma once

#include <windows.h>

inline constexpr int MSG_TEXT_SIZE = 2048;
inline constexpr char MSG_DEFAULT_TITLE[] = "ZYN Install/Uninstall";

inline constexpr int DIALOG_NAME_LENGTH = 120;
inline constexpr int DIALOG_NEXT_COUNT = 5;
inline constexpr DWORD DIALOG_FLAG_NO_BACK = 0x01;
inline constexpr const char* DIALOG_TERMINATE_NAME = "_PROCESS_TERMINATE";

// Results of an entry's show function besides IDOK (Next) and IDCANCEL.
inline constexpr int DIALOG_RESULT_BACK = 500;
inline constexpr int DIALOG_RESULT_FAILED = -1;
inline constexpr int DIALOG_RESULT_STOP = -2;

struct DIALOG_ENTRY {
    char name[DIALOG_NAME_LENGTH];
    int (*show)(int index);
    DWORD flags;
    char next[DIALOG_NEXT_COUNT][DIALOG_NAME_LENGTH];
};

// -1 empties the caption override; any other id loads that string, formats it
// with the arguments and makes it the title of every later message box. 0.
int MSG_SetCaption(int id, ...);
// The caption override; empty when none is set.
const char* MSG_GetCaption();
// Writes the caption override, or the default title when it is empty, into
// buffer (size bytes, terminator included).
void MSG_GetTitle(char* buffer, int size);
// Shows string id formatted with the arguments, style | MB_TASKMODAL, without a
// system menu; returns the button pressed.
int MSG_Box(int id, UINT style, ...);

// Modal dialog from the language library, owned by the main window.
INT_PTR DIALOG_Modal(const char* templateName, DLGPROC procedure, LPARAM parameter);
void DIALOG_FillCaption(HWND dialog);
void DIALOG_Center(HWND dialog);
// For WM_SYSCOMMAND in a dialog procedure: refuses the command, sets the reply
// (1 for the screen saver, 0 otherwise) and returns TRUE (handled).
INT_PTR DIALOG_SysCommand(HWND dialog, WPARAM command);
// Common initialisation of a page of the running sequence.
void DIALOG_InitWizardPage(HWND dialog, int index);
// 0 finished, -1 cancelled by the user, -2 stopped by a page, -2701 no memory.
int DIALOG_RunSequence(DIALOG_ENTRY* entries, int count);
