// Resource numbers of the stub programs, shared by stub.rc, the stub's code
// and the tests that drive its window.
#ifndef SFX_RESOURCES_STUB_RESOURCE_H
#define SFX_RESOURCES_STUB_RESOURCE_H

#define IDI_STUB 128
#define IDD_PROGRESS 101
#define IDC_PROGRESS_TEXT 1001
#define IDC_OK 1002
#define IDC_CANCEL 1003

#endif  // SFX_RESOURCES_STUB_RESOURCE_H
