// What every column-cut section handler does the same way: the action check, reading its
// lines as expanded columns, and paths made absolute against the destination directory.
#pragma once

#include <functional>
#include <string>

#include "sections/logfile.h"

using SECTION_TOKEN = char[LOGFILE_TOKEN_SIZE];

// Install and the exclusivity test pass; any other action ends the run (-606).
void SECTION_CheckAction(int action, const char* source);
// Selects the section (missing: fatal) and hands each line's columns to each, expanded
// when expand is set. A non-zero result of each ends the reading with it; 1 at the end.
// Reader and expansion failures are fatal, reported under source.
int SECTION_ForEachLine(const char* source, const char* section, int columns, bool expand,
                        const std::function<int(SECTION_TOKEN* tokens)>& each);
// Hands every value of key to visit, from the last to the first, so that visit may
// delete the value it is given. Log failures are fatal, reported under source.
void SECTION_ForEachValueBackwards(const char* source, ZYNLOG_KEY key,
                                   const std::function<void(const char* name, char* data)>& visit);
// path made absolute against $(DestinationDirectory) within size bytes; fatal when it
// does not fit.
std::string SECTION_DestinationPath(const char* source, const char* path, int size = LOGFILE_DESTINATION_SIZE);
