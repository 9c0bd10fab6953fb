// Kernel services: classic file handles, file and directory operations, the temporary and
// Windows directories, private profiles (INI files), global memory, the process error mode,
// version information and a few string helpers.
//
// Paths may use '\\' or '/' as the separator; both name the same file. A drive prefix is
// not expected. Every function reports failure as Win32 does (its documented failure value
// plus SetLastError), and never crashes on a null pointer or an unknown handle.
#pragma once

#include <windef.h>

// ---- Classic (16-bit style) file handles --------------------------------------------------

#define HFILE_ERROR ((HFILE)-1)

// Waiting.
#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED ((DWORD)0xFFFFFFFF)

// Access modes of _lopen; the sharing modes are accepted and have no further effect here.
#define OF_READ 0x00000000
#define OF_WRITE 0x00000001
#define OF_READWRITE 0x00000002
#define OF_SHARE_COMPAT 0x00000000
#define OF_SHARE_EXCLUSIVE 0x00000010
#define OF_SHARE_DENY_WRITE 0x00000020
#define OF_SHARE_DENY_READ 0x00000030
#define OF_SHARE_DENY_NONE 0x00000040

// Origins of _llseek.
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

#ifndef RC_INVOKED
typedef const CHAR* LPCCH;

// An HFILE is valid only if this layer handed it out and it is still open: any other number
// (0, 1, 2, a descriptor, a closed handle) fails with HFILE_ERROR and ERROR_INVALID_HANDLE
// and touches nothing. Handles work from every module of the process and fit 16 bits.

// Creates a file, or empties an existing one, open for reading and writing at position 0.
// iAttribute: 0 normal, 1 read-only (the file is read-only afterwards, this handle still
// writes), 2 hidden and 4 system (accepted, no effect). An existing read-only file or a
// folder gives ERROR_ACCESS_DENIED; a missing folder ERROR_PATH_NOT_FOUND.
LXAPI HFILE WINAPI _lcreat(LPCSTR lpPathName, int iAttribute);
// Opens an existing file with OF_READ, OF_WRITE or OF_READWRITE, optionally or'ed with an
// OF_SHARE_* mode (no effect). Folders, and writing to a read-only file, give
// ERROR_ACCESS_DENIED.
LXAPI HFILE WINAPI _lopen(LPCSTR lpPathName, int iReadWrite);
// Moves the position relative to FILE_BEGIN, FILE_CURRENT or FILE_END and returns it. A
// position before the start fails with ERROR_NEGATIVE_SEEK and leaves the position alone;
// one past the end is allowed. Positions beyond 2^31 - 1 fail with ERROR_INVALID_PARAMETER.
LXAPI LONG WINAPI _llseek(HFILE hFile, LONG lOffset, int iOrigin);
// Read up to the count and return the bytes read: fewer only at the end of the file, 0 at
// the end. HFILE_ERROR on failure (ERROR_ACCESS_DENIED on a write-only handle,
// ERROR_NOACCESS for a null buffer).
LXAPI UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes);
LXAPI LONG WINAPI _hread(HFILE hFile, LPVOID lpBuffer, LONG lBytes);
// Write the whole buffer at the position and return the count. Writing past the end fills
// the gap with zeros. A write that does not fit (full disk) fails with HFILE_ERROR and
// ERROR_DISK_FULL; a count of 0 writes nothing and returns 0.
LXAPI UINT WINAPI _lwrite(HFILE hFile, LPCCH lpBuffer, UINT uBytes);
LXAPI LONG WINAPI _hwrite(HFILE hFile, LPCCH lpBuffer, LONG lBytes);
// Closes the handle: 0, or HFILE_ERROR for a handle that is not open.
LXAPI HFILE WINAPI _lclose(HFILE hFile);
#endif

// ---- Files and directories ----------------------------------------------------------------

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#ifndef RC_INVOKED
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

