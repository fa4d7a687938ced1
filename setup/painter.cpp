// Drawing commands on GDI: the backdrop and the read-me pages.
#include "setup.h"

// Not built yet: the backdrop's drawing commands.
void PaintBackSection(HDC, const RECT&, const char*, const char*) {}

// Not built yet: running drawing commands.
void PaintCommands(HDC, const RECT&, const char*, const char* const*, int) {}
