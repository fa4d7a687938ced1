// The uninstall entry, and the uninstall's removal of what was installed.
#include "setup.h"

// Not built yet: the entry in the system's uninstall list.
void RegisterUninstall() {}

// Not built yet: removing the uninstall entry and the settings keys.
void RemoveRegistration() {}

// Not built yet: removing the recorded files and folders.
void RemoveInstalledFiles() {}

// Not built yet: the list of what was left behind.
size_t ListRemainingItems(char*) { return 0; }
