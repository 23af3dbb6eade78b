// The script checker for authors: reads an install script with the engine's
// own reader and variable store and reports, with line numbers, what would
// otherwise stop an install half-way with a fatal error.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

enum ZYNCHECK_SEVERITY : unsigned char { ZYNCHECK_ERROR, ZYNCHECK_WARNING };

struct ZYNCHECK_FINDING {
    int line;  // from 1
    ZYNCHECK_SEVERITY severity;
    std::string text;
};

// Checks the script text (the file's bytes). Findings come sorted by line.
// Returns 0, or the reader's or the store's code when they cannot be set up.
// Uses the process-wide reader and variable store and leaves both terminated.
int ZYNCHECK_CheckText(std::string_view text, std::vector<ZYNCHECK_FINDING>* findings);

// Expands token as a section handler does (VAR_Substitute with size 255) with
// the variables now in the store. Unlike the handlers' path, a block that does
// not parse or evaluate comes back as its code instead of ending the process.
int ZYNCHECK_Expand(const char* token, char* buffer, size_t size);

// Starts a store holding only the assignments ("NAME=VALUE" or "$(NAME)=VALUE";
// without "=" the value is empty), expands token into result and terminates the
// store. 0, or the code of the failing set or expansion.
int ZYNCHECK_EvalToken(const char* token, std::span<const std::string> assignments, std::string* result);
