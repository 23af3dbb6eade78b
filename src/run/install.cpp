// The install sequence.
#include "run/install.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <string>

#include "run/loginst.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logbckup.h"
#include "sections/logdll.h"
#include "sections/logdsk.h"
#include "sections/logfile.h"
#include "sections/logini.h"
#include "sections/loglnch.h"
#include "sections/logmod.h"
#include "sections/logother.h"
#include "sections/logpm.h"
#include "sections/logprtct.h"
#include "sections/logreg.h"
#include "sections/logren.h"
#include "sections/logshell.h"
#include "sections/logvld.h"
#include "sys/sys32.h"
#include "ui/dialog.h"
#include "ui/getdir.h"
#include "ui/language.h"
#include "ui/status.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "install";

// One row per install section, in the order the install pass runs them. A handler is
// inserted after the last entry of its reference handler, so a shared handler keeps
// its sections together. Sections whose handler is not part of this program yet are
// not registered; their row keeps their place.
struct SectionRow {
    const char* name;
    PLIST_HANDLER handler;
    PLIST_HANDLER reference;
};

constexpr SectionRow kSections[] = {
    {"Files", LOGFILE_Install, LOGFILE_Install},
    {"Protection Files", LOGFILE_Install, LOGFILE_Install},
    {"Other Files", LOGOTHER_Install, LOGFILE_Install},
    {"Protection Backup", LOGBCKUP_Install, LOGBCKUP_Install},
    {"Rename", LOGREN_Install, LOGREN_Install},
    {"Ini Settings", LOGINI_Install, LOGINI_Install},
    {"Protection", LOGPRTCT_Install, LOGPRTCT_Install},
    {"Modify Files", LOGMOD_Install, LOGMOD_Install},
    {"Registry32", LOGREG_Install, LOGREG_Install},
    {"Shell", LOGSHELL_Install, LOGSHELL_Install},
    {"PM Info", LOGPM_Install, LOGPM_Install},
    {"Desktop", LOGDSK_Install, LOGDSK_Install},
    {"Validate Files", LOGVLD_Install, LOGVLD_Install},
    {"Register DLLs", LOGDLL_Install, LOGDLL_Install},
    {"Launch", LOGLNCH_Install, LOGLNCH_Install},
};
static_assert(std::size(kSections) == 15);

constexpr char kExclusiveSection[] = "ZYN INSTALL";
constexpr char kExclusiveDemo[] = "EXCLUSIVE DEMO";
constexpr char kExclusivePath[] = "EXCLUSIVE PATH";
constexpr int kExclusiveDemoSize = 256;

// The section list lives exactly as long as one install sequence.
class SectionList {
public:
    SectionList() {
        if (int error = PLIST_Init(); error != 0) ZYNERROR_Fatal(error, kSource, __LINE__);
        for (const SectionRow& row : kSections) {
            if (row.handler == nullptr) continue;
            if (int error = PLIST_InsertAfter(-1, row.name, row.handler, row.reference); error != 0)
                ZYNERROR_Fatal(error, kSource, __LINE__);
        }
    }
    ~SectionList() { PLIST_Terminate(); }
    SectionList(const SectionList&) = delete;
    SectionList& operator=(const SectionList&) = delete;
};

// Script event lines are meaningless while sections are only being inspected.
class EventLinesOff {
public:
    EventLinesOff() { INF_SetEventLines(false); }
    ~EventLinesOff() { INF_SetEventLines(true); }
    EventLinesOff(const EventLinesOff&) = delete;
    EventLinesOff& operator=(const EventLinesOff&) = delete;
};

std::string WinIniPath() {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string path = windows;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path + "\\WIN.INI";
}

// The destination page; 0 when the user went on, -1401 when the user left.
int AskDestination() {
    DIALOG_ENTRY entry{};
    std::strcpy(entry.name, "Get Directory");
    entry.show = GETDIR_Show;
    int result = DIALOG_RunSequence(&entry, 1);
    if (result == -1 || result == -2) return ERROR_INSTALL_NEVER_STARTED;
    if (result < 0) ZYNERROR_Fatal(result, kSource, __LINE__);
    return 0;
}

// A demo counts as exclusive when one of its sections changes something outside the
// destination directory; only then does it claim the machine.
int TestExclusive() {
    EventLinesOff quiet;
    if (PLIST_Run(-1, PLIST_EXCLUSIVE_TEST, 0) < 0) {
        if (int result = INSTALL_CheckExclusive(); result != 0) return result;
        if (int error = VAR_Set("Exclusive", "TRUE"); error != 0) ZYNERROR_Fatal(error, kSource, __LINE__);
    } else if (int error = VAR_Set("Exclusive", "FALSE"); error != 0) {
        ZYNERROR_Fatal(error, kSource, __LINE__);
    }
    return 0;
}

}  // namespace

int INSTALL_CheckExclusive() {
    if (!VAR_Exists("InstallBulletproofing") || !VAR_GetFlag("InstallBulletproofing")) return 0;
    const std::string winIni = WinIniPath();
    char demo[kExclusiveDemoSize] = "";
    char path[SYS_MAX_PATH + 1] = "";
    GetPrivateProfileStringA(kExclusiveSection, kExclusiveDemo, "", demo, sizeof demo, winIni.c_str());
    GetPrivateProfileStringA(kExclusiveSection, kExclusivePath, "", path, sizeof path, winIni.c_str());
    if (demo[0] == '\0' || !SYS_Exists(path)) return 0;
    MSG_SetCaption(-1);
    MSG_Box(IDS_MSG_EXCLUSIVE_DEMO, MB_OK | MB_ICONSTOP, demo);
    return ERROR_INSTALL_NEVER_STARTED;
}

int INSTALL_Run() {
    if (LANGUAGE_Load() != 0) return ERROR_INSTALL_NEVER_STARTED;
    const bool exclusive = VAR_GetFlag("Exclusive") != 0;
    if (exclusive) {
        if (int result = INSTALL_CheckExclusive(); result != 0) return result;
    }
    SectionList sections;
    // Made while the user chooses the destination, so that the copy starts sooner after OK.
    STATUS_Prepare(STATUS_INSTALL);
    if (int result = AskDestination(); result != 0) return result;
    // Too little room sends the user back to choose another destination.
    while (LOGFILE_CheckDiskSpace() != 0) {
        if (int result = AskDestination(); result != 0) return result;
    }
    if (exclusive) {
        if (int result = TestExclusive(); result != 0) return result;
    }
    return LOGINST_Run();
}
