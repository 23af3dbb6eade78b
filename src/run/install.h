// The install run from the language choice to the closing message: the section list in
// its fixed order, the exclusivity gate and test pass, the destination dialog with the
// disk-space loop, then the run proper (loginst).
#pragma once

// The whole install: 0, 100 (cancelled), ERROR_INSTALL_NEVER_STARTED or an error code.
int INSTALL_Run();
// 0, or ERROR_INSTALL_NEVER_STARTED after telling the user that an exclusive demo is
// installed.
int INSTALL_CheckExclusive();
