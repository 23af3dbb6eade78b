// The text rules for an acceptable destination directory, without the parts that
// ask the running system (the directory's contents, its drive).
#pragma once

#include <string_view>

// What counts as a letter or digit, and how a text is put into capitals, depend
// on the system's code page: the Windows side passes its own, the native build
// a Latin-1 approximation.
struct PATH_CHARSET {
    bool (*is_alnum)(unsigned char c);
    void (*to_upper)(char* text);  // in place, same length
};

// The portable stand-in: ASCII plus the Latin-1 letters.
const PATH_CHARSET& PATH_Latin1Charset();

// Trims trailing blanks (and blanks before a final backslash) in place, then applies
// the rules of drive, characters, empty components and the Windows directories.
// The path is upper-cased in place once it reaches the Windows-directory test.
// Empty directory names are not compared. 1 acceptable, 0 not.
int PATH_CheckText(char* path, std::string_view windows_directory, std::string_view system_directory,
                   const PATH_CHARSET& charset);
