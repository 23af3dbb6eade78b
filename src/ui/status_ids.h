// Control ids of the status windows: "DLG_STATUS" and "DLG_UNINSTALL_STATUS" come from the
// language library; "DLG_MODELESS" (the please-wait box) is the executable's own and has none.
#pragma once

#define IDC_STATUS_SOURCE_DESC 200
#define IDC_STATUS_DEST_DESC 201
#define IDC_STATUS_FILE_BAR 202  // any child window; its client area is painted as the bar
#define IDC_STATUS_TOTAL_BAR 203
#define IDC_STATUS_SOURCE_PATH 204
#define IDC_STATUS_DEST_PATH 205
#define IDC_UNINSTALL_STATUS_BAR 1001
