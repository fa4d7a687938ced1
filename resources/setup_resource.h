// Resource numbers of setup.exe, shared by setup.rc, setup's code and the
// tests that drive its windows.
#ifndef SFX_RESOURCES_SETUP_RESOURCE_H
#define SFX_RESOURCES_SETUP_RESOURCE_H

#define IDI_SETUP 128

// The main dialog.
#define IDD_MAIN 101
#define IDC_FOLDER_LABEL 1013   // the folder field's label; the run's progress texts
#define IDC_FOLDER 1007         // the installation folder
#define IDC_BROWSE 1008         // "..." for the installation folder
#define IDC_MENU 1004           // option rows of the left column
#define IDC_MENU_PLACE 1021     // "..." for where the menu is made
#define IDC_DESKTOP 1006
#define IDC_STARTUP 1005
#define IDC_EXT 1011
#define IDC_SEND 1012
#define IDC_FILE_GROUP 1022     // frames the copy and delete boxes
#define IDC_COPY 1009           // the copy box; the uninstall box of an installed copy
#define IDC_DELETE 1010
#define IDC_ICON_PLACE 1018     // where the dialog paints its icon
#define IDC_RUN 1               // IDOK
#define IDC_CANCEL_RUN 2        // IDCANCEL
#define IDC_READ_ME 3

// The read-me viewer.
#define IDD_README 102
#define IDC_README_TEXT 1010
#define IDC_PAGE_BUTTON1 1024
#define IDC_PAGE_BUTTON2 1025
#define IDC_PAGE_BUTTON3 1026
#define IDC_README_END 1027

// The backdrop window.
#define IDD_BACKDROP 115

// Texts the main dialog shows during a run.
#define IDS_COPYING 6
#define IDS_SETTING 7
#define IDS_INSTALLED 8
#define IDS_REMOVING_SETTINGS 11
#define IDS_REMOVING_FILES 12
#define IDS_UNINSTALLED 13

#endif  // SFX_RESOURCES_SETUP_RESOURCE_H
