// Resource and command identifiers of Skeo.
#pragma once

#define IDD_SKEO_MAINDLG 102
#define IDI_SKEO 128
#define IDR_TRAY_MENU 129
#define IDI_SKEO_TRAY 290

// Focus pictures shown over the video, black being transparent.
#define IDB_FOCUS_IN_PROGRESS 511
#define IDB_FOCUS_FINISHED 512

// Tray menu commands; a second start of the program sends ID_TRAY_OPEN.
#define ID_TRAY_OPEN 32771
#define ID_TRAY_ABOUT 32774
#define ID_TRAY_CLOSE 32775

#define SKEO_VERSION_TEXT "2.0.4.0"
#define SKEO_VERSION_BINARY 2, 0, 4, 0
