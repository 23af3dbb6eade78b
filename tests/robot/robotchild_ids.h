// Control ids of the robot's own test form.
#pragma once

#define IDC_FORM_NAME 101
#define IDC_FORM_TYPICAL 102
#define IDC_FORM_CUSTOM 103
#define IDC_FORM_SHORTCUT 104
#define IDC_FORM_MORE 105
#define IDC_FORM_STATUS 106
#define IDC_FORM_DISABLED 107
