// Error-text hooks, one per module: each returns "NAME: sentence" for a code of
// its own band and null for any other code. Start-up registers them in a fixed
// order (COMMON_RegisterErrorHooks); ZYNERROR_GetText asks them in that order.
#pragma once

const char* ZYNDISK_ErrorText(int code);
const char* ZYNERROR_ErrorText(int code);
const char* ZYNLOG_ErrorText(int code);
const char* BMPDISP_ErrorText(int code);
const char* COMMON_ErrorText(int code);
const char* DDE_ErrorText(int code);
const char* DIALOG_ErrorText(int code);
const char* EVENT_ErrorText(int code);
const char* INF_ErrorText(int code);
const char* INSTALL_ErrorText(int code);
const char* LANGUAGE_ErrorText(int code);
const char* LOGBCKUP_ErrorText(int code);
const char* LOGCOMN_ErrorText(int code);
const char* LOGDSK_ErrorText(int code);
const char* LOGFILES_ErrorText(int code);
const char* LOGINI_ErrorText(int code);
const char* LOGINST_ErrorText(int code);
const char* LOGLNCH_ErrorText(int code);  // the launch handler; its one code carries the prefix LOG
const char* LOGMOD_ErrorText(int code);
const char* LOGPRTCT_ErrorText(int code);
const char* LOGREG_ErrorText(int code);
const char* LOGUNINS_ErrorText(int code);
const char* MODULE_ErrorText(int code);
const char* PLIST_ErrorText(int code);
const char* STATUS_ErrorText(int code);
const char* STRLIST_ErrorText(int code);
const char* SYS_ErrorText(int code);
const char* UNINS_ErrorText(int code);
const char* VAR_ErrorText(int code);
const char* VAREVAL_ErrorText(int code);
const char* LOGVLD_ErrorText(int code);
const char* LOGDLL_ErrorText(int code);
