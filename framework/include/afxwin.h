// The application framework: include this one header. It brings the Win32 headers and
// every framework class: module state, CWinApp, CString, CMenu, CGdiObject, CBitmap, CWnd,
// CDialog and CFileDialog.
#pragma once

#include <windows.h>

#include "afx_dialog.h"
#include "afx_gdi.h"
#include "afx_menu.h"
#include "afx_module_state.h"
#include "afx_string.h"
#include "afx_win_app.h"
#include "afx_wnd.h"
