// File associations.
#include "setup.h"

// Not built yet: binding the extensions of the Ext sections, and removing them.
void ApplyAssociations(HWND, bool) {}
