#include "run/unins.h"

// Placeholder until the uninstaller lands.
int UNINS_Main(HINSTANCE, const char*) { return 0; }
