// A program for the robot's own tests: message boxes and plain exits.
//   robotchild msgbox FLAGS CAPTION TEXT   exit code: the button chosen; '|' in TEXT breaks the line
//   robotchild twice                       two boxes in a row; exit code first * 10 + second
//   robotchild exit N                      ends at once with N
//   robotchild fatal CODE                  reports CODE as a fatal error of line 42, before
//                                          any variable store or language library exists
#include <windows.h>

#include <cstdlib>
#include <string>

#include "script/zynerror.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string mode = __argc > 1 ? __argv[1] : "";
    if (mode == "msgbox" && __argc == 5) {
        std::string text = __argv[4];
        for (char& c : text) c = c == '|' ? '\n' : c;
        return MessageBoxA(nullptr, text.c_str(), __argv[3], static_cast<UINT>(std::strtoul(__argv[2], nullptr, 0)));
    }
    if (mode == "twice") {
        const int first = MessageBoxA(nullptr, "First question?", "Robot", MB_YESNO);
        return first * 10 + MessageBoxA(nullptr, "Second question?", "Robot", MB_YESNO);
    }
    if (mode == "exit" && __argc == 3) return std::atoi(__argv[2]);
    if (mode == "fatal" && __argc == 3) ZYNERROR_Fatal(std::atoi(__argv[2]), "robotchild", 42);
    return 99;
}
