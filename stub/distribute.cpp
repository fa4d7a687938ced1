// Moving the token folders of the workspace into the folders they name.
#include "stub.h"

namespace {
// The folder the user picked for "[User]", asked at most once per run.
char g_userFolder[MAX_PATH];
}  // namespace

void ForgetUserFolder() { g_userFolder[0] = '\0'; }

// Token folders stay in the workspace until distribution is built; they are
// then counted as left over and deleted with it.
void DistributeWorkspace(HWND, const char*) {}