// Opens or creates a file as dwCreationDisposition says: CREATE_NEW fails with
// ERROR_FILE_EXISTS when the name exists (a file, a folder or a link alike), and the check
// and the creation are one step, so two processes can never both create the same name;
// CREATE_ALWAYS empties an existing file; OPEN_EXISTING fails with ERROR_FILE_NOT_FOUND;
// OPEN_ALWAYS creates a missing file; TRUNCATE_EXISTING empties an existing one (it needs
// GENERIC_WRITE). CREATE_ALWAYS and OPEN_ALWAYS set ERROR_ALREADY_EXISTS when the file was
// there. dwDesiredAccess is GENERIC_READ and/or GENERIC_WRITE. Without FILE_SHARE_DELETE in
// dwShareMode the file cannot be deleted while the handle is open, by this process or any
// other (DeleteFileA gives ERROR_SHARING_VIOLATION); the other share bits, the security
// attributes and the template are accepted without effect, and of the attributes only
// FILE_ATTRIBUTE_READONLY counts (a new file is read-only afterwards; this handle still
// writes). Folders, and writing to a read-only file, give ERROR_ACCESS_DENIED.
// The handle is a classic file handle as well, as on 32-bit Windows: the same value, as an
// HFILE, reads, writes, seeks and closes with the _l functions. INVALID_HANDLE_VALUE on
// failure.
LXAPI HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile);
// Closes a file handle from CreateFileA (or an HFILE given as a handle); FALSE with
// ERROR_INVALID_HANDLE for anything else.
LXAPI BOOL WINAPI CloseHandle(HANDLE hObject);

#define DUPLICATE_CLOSE_SOURCE 0x00000001
#define DUPLICATE_SAME_ACCESS 0x00000002

// The pseudo handle of the calling process; it needs no closing.
LXAPI HANDLE WINAPI GetCurrentProcess(void);
// Makes *lpTargetHandle a second handle to the file open behind hSourceHandle (a CreateFileA
// handle, or an HFILE given as a handle). The two share the file position, and the copy
// stays usable after the original is closed. Both processes must be GetCurrentProcess();
// the copy has the original's access whatever dwDesiredAccess asks, and inheritance does not
// apply. DUPLICATE_CLOSE_SOURCE closes the source, even when the copy fails; with it,
// lpTargetHandle may be null. FALSE with ERROR_INVALID_HANDLE for anything but an open file
// handle, ERROR_TOO_MANY_OPEN_FILES when no handle is left.
LXAPI BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle,
                                  HANDLE hTargetProcessHandle, LPHANDLE lpTargetHandle,
                                  DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwOptions);

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Lists the entries of a folder whose names match the last component of lpFileName, where
// '*' stands for any run of characters and '?' for one, without regard to ASCII case ("."
// and ".." are listed as the system gives them). Fills lpFindFileData with the first match
// and returns a handle for FindNextFileA; INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND
// when nothing matches, or ERROR_PATH_NOT_FOUND when the folder is missing. Times are in
// 100-nanosecond steps since 1601, as Windows counts them; names longer than cFileName
// holds are skipped.
LXAPI HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
// The next match: FALSE with ERROR_NO_MORE_FILES after the last.
LXAPI BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
LXAPI BOOL WINAPI FindClose(HANDLE hFindFile);
// Copies a file's contents (and its read-only attribute). With bFailIfExists an existing
// target gives ERROR_FILE_EXISTS; otherwise it is replaced, unless it is read-only or a
// folder (ERROR_ACCESS_DENIED). The target appears complete or not at all.
LXAPI BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);
// Deletes a file. Folders and read-only files give ERROR_ACCESS_DENIED; a file open through
// a CreateFileA handle without FILE_SHARE_DELETE gives ERROR_SHARING_VIOLATION.
LXAPI BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
// Renames a file or folder; an existing target gives ERROR_ALREADY_EXISTS. A file moves to
// another file system by copy and delete; a folder cannot (ERROR_NOT_SAME_DEVICE).
LXAPI BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
// FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_READONLY (no write permission at all) or
// FILE_ATTRIBUTE_NORMAL; INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND, or
// ERROR_PATH_NOT_FOUND when the folder is missing too.
LXAPI DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);
// Only FILE_ATTRIBUTE_READONLY of a file has an effect (removes every write permission;
// clearing it gives the owner write permission back). Folders are left as they are.
LXAPI BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);
// Creates a folder (the security attributes are ignored): ERROR_ALREADY_EXISTS when the
// name exists, ERROR_PATH_NOT_FOUND when its parent does not.
LXAPI BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
// Removes an empty folder: ERROR_DIR_NOT_EMPTY, or ERROR_DIRECTORY for a file.
LXAPI BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);
// $TMPDIR, else /tmp/, with a trailing separator. Returns the length without the terminator
// when it fits, else the size needed including it, leaving the buffer as it was.
LXAPI DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);
// $XDG_CONFIG_HOME/lanternix (else $HOME/.config/lanternix), created when missing, without
// a trailing separator. Same buffer contract as GetTempPathA.
LXAPI UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);
#endif

// ---- Private profiles ---------------------------------------------------------------------

