// Resource ids of the dialogs the dialog tests run.
#pragma once

#define IDD_OPTIONS 300
#define IDD_EXTENDED 301
#define IDD_MISSING 399

#define IDC_FIRST 1006
#define IDC_COUNT_CHECK 1001
#define IDC_COUNT 1002
#define IDC_HELPER_CHECK 1000
#define IDC_PATH 1008
#define IDC_BROWSE 1007
#define IDC_NAME 1100
