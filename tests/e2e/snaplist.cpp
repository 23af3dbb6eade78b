// snaplist: lists a directory tree as Windows sees it, for the machine snapshots of
// the end-to-end scenarios. One line per entry below ROOT, depth first:
//   F <attributes> <size> <path>     D <attributes> - <path>
// attributes are the letters RHSA of those set, "-" for none; paths are relative to
// ROOT with backslashes. Wine keeps hidden, system and archive in extended file
// attributes that only the Windows side reads back reliably.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Letters(DWORD attributes) {
    std::string out;
    if (attributes & FILE_ATTRIBUTE_READONLY) out += 'R';
    if (attributes & FILE_ATTRIBUTE_HIDDEN) out += 'H';
    if (attributes & FILE_ATTRIBUTE_SYSTEM) out += 'S';
    if (attributes & FILE_ATTRIBUTE_ARCHIVE) out += 'A';
    return out.empty() ? "-" : out;
}

void Walk(const std::string& root, const std::string& relative) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = relative + name;
        const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Links (the prefix's Desktop, Documents) lead out of the drive.
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (directory) {
            std::printf("D %s - %s\n", Letters(found.dwFileAttributes).c_str(), path.c_str());
            if (!link) Walk(root, path + "\\");
        } else {
            const unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            std::printf("F %s %llu %s\n", Letters(found.dwFileAttributes).c_str(), size, path.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = argc == 2 ? argv[1] : "";
    if (root.empty() || root.back() != '\\') root += '\\';
    Walk(root, "");
    return 0;
}
