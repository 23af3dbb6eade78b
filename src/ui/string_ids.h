// String ids of the language libraries. Every text is a printf format: the comment after a
// message id lists the arguments its callers pass, in order, and a text may use fewer
// placeholders but never more. Titles, button captions and the error introduction take none
// and must not contain a percent sign at all.
#pragma once

// Titles (message-box and please-wait captions).
#define IDS_TITLE_INSTALL_CANCELLED 400
#define IDS_TITLE_UNINSTALL 401
#define IDS_TITLE_NO_DISK_SPACE 408
#define IDS_TITLE_INSTALL_DONE 413
#define IDS_TITLE_CONFIRM_UNINSTALL 417
#define IDS_TITLE_UNINSTALL_DONE 419
#define IDS_TITLE_FILES_EXIST 450
#define IDS_TITLE_CANCEL 452
#define IDS_TITLE_DESTINATION 501
#define IDS_TITLE_CHECKING_SPACE 755
#define IDS_TITLE_PROGRAM_NOT_STARTED 3003
#define IDS_TITLE_EARLIER_INSTALL 3007
#define IDS_TITLE_RESTART 3100
#define IDS_TITLE_LAUNCH_WAIT 3104

// Messages.
#define IDS_MSG_NO_DISK_SPACE 409         // %s destination directory
#define IDS_MSG_INSTALL_DONE 414          // %s application name
#define IDS_MSG_INSTALL_CANCELLED 415     // %s application name
#define IDS_MSG_CONFIRM_UNINSTALL 418     // %s application name
#define IDS_MSG_UNINSTALL_DONE 420        // %s application name
#define IDS_MSG_UNINSTALL_FAILED 421      // %s application name
#define IDS_MSG_FILES_EXIST 451           // none (one caller passes an empty %s, the other nothing)
#define IDS_MSG_CLOSE_REFUSED 453         // none
#define IDS_MSG_ROLLBACK 454              // none
#define IDS_MSG_CONFIRM_CANCEL 455        // none
#define IDS_MSG_DEST_IS_SOURCE 500        // none
#define IDS_MSG_DEST_EMPTY 502            // none
#define IDS_MSG_DRIVE_UNDETERMINED 503    // none; 503 to 509 follow the drive classes 0 to 6
#define IDS_MSG_DRIVE_REMOVABLE 504       // none
#define IDS_MSG_DRIVE_FIXED 505           // none
#define IDS_MSG_DRIVE_NETWORK 506         // none
#define IDS_MSG_DRIVE_CDROM 507           // none
#define IDS_MSG_DRIVE_FLOPPY 508          // none
#define IDS_MSG_DRIVE_RAMDISK 509         // none
#define IDS_MSG_DRIVE_INVALID 510         // none
#define IDS_MSG_ERROR_INTRO 651           // loaded as it stands, never formatted
#define IDS_MSG_CHECKING_SPACE 756        // none
#define IDS_MSG_SHELL_MISSING 757         // %s shell program
#define IDS_MSG_EXCLUSIVE_DEMO 2000       // %s name of the installed exclusive demo
#define IDS_MSG_FILE_MISSING 3002         // %s path of the missing file
#define IDS_MSG_SUPPORT_NOT_STARTED 3004  // %u value returned by the start, %s command line
#define IDS_MSG_PROGRAM_NOT_STARTED 3006  // %s program
#define IDS_MSG_EARLIER_INSTALL 3008      // %s name of the demo installed there before
#define IDS_MSG_RESTART_WINDOWS 3101      // none
#define IDS_MSG_RESTART_SYSTEM 3102       // none
#define IDS_MSG_RESTART_UNINSTALL 3103    // none
#define IDS_MSG_LAUNCH_WAIT 3105          // %s description of what is being installed

// Wizard button captions (read into 255-byte buffers), used where a template leaves them empty.
#define IDS_BUTTON_FINISH 751
#define IDS_BUTTON_BACK 752
#define IDS_BUTTON_NEXT 753
#define IDS_BUTTON_CANCEL 754