// A file name without a folder names a file in the Windows directory. Section and key names
// ignore ASCII case. Lines starting with ';' are comments; malformed lines are ignored when
// reading and kept when rewriting. Every call reads the file afresh.
#ifndef RC_INVOKED
// The value of a key, trimmed of blanks and of one pair of enclosing quotes (double or
// single), or lpDefault (null: "") without its trailing blanks when the key is missing
// (last error then ERROR_FILE_NOT_FOUND). A null lpAppName lists the section names, a null
// lpKeyName the section's keys (none for a missing section): each name ends in a nul, the
// list in a second one. Too small a buffer gets the text cut with nSize - 1 returned, or a
// list cut and ended by two nuls with nSize - 2 returned.
LXAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                            LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
// The decimal number (optional sign) that a key's value starts with: "12abc" is 12, "-5" is
// (UINT)-5, "x" is 0. A missing key or an empty value gives nDefault.
LXAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                        LPCSTR lpFileName);
// Sets a key (creating the file and section as needed), deletes it when lpString is null,
// or deletes the whole section when lpKeyName is null. The key's line is replaced in place;
// every other line stays as it was. New lines end as the file's first line does (CR LF for
// a new file). The file is replaced in one step (temporary file, then rename), keeping its
// permissions; a read-only profile gives ERROR_ACCESS_DENIED.
LXAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                             LPCSTR lpFileName);
#endif

// ---- Global memory ------------------------------------------------------------------------

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_NOT_BANKED 0x1000
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_NOTIFY 0x4000
#define GMEM_LOWER GMEM_NOT_BANKED
#define GMEM_VALID_FLAGS 0x7F72
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// A fixed block's handle is its address; a moveable block's handle is not, and GlobalLock
// gives its address and counts the lock. Handles that are not live blocks fail with
// ERROR_INVALID_HANDLE.
#ifndef RC_INVOKED
// Flags outside GMEM_VALID_FLAGS give ERROR_INVALID_PARAMETER. A moveable block of size 0
// exists but cannot be locked (ERROR_DISCARDED).
LXAPI HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LXAPI LPVOID WINAPI GlobalLock(HGLOBAL hMem);
// Moveable: TRUE while still locked; FALSE with NO_ERROR when the count reaches 0; FALSE
// with ERROR_NOT_LOCKED when it was not locked. Fixed: TRUE.
LXAPI BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
// The size asked for at allocation; 0 for a bad handle.
LXAPI SIZE_T WINAPI GlobalSize(HGLOBAL hMem);
// NULL on success (a locked block is freed too); the handle itself on failure.
LXAPI HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
#endif

// ---- Error mode, version, time ------------------------------------------------------------

#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004
#define SEM_NOOPENFILEERRORBOX 0x8000

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

#define VER_NT_WORKSTATION 0x0000001
#define VER_NT_DOMAIN_CONTROLLER 0x0000002
#define VER_NT_SERVER 0x0000003

#ifndef RC_INVOKED
typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;

typedef struct _OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
} OSVERSIONINFOEXA, *POSVERSIONINFOEXA, *LPOSVERSIONINFOEXA;

typedef OSVERSIONINFOA OSVERSIONINFO;
typedef LPOSVERSIONINFOA LPOSVERSIONINFO;

// Sets the process error mode and returns the previous one. Nothing here shows system
// dialogs, so the mode is only kept.
LXAPI UINT WINAPI SetErrorMode(UINT uMode);
LXAPI UINT WINAPI GetErrorMode(void);
// Reports a fixed NT version: VER_PLATFORM_WIN32_NT, 6.1 build 7601, "Service Pack 1".
// dwOSVersionInfoSize must be sizeof(OSVERSIONINFOA) or sizeof(OSVERSIONINFOEXA), else
// FALSE with ERROR_INSUFFICIENT_BUFFER.
LXAPI BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);
// The same version packed: major in the low byte, minor in the next, build in the high word.
LXAPI DWORD WINAPI GetVersion(void);

// Milliseconds since the desktop clock started; implemented with the desktop clock.
LXAPI DWORD WINAPI GetTickCount(void);

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit in an int.
LXAPI int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator);
#endif

// ---- Strings ------------------------------------------------------------------------------

#ifndef RC_INVOKED
// The length of a string; 0 for null.
LXAPI int WINAPI lstrlenA(LPCSTR lpString);
// Copies at most iMaxLength - 1 characters and a terminator; returns lpString1 (null when
// either string is null).
LXAPI LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);
// -1, 0 or 1, comparing byte by byte without regard to ASCII case (not the locale's word
// order that Windows uses); null sorts first.
LXAPI int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);
#endif
