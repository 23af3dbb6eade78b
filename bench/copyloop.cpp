// copyloop: the plain copy the real installer is measured against: every file of a
// tree copied with CopyFileA, folders made on the way.
//   copyloop FROM TO      prints "copied N files in S s"
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int Copy(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> folders;
    int count = 0;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(name);
        } else if (CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE)) {
            ++count;
        } else {
            std::fprintf(stderr, "copyloop: %s: error %lu\n", name.c_str(), GetLastError());
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    for (const std::string& folder : folders) count += Copy(from + "\\" + folder, to + "\\" + folder);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: copyloop FROM TO\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const int count = Copy(argv[1], argv[2]);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("copied %d files in %.3f s\n", count, seconds);
    return 0;
}
