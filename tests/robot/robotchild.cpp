// The program of the robot's own tests: one message box (OK and Cancel, a question icon, the text
// "Line one\nLine two", the caption "Robot caption"); its exit code is the button chosen.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return MessageBoxA(nullptr, "Line one\nLine two", "Robot caption", MB_OKCANCEL | MB_ICONQUESTION);
}
