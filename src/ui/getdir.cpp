#include "ui/getdir.h"

// Placeholders until directory selection lands.
int GETDIR_Show(int) { return 1; }
void ABOUT_Show() {}
