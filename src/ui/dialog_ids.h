// Control ids shared by every wizard page (besides IDOK and IDCANCEL).
#pragma once

#define IDC_WIZARD_BACK 500
