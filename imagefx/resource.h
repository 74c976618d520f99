// Resource ids of the Vantor Image Effects filter; shared by its resource script and its code.
#pragma once

#define IDD_VANTOR_EFFECTS_PAGE 101
#define IDS_VANTOR_EFFECTS_TITLE 2000

#define IDC_EFFECTS_GROUP 1000
#define IDC_EFFECTS_MIRROR 1002
#define IDC_EFFECTS_FLIP 1003
#define IDC_EFFECTS_ZOOM_CAPTION 1004
#define IDC_EFFECTS_ZOOM_VALUE 1005
#define IDC_EFFECTS_ZOOM 1006
