// Control ids of the directory dialogs in the language library: "DLG_GET_DIRECTORY_32",
// "DLG_BROWSE", "DLG_BADPATH_32", "DLG_BADPATH_32_NOT_EMPTY" and "DLG_ABOUT" (the last three
// need only IDOK).
#pragma once

#include "ui/dialog_ids.h"

#define IDC_GETDIR_PATH 1000
#define IDC_GETDIR_BROWSE 502
#define IDC_BROWSE_PATH 1000
#define IDC_BROWSE_TREE_AREA 1003  // placeholder; the tree is created over its rectangle
#define IDC_BROWSE_TREE 101        // created at run time, so no template may use this id
