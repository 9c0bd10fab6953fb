// Identifiers of the plug-in's resources. NPLant32.rc and the C++ sources both include this
// file, so it holds #define lines only.
#pragma once

// Menu 4000: one pop-up, "Lanternix", whose items are the three commands below. Instances
// add their own items around them while the menu is shown.
#define IDR_CONTEXT_MENU 4000
#define IDM_ABOUT 1
#define IDM_GUIDE 2
#define IDM_PREFERENCES 3

// The poster shown while no movie is on screen: 122 x 108 pixels, 256 colours.
#define IDB_POSTER 4000

// The pointing hand shown over an instance that links somewhere; hot spot at the fingertip.
#define IDCUR_LINK 128

// Dialog 4002, the preferences, and its controls.
#define IDD_PREFERENCES 4002
#define IDC_USE_HELPER 1000
#define IDC_STOP_LOOPING 1001
#define IDC_LOOP_COUNT 1002
#define IDC_PAUSE_IN_BACKGROUND 1003
#define IDC_KEEP_MOVIES 1004
#define IDC_CACHE_DIRECTORY 1005
#define IDC_START_SOONER 1006
#define IDC_BROWSE_HELPER 1007
#define IDC_HELPER_APP 1008

// Strings are loaded as a base plus an offset; the bases are listed with their strings.

// Menu texts, the maker's pages and the missing-engine message: base 4000.
#define IDS_MENU_BASE 4000
#define IDS_ABOUT_URL 4005
#define IDS_PAUSE_MOVIE 4006
#define IDS_PLAY_STOPPED_MOVIE 4007
#define IDS_GUIDE_URL 4010
#define IDS_NO_ENGINE 4012

// Status and error messages: base 5000.
#define IDS_STATUS_BASE 5000
#define IDS_EXAMINING_MOVIE 5001
#define IDS_CANNOT_CREATE_FILE 5002
#define IDS_DOWNLOADING 5003
#define IDS_STREAMING 5004
#define IDS_INVALID_MOVIE 5005
#define IDS_VR_ERROR 5006
#define IDS_BAD_ENGINE 5007
#define IDS_BAD_CONFERENCING 5008
#define IDS_CONNECTING 5009
#define IDS_INCOMPLETE_STREAM 5010
#define IDS_CALL_FAILED 5011
#define IDS_OUT_OF_DISK_SPACE 5012

// Items the instances add to the context menu: base 6000.
#define IDS_ITEM_BASE 6000
#define IDS_PLAY_MOVIE 6001
#define IDS_OPEN_MOVIE 6002
#define IDS_SAVE_MOVIE 6003
#define IDS_COPY_MOVIE_FRAME 6006
#define IDS_COPY_MOVIE_LOCATION 6007
#define IDS_COPY_LINK_LOCATION 6021
#define IDS_NEW_WINDOW_WITH_LINK 6022
#define IDS_OPEN_LINK 6023
