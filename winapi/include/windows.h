// The Win32 subset this project uses, for systems without Windows. Include this header,
// as on Windows; the headers below are its parts.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>
#include <winuser_menu.h>
#include <winuser_resource.h>
#include <winuser_dialog.h>
#include <winuser_clipboard.h>
#include <libloaderapi.h>
#include <winver.h>
#include <mmsystem.h>
#ifndef WIN32_LEAN_AND_MEAN
#include <commdlg.h>
#include <shellapi.h>
#endif
