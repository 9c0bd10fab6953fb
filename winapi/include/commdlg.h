// The common file dialogs: choosing a file to open or a name to save under.
//
// The dialogs are ordinary dialogs of this layer (a folder listing, a file name box, a type
// line, OK and Cancel), so every display shows them; in headless runs the desktop's
// automation callback answers them (winapi/desktop.h).
#pragma once

#include <windef.h>

// OPENFILENAMEA flags.
#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_ENABLETEMPLATEHANDLE 0x00000080
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_SHAREAWARE 0x00004000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_NONETWORKBUTTON 0x00020000
#define OFN_NOLONGNAMES 0x00040000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

// CommDlgExtendedError codes.
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_GENERALCODES 0x0000
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_LOADSTRFAILURE 0x0005
#define CDERR_FINDRESFAILURE 0x0006
#define CDERR_LOADRESFAILURE 0x0007
#define CDERR_LOCKRESFAILURE 0x0008
#define CDERR_MEMALLOCFAILURE 0x0009
#define CDERR_MEMLOCKFAILURE 0x000A
#define CDERR_NOHOOK 0x000B
#define FNERR_FILENAMECODES 0x3000
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

// Control ids of the file dialog, for programs and automation that address its parts.
#define lst1 0x0460
#define edt1 0x0480
#define stc1 0x0440
#define stc2 0x0441
#define stc3 0x0442

#ifndef RC_INVOKED

#define GetOpenFileName GetOpenFileNameA
#define GetSaveFileName GetSaveFileNameA
#define OPENFILENAME OPENFILENAMEA
#define LPOPENFILENAME LPOPENFILENAMEA

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter; // pairs of description and pattern(s), each zero-terminated; "" ends
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // 1-based; 0 picks the first pair
    LPSTR lpstrFile;    // in: the proposed name; out: the chosen path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle; // out: the chosen file's name without its folder
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;    // out: where the name starts in lpstrFile
    WORD nFileExtension; // out: where the extension starts (after the dot), 0 for none
    LPCSTR lpstrDefExt;  // appended (without its dot) to a name typed without extension
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// The size of the record before the members added last, which callers may also pass.
#define OPENFILENAME_SIZE_VERSION_400A offsetof(OPENFILENAMEA, pvReserved)

// Show the dialog modally and return TRUE when the user chose a file; FALSE when the user
// cancelled (CommDlgExtendedError then gives 0) or the call failed (it gives the reason).
LXAPI BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn);
LXAPI BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn);
LXAPI DWORD WINAPI CommDlgExtendedError(void);

#endif // RC_INVOKED
