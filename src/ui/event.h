// Script event lines: "{NAME, parameters...}" among the lines of a section, handed
// over by the script reader when the install pass reaches them. They switch the
// billboard pictures on and off.
#pragma once

#include "script/errcodes.h"

inline constexpr int EVENT_MAX_LINE = 256;           // an event line must be shorter
inline constexpr int EVENT_PICTURE_NAME_TAKEN = 100;  // characters of a picture name read

// Carries out one event line (with or without its braces). -1701 for a line of 256
// characters or more; an unknown event (-1704) or missing parameters (-2501) are fatal.
int EVENT_Process(const char* line);

// The event tokenizer: text starts a new line (null continues it). Tokens are split at
// commas outside double quotes; blanks around a token are dropped, quotes and
// backslashes stay. -1701 when a token needs more than size - 2 characters, -1702 when
// no token is left, -1703 when no text was ever given. One position per process.
int EVENT_NextToken(const char* text, char* output, int size);

// What an event line asks for, once read; the portable half of EVENT_Process.
enum class EVENT_KIND { Testing, AddGraphic, RemoveGraphic };

struct EVENT_COMMAND {
    EVENT_KIND kind = EVENT_KIND::Testing;
    char name[EVENT_PICTURE_NAME_TAKEN + 1] = "";  // the picture (add and remove)
    int x = 0;
    int y = 0;
};

// Reads line into command: 0, -1701 (line too long), -1704 (no such event) or -2501
// (a parameter is missing or x, y are not numbers). For TESTING_TYPE the tokens after
// the name go to the debugger output here.
int EVENT_ParseLine(const char* line, EVENT_COMMAND* command);
