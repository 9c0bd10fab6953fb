// Resource ids shared by the test resource scripts and the framework tests.
#pragma once

// Strings of the test program.
#define IDS_ABOUT_URL 4005
#define IDS_LENGTH_254 4020
#define IDS_LENGTH_255 4021
#define IDS_LENGTH_300 4022
#define IDS_LENGTH_4095 4023
#define IDS_MISSING 4099
// In both the program and the fixture module, with different texts.
#define IDS_WHOSE 5001
// Only in the fixture module.
#define IDS_MODULE_ONLY 5002

#define IDM_CONTEXT 4000
// Damaged menu templates: text cut off, an unknown version, no end marker.
#define IDM_TRUNCATED 4001
#define IDM_BAD_VERSION 4002
#define IDM_NO_END 4003
#define IDB_POSTER 4000

// The test bitmap's size.
#define POSTER_WIDTH 7
#define POSTER_HEIGHT 5

// The dialog of the dialog tests.
#define IDD_SETTINGS 4002
#define IDC_SOONER 1006
#define IDC_LIMITED 1001
#define IDC_LIMIT 1002
#define IDC_BROWSE 1007
#define IDC_PROGRAM 1008
