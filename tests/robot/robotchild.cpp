// The program of the robot's own tests: one message box (OK and Cancel, a question icon, the text
// "Line one\nLine two", the caption "Robot caption"); its exit code is the button chosen.
// "robotchild fatal CODE" instead reports CODE as a fatal error of line 42, before any variable
// store or language library exists.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "script/zynerror.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc == 3 && std::string(__argv[1]) == "fatal") ZYNERROR_Fatal(std::atoi(__argv[2]), "robotchild", 42);
    return MessageBoxA(nullptr, "Line one\nLine two", "Robot caption", MB_OKCANCEL | MB_ICONQUESTION);
}
