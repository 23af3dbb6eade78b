// The install run's path helpers: script paths made absolute against the source or
// destination directory, and the creation of missing directories with their record.
#pragma once

#include "script/errcodes.h"

inline constexpr char LOGINST_ADDED_DIRECTORIES[] = "LOGINSTAddedDirectories";

// A path that holds ":" or "\\" stays as it is; any other becomes the directory, "\"
// and the path. -402 when the result would not fit in size; a variable store code
// when the directory variable cannot be read.
int LOGINST_MakeSourcePath(char* path, int size);
int LOGINST_MakeDestinationPath(char* path, int size);
// Creates every missing directory of "X:\a\b..." (a path beginning with "\\" is left
// alone) and records each one made: in LOGINSTAddedDirectories (joined by ";") while the
// change log is not open, else as a file of the current demo. The first failure's code.
int LOGINST_CreateDirectories(const char* path);
// The install run proper: change log, demo id, unins.ini, then every section in list
// order and the closing message. 0, 100 or ERROR_INSTALL_NEVER_STARTED.
int LOGINST_Run();

// The id of the demo this run installs; set by the install run once the demo is
// registered, read by everything that records files for it. -1 before.
void LOGINST_SetDemoId(int demo_id);
int LOGINST_GetDemoId();
