// The registry lines of Setup.ini, and the key primitives the associations
// and the uninstall use.
#include "setup.h"

// Not built yet: applying the Make and Erase lines.
void ApplyRegistryList(const char*, bool) {}

// Not built yet: one Make line.
void MakeRegistryEntry(const char*) {}

// Not built yet: one Erase line.
void EraseRegistryEntry(const char*) {}

// Not built yet: deleting a key with its subkeys.
void DeleteKeyTree(HKEY, const char*) {}

// Not built yet: deleting a key left empty.
void DeleteKeyIfEmpty(HKEY, const char*) {}

// Not built yet: string values below HKEY_CLASSES_ROOT.
bool SetClassesValue(const char*, const char*) { return false; }
bool RemoveClassesValue(char*) { return false; }
bool DeleteClassesValue(char*) { return false; }
