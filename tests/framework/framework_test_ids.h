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
