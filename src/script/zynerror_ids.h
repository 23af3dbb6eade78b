// Control ids of the error, warning and details dialogs the executable carries.
#pragma once

#define IDC_ERROR_TEXT 350
#define IDC_ERROR_DETAILS 351
#define IDC_ERROR_FILE 352
#define IDC_ERROR_LINE 353
#define IDC_ERROR_VALUE 354
