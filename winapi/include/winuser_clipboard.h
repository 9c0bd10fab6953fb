// The clipboard. A program opens it (naming the window that becomes its owner once it is
// emptied), empties it, hands it global memory blocks, one per format, and closes it.
// Memory given to SetClipboardData belongs to the clipboard from then on: it is freed when
// the clipboard is next emptied, and the program must not free it.
#pragma once

#include <windef.h>

// Standard clipboard formats.
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_METAFILEPICT 3
#define CF_SYLK 4
#define CF_DIF 5
#define CF_TIFF 6
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_PALETTE 9
#define CF_RIFF 11
#define CF_WAVE 12
#define CF_UNICODETEXT 13
#define CF_HDROP 15
#define CF_LOCALE 16
#define CF_DIBV5 17

// Sent to the clipboard's owner when EmptyClipboard takes its data away.
#define WM_DESTROYCLIPBOARD 0x0307

#ifndef RC_INVOKED

// Opens the clipboard for the calling program. FALSE with ERROR_ACCESS_DENIED while it is
// open already.
LXAPI BOOL WINAPI OpenClipboard(HWND new_owner);
LXAPI BOOL WINAPI CloseClipboard(void);
// Frees everything on the clipboard; the window that opened it becomes the owner. FALSE
// with ERROR_CLIPBOARD_NOT_OPEN when the clipboard is not open.
LXAPI BOOL WINAPI EmptyClipboard(void);
// Places `memory` (a global memory handle) on the clipboard as `format`, replacing and
// freeing what that format held. Returns the handle; NULL when the clipboard is not open,
// was not emptied by its opener, or the handle is not global memory.
LXAPI HANDLE WINAPI SetClipboardData(UINT format, HANDLE memory);
// The block held for `format` (still owned by the clipboard); NULL when the clipboard is
// not open or has no such format.
LXAPI HANDLE WINAPI GetClipboardData(UINT format);
LXAPI BOOL WINAPI IsClipboardFormatAvailable(UINT format);
LXAPI int WINAPI CountClipboardFormats(void);
// The formats in the order they were placed: 0 gives the first, a format the one after
// it; 0 at the end.
LXAPI UINT WINAPI EnumClipboardFormats(UINT format);
LXAPI HWND WINAPI GetClipboardOwner(void);
LXAPI HWND WINAPI GetOpenClipboardWindow(void);

#endif // RC_INVOKED
