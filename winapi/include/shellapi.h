// Starting programs and opening documents.
#pragma once

#include <windef.h>

// Results of ShellExecuteA below 33 (larger values mean success).
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_DLLNOTFOUND 32
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31

#ifndef RC_INVOKED

#define ShellExecute ShellExecuteA

// Carries out `operation` on `file`. Only "open" (or a null operation, which means the
// same) of a program is supported: the program is started directly, without a command
// interpreter, with `parameters` as its single argument (not split at blanks, so a path
// with spaces arrives whole) and `directory` as its working folder. Returns a value
// greater than 32 on success, else: 0 when out of resources, ERROR_FILE_NOT_FOUND (2) or
// ERROR_PATH_NOT_FOUND (3) for a program that is not there, SE_ERR_ACCESSDENIED (5) for one
// that may not be run, SE_ERR_NOASSOC (31) for a file that is not a program or an
// operation other than "open".
LXAPI HINSTANCE WINAPI ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show_command);

#endif // RC_INVOKED
