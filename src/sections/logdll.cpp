// The Register DLLs section.
#include "sections/logdll.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/section.h"
#include "sys/handle.h"

namespace {

constexpr char kSource[] = "logdll";
constexpr int kColumns = 4;
constexpr int kPatternSize = 270;
constexpr uint32_t kLibraryFiles = 0xA7;

int g_demoId = -1;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

using ServerEntry = HRESULT(STDAPICALLTYPE*)();

// Loads the library, calls one of its registration entries and frees it again.
int CallEntry(const char* library, const char* entry, int missing, int failed) {
    zyn::Library module(LoadLibraryA(library));
    if (!module) return ERROR_LOGDLL_UNABLE_TO_LOAD_DLL;
    auto call = reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(GetProcAddress(module.get(), entry)));
    if (call == nullptr) return missing;
    return call() != S_OK ? failed : 0;
}

}  // namespace

int LOGDLL_RegisterStep(ZYNDISK_WALK* record) {
    Check(CallEntry(record->source, "DllRegisterServer", ERROR_LOGDLL_REGISTER_PROC_NOT_FOUND,
                    ERROR_LOGDLL_REGISTER_FAILED),
          __LINE__);
    if (record->extra != 0) {
        ZYNLOG_KEY demo = nullptr, key = nullptr;
        Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
        Check(ZYNLOG_CreateKey(demo, LOGDLL_KEY, &key), __LINE__);
        Check(ZYNLOG_SetValue(key, record->source, std::to_string(g_demoId).c_str()), __LINE__);
    }
    return 0;
}

int LOGDLL_Unregister(const char* library) {
    return CallEntry(library, "DllUnregisterServer", ERROR_LOGDLL_UNREGISTER_PROC_NOT_FOUND,
                     ERROR_LOGDLL_UNREGISTER_FAILED);
}

int LOGDLL_Install(int demo_id, const char* section, int action) {
    if (action == PLIST_EXCLUSIVE_TEST) return 0;
    if (action != PLIST_INSTALL) ZYNERROR_Fatal(ERROR_PLIST_UNKNOWN_ACTION, kSource, __LINE__);
    ZYNLOG_KEY demo = nullptr;
    Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
    g_demoId = demo_id;
    return SECTION_ForEachLine(kSource, section, kColumns, true, [](SECTION_TOKEN* tokens) {
        if (!COMMON_IsTrue(tokens[3])) return 0;
        const std::string pattern = SECTION_DestinationPath(kSource, tokens[0], kPatternSize);
        Check(ZYNDISK_Walk(LOGDLL_RegisterStep, pattern.c_str(), kLibraryFiles, "", 0,
                           COMMON_IsTrue(tokens[1]) ? ZYNDISK_RECURSE : 0, COMMON_IsTrue(tokens[2]) ? 1 : 0),
              __LINE__);
        return 0;
    });
}

int LOGDLL_Uninstall(ZYNLOG_KEY key, int) {
    SECTION_ForEachValueBackwards(kSource, key, [key](const char* name, char*) {
        // A library that is gone or refuses is passed over: its record is spent all the same.
        LOGDLL_Unregister(name);
        Check(ZYNLOG_DeleteValue(key, name), __LINE__);
        LOGUNINS_Progress(1);
    });
    return 0;
}
