// Control ids of "DLG_DISKETTE", the prompt for the next diskette (language library).
#pragma once

#define IDC_DISKETTE_PATH 300  // edit field, preset with the source directory
#define IDC_DISKETTE_NAME 301
#define IDC_DISKETTE_FILE 302  // the file being looked for, shortened to fit
