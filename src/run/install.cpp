#include "run/install.h"

#include "script/errcodes.h"

// Placeholder until the install sequence lands.
int INSTALL_Run() { return ERROR_INSTALL_NEVER_STARTED; }
int INSTALL_CheckExclusive() { return 0; }
