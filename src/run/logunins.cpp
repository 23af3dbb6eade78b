// The uninstall's progress count.
#include "run/logunins.h"

#include "ui/status.h"

namespace {

int g_total = 0;
int g_done = 0;

}  // namespace

void LOGUNINS_SetProgressTotal(int total) {
    g_total = total;
    g_done = 0;
}

void LOGUNINS_Progress(int steps) {
    g_done += steps;
    STATUS_SetPercent(static_cast<int>(static_cast<long long>(g_done) * 100 / (g_total == 0 ? 1 : g_total)));
}

// Placeholder until the uninstall replay lands.
int LOGUNINS_Run() { return 0; }
