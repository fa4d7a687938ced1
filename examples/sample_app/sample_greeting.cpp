// samplegr.dll, the library of the complete example: a built file moves it
// into the system folder ([System] in the folder it packs), where Sample
// App looks for it.
#include <windows.h>

extern "C" __declspec(dllexport) const char* SampleGreeting() { return "Hello from the system folder."; }
