// The line editor of the Modify Files section: finds a line in a CR LF text and replaces
// it, or adds a new line at the beginning or the end. No file access here, so that the
// matching rules are tested on their own.
#pragma once

#include <string>
#include <string_view>

inline constexpr unsigned LOGMOD_BEGINNING = 0x01;
inline constexpr unsigned LOGMOD_END = 0x02;
inline constexpr unsigned LOGMOD_MATCH_EXACT = 0x04;
inline constexpr unsigned LOGMOD_MATCH_FILENAME = 0x08;
inline constexpr unsigned LOGMOD_IGNORE_COMMENTED = 0x10;
inline constexpr unsigned LOGMOD_MATCH_DONT_ADD = 0x20;

// Lines longer than this end the search as if the text ended before them.
inline constexpr size_t LOGMOD_MAX_LINE = 255;

// The flags whose words occur in the operation text (case-sensitive); 0 when none does.
unsigned LOGMOD_ParseFlags(std::string_view operation);

// The text after the last blank, backslash or colon, trailing ones skipped first.
std::string_view LOGMOD_LastPiece(std::string_view line);

struct LOGMOD_EDIT {
    bool matched;  // a line matched the old line
    bool written;  // the new line was written
};

// Edits text: the first line matching old_line is replaced by new_line (or removed when
// new_line is null); without a match new_line goes first (LOGMOD_BEGINNING) or last. An
// empty old_line matches nothing. With LOGMOD_MATCH_DONT_ADD a match leaves the text alone.
LOGMOD_EDIT LOGMOD_EditText(std::string& text, std::string_view old_line, const char* new_line,
                            unsigned flags);
