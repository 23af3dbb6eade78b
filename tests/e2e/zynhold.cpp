// zynhold: keeps a file open without sharing, as a running program that uses it would,
// so that nobody can delete it meanwhile.
//   zynhold FILE RELEASE
// prints "held" once FILE is open, then waits until the file RELEASE exists (at most
// ten minutes) and ends, closing FILE. Exit code 1 when FILE cannot be opened.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot open %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (int i = 0; i < 6000 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    CloseHandle(file);
    return 0;
}
