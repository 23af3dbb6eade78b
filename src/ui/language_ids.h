// Radio buttons of "DLG_LANGUAGE" (the executable's own template). A button's id minus
// IDC_LANGUAGE_FIRST is the language index; the template carries buttons for seven of them.
#pragma once

#define IDC_LANGUAGE_FIRST 1200
#define IDC_LANGUAGE_ENGLISH 1200
#define IDC_LANGUAGE_CZECH 1201
#define IDC_LANGUAGE_DUTCH 1202
#define IDC_LANGUAGE_FRENCH 1203
#define IDC_LANGUAGE_GERMAN 1204
#define IDC_LANGUAGE_ITALIAN 1205
#define IDC_LANGUAGE_JAPANESE 1206
#define IDC_LANGUAGE_POLISH 1207
#define IDC_LANGUAGE_PORTUGUESE 1208
#define IDC_LANGUAGE_RUSSIAN 1209
#define IDC_LANGUAGE_SPANISH 1210
#define IDC_LANGUAGE_LAST 1210
