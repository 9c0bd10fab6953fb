// Dialog boxes and their controls: templates, the dialog manager, buttons, edit boxes and
// static text, enabling windows and the keyboard state programs read while handling input.
//
// Dialogs are ordinary top-level windows of the class "#32770"; their controls are child
// windows of the classes "BUTTON", "EDIT" and "STATIC". All of them draw themselves with GDI,
// so every display shows them.
#pragma once

#include <windef.h>

// Messages of the dialog manager.
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

// WM_GETDLGCODE results.
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// More edit control messages.
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_LINELENGTH 0x00C1
#define EM_REPLACESEL 0x00C2
#define EM_SETREADONLY 0x00CF

// The dialog class's atom.
#define WC_DIALOG MAKEINTATOM(0x8002)

#ifndef RC_INVOKED

#define DialogBoxParam DialogBoxParamA
#define DialogBoxIndirectParam DialogBoxIndirectParamA
#define CreateDialogParam CreateDialogParamA
#define CreateDialogIndirectParam CreateDialogIndirectParamA
#define SetDlgItemText SetDlgItemTextA
#define GetDlgItemText GetDlgItemTextA
#define SendDlgItemMessage SendDlgItemMessageA
#define IsDialogMessage IsDialogMessageA
#define DefDlgProc DefDlgProcA
#define DialogBoxA(inst, name, parent, proc) DialogBoxParamA(inst, name, parent, proc, 0)
#define DialogBox DialogBoxA

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// The header of a standard dialog template; the menu, class, title and font follow it, then
// the items, each DWORD-aligned.
#pragma pack(push, 2)
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE;
typedef DLGTEMPLATE* LPDLGTEMPLATEA;
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;
typedef LPCDLGTEMPLATEA LPCDLGTEMPLATE;

typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
} DLGITEMTEMPLATE;
#pragma pack(pop)

// Runs a modal dialog made from dialog resource `template_name` of `instance` (or from the
// template in memory) and returns the value given to EndDialog; -1 when the template is not
// found or malformed or the dialog could not be created. The owner, if any, is disabled
// while the dialog runs. The modal loop dispatches every window's messages.
LXAPI INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner,
                                     DLGPROC dialog_proc, LPARAM init_param);
LXAPI INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog_template,
                                             HWND owner, DLGPROC dialog_proc, LPARAM init_param);

// Creates a modeless dialog; the caller's message loop should pass its messages through
// IsDialogMessageA. NULL on failure.
LXAPI HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR template_name, HWND owner,
                                     DLGPROC dialog_proc, LPARAM init_param);
LXAPI HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog_template,
                                             HWND owner, DLGPROC dialog_proc, LPARAM init_param);

// Ends a modal dialog with `result` once the current message has been handled (a modeless
// dialog is only hidden). FALSE for a window that is not a dialog.
LXAPI BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);

LXAPI LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Handles the dialog keyboard (Tab, Shift+Tab, Enter, Escape, Space on buttons) for a
// message meant for `dialog` or one of its controls. TRUE when the message was handled
// (it must not be dispatched again).
LXAPI BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message);

LXAPI HWND WINAPI GetDlgItem(HWND dialog, int id);
LXAPI BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
LXAPI UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int max_count);
// Reads the item's text as a decimal number (leading blanks and, when `is_signed`, a minus
// sign allowed). *translated tells whether the whole text was a number that fits; 0 is
// returned when it was not.
LXAPI UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL is_signed);
LXAPI BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed);
LXAPI LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wparam,
                                         LPARAM lparam);
LXAPI BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
LXAPI UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
LXAPI HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
LXAPI BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
LXAPI LONG WINAPI GetDialogBaseUnits(void);

// Enabling windows. A disabled window gets no mouse or keyboard input; disabling the window
// that has the focus (or one that contains it) leaves no window with the focus.
LXAPI BOOL WINAPI EnableWindow(HWND window, BOOL enable);
LXAPI BOOL WINAPI IsWindowEnabled(HWND window);

// The state of a key as of the input messages retrieved so far: the high bit is set while
// the key is down.
LXAPI SHORT WINAPI GetKeyState(int virtual_key);

#endif // RC_INVOKED
