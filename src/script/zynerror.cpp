#include "script/zynerror.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>

#include "log/zynlog.h"
#include "script/errtext.h"
#include "script/module.h"

namespace {

// Filled once at start-up and never emptied, so no lock and no allocation: the
// table must work before anything else of the program exists.
std::array<ZYNERROR_HOOK, ZYNERROR_MAX_HOOKS> g_hooks{};
int g_hookCount = 0;

constexpr std::string_view kUnknownCodeText = "The following error has occured:";

// Start-up order, which is also the lookup order.
constexpr std::array<ZYNERROR_HOOK, 32> kModuleHooks{
    ZYNDISK_ErrorText,  ZYNERROR_ErrorText, ZYNLOG_ErrorText,   BMPDISP_ErrorText, COMMON_ErrorText,
    DDE_ErrorText,      DIALOG_ErrorText,   EVENT_ErrorText,    INF_ErrorText,     INSTALL_ErrorText,
    LANGUAGE_ErrorText, LOGBCKUP_ErrorText, LOGCOMN_ErrorText,  LOGDSK_ErrorText,  LOGFILES_ErrorText,
    LOGINI_ErrorText,   LOGINST_ErrorText,  LOGLNCH_ErrorText,  LOGMOD_ErrorText,  LOGPRTCT_ErrorText,
    LOGREG_ErrorText,   LOGUNINS_ErrorText, MODULE_ErrorText,   PLIST_ErrorText,   STATUS_ErrorText,
    STRLIST_ErrorText,  SYS_ErrorText,      UNINS_ErrorText,    VAR_ErrorText,     VAREVAL_ErrorText,
    LOGVLD_ErrorText,   LOGDLL_ErrorText,
};

// The error reporter saves the change log before the clean-up list closes it, so
// that the uninstaller can undo what was done before the failure.
void SaveChangeLog() { ZYNLOG_Save(); }

}  // namespace

int ZYNERROR_AddHook(ZYNERROR_HOOK hook) {
    if (hook == nullptr) return 0;
    auto listed = std::span(g_hooks).first(static_cast<size_t>(g_hookCount));
    if (std::ranges::find(listed, hook) != listed.end()) return 0;
    if (g_hookCount == ZYNERROR_MAX_HOOKS) return ERROR_ZYNERROR_TOO_MANY_HOOKS;
    g_hooks[static_cast<size_t>(g_hookCount++)] = hook;
    return 0;
}

int ZYNERROR_HookCount() { return g_hookCount; }

void ZYNERROR_GetText(int code, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string_view text = kUnknownCodeText;
    for (int i = 0; i < g_hookCount; ++i) {
        if (const char* found = g_hooks[static_cast<size_t>(i)](code)) {
            text = found;
            break;
        }
    }
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void ZYNERROR_CloseDown() {
    SaveChangeLog();
    MODULE_RunAll();
}

void COMMON_RegisterErrorHooks() {
    for (ZYNERROR_HOOK hook : kModuleHooks) {
        if (int result = ZYNERROR_AddHook(hook); result != 0) ZYNERROR_Fatal(result, "common", __LINE__);
    }
}
