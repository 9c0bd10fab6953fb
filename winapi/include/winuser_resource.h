// Resource types and the loaders for strings, cursors and bitmaps stored in modules.
#pragma once

#include <windef.h>

// Standard resource types. Resource scripts see plain numbers; code sees integer resource
// names, so the values can be passed to FindResourceA directly.
#ifdef RC_INVOKED
#define LX_RESOURCE_ID(i) i
#else
#define LX_RESOURCE_ID(i) MAKEINTRESOURCEA(i)
#endif
#define RT_CURSOR LX_RESOURCE_ID(1)
#define RT_BITMAP LX_RESOURCE_ID(2)
#define RT_ICON LX_RESOURCE_ID(3)
#define RT_MENU LX_RESOURCE_ID(4)
#define RT_DIALOG LX_RESOURCE_ID(5)
#define RT_STRING LX_RESOURCE_ID(6)
#define RT_FONTDIR LX_RESOURCE_ID(7)
#define RT_FONT LX_RESOURCE_ID(8)
#define RT_ACCELERATOR LX_RESOURCE_ID(9)
#define RT_RCDATA LX_RESOURCE_ID(10)
#define RT_MESSAGETABLE LX_RESOURCE_ID(11)
#define RT_GROUP_CURSOR LX_RESOURCE_ID(12)
#define RT_GROUP_ICON LX_RESOURCE_ID(14)
#define RT_VERSION LX_RESOURCE_ID(16)
#define RT_DLGINCLUDE LX_RESOURCE_ID(17)
#define RT_ANICURSOR LX_RESOURCE_ID(21)
#define RT_ANIICON LX_RESOURCE_ID(22)
#define RT_HTML LX_RESOURCE_ID(23)
#define RT_MANIFEST LX_RESOURCE_ID(24)

// The system's standard cursors, for LoadCursorA with a NULL instance.
#define IDC_ARROW LX_RESOURCE_ID(32512)
#define IDC_IBEAM LX_RESOURCE_ID(32513)
#define IDC_WAIT LX_RESOURCE_ID(32514)
#define IDC_CROSS LX_RESOURCE_ID(32515)
#define IDC_SIZEALL LX_RESOURCE_ID(32646)
#define IDC_NO LX_RESOURCE_ID(32648)
#define IDC_HAND LX_RESOURCE_ID(32649)
#define IDC_APPSTARTING LX_RESOURCE_ID(32650)

#ifndef RC_INVOKED

// Copies string resource uID of the module (NULL: the program) into lpBuffer, converted to
// the Windows Latin-1 code page ('?' for characters it lacks), cut to cchBufferMax - 1
// characters and zero-terminated. Returns the number of characters copied, without the
// terminating zero. A missing string gives 0 and an empty buffer (last error
// ERROR_RESOURCE_NAME_NOT_FOUND, or the module lookup's error); cchBufferMax 0 or a NULL
// buffer give 0 and leave the buffer untouched.
LXAPI int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// A cursor: with a NULL instance one of the system's IDC_ cursors, otherwise the module's
// cursor resource (group cursor, the image closest to 32x32 pixels with the most colours).
// Cursors are shared: the same resource always gives the same handle, which lives as long as
// the process. NULL and ERROR_RESOURCE_NAME_NOT_FOUND (or the module lookup's error) when
// there is no such cursor; ERROR_INVALID_DATA when its image cannot be decoded.
LXAPI HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);

// Cursors from LoadCursorA are shared and are not destroyed: TRUE, and the handle stays
// valid. FALSE and ERROR_INVALID_CURSOR_HANDLE for a handle that is not a cursor.
LXAPI BOOL WINAPI DestroyCursor(HCURSOR hCursor);

// Creates a bitmap compatible with the screen from the module's bitmap resource. NULL and
// ERROR_RESOURCE_NAME_NOT_FOUND (or the module lookup's error) when there is no such bitmap,
// ERROR_INVALID_DATA when the resource is not a valid device-independent bitmap. System
// bitmaps (NULL instance) are not provided.
LXAPI HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName);

#endif // RC_INVOKED
