// Resource ids of the plug-in module's own resources: the settings dialog's
// template and the string table. Shared by the .rc files and the C++ code.
#pragma once

#define IDD_SETTINGS_DIALOG 129

#define IDS_PROPERTY_SHEET_CAPTION 102

// Tooltips of the settings dialog.
#define IDS_TIP_LOAD 1054
#define IDS_TIP_SAVE 1055
#define IDS_TIP_OK 1056
#define IDS_TIP_CANCEL 1057
#define IDS_TIP_HELP 1058
#define IDS_TIP_ABOUT 1059

// Tooltips of the Movement page.
#define IDS_TIP_SPEED_VARIANCE 1017
#define IDS_TIP_SPEED_NOISE 1018
#define IDS_TIP_XY_SPEED_DIFFERENCE 1019
#define IDS_TIP_CENTER_X 1020
#define IDS_TIP_CENTER_Y 1021

// Tooltips of the Nature page.
#define IDS_TIP_MINIMUM_SPEED 1022
#define IDS_TIP_TIMELINE_LINEARITY 1023
#define IDS_TIP_GRAVITY 1024
#define IDS_TIP_WIND 1025

// Tooltips of the Life page.
#define IDS_TIP_DELAY 1026
#define IDS_TIP_DELAY_NOISE 1027
#define IDS_TIP_LEFT_TO_RIGHT 1028
#define IDS_TIP_RIGHT_TO_LEFT 1029
#define IDS_TIP_UP_TO_DOWN 1030
#define IDS_TIP_DOWN_TO_UP 1031
#define IDS_TIP_LIFE_MINIMUM 1032
#define IDS_TIP_LIFE_MAXIMUM 1033
