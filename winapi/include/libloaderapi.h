// Modules and the resources embedded in them: loading libraries at run time, finding their
// exported functions, and reaching their resource data.
#pragma once

#include <windef.h>

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

// Language identifiers: a primary language in the low 10 bits, a sublanguage above it.
#define LANG_NEUTRAL 0x00
#define LANG_GERMAN 0x07
#define LANG_ENGLISH 0x09
#define LANG_FRENCH 0x0c
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_ENGLISH_UK 0x02
#define SUBLANG_GERMAN 0x01
#define SUBLANG_FRENCH 0x01
#ifdef RC_INVOKED
// The resource compiler evaluates plain integer expressions only.
#define MAKELANGID(p, s) (((s) << 10) | (p))
#else
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define PRIMARYLANGID(lgid) (((WORD)(lgid)) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#endif

#ifndef RC_INVOKED

// An exported function as GetProcAddress returns it; callers cast it to the real type.
typedef INT_PTR(WINAPI* FARPROC)();

// Loads a library and returns its module handle (its load address). "X.DLL" names the file
// "X.so", as does a name without extension. A name without a directory is searched for in
// the folders of LANTERNIX_LIBRARY_PATH, then beside the calling module (the module the
// call returns to: a tail call from a forwarding function counts as its caller's), then
// beside the program; a library already loaded under that file name is used wherever it lies. Each
// successful call adds one to the library's load count. Fails with NULL and
// ERROR_MOD_NOT_FOUND, or ERROR_BAD_FORMAT when the file is not a loadable library.
LXAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);

// Takes one off the load count LoadLibraryA or GetModuleHandleExA added; the library is
// unmapped when the count reaches zero. TRUE for a module the layer holds no count on (the
// program, libraries the system loaded); FALSE and ERROR_INVALID_HANDLE for anything that is
// not a loaded module.
LXAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule);

// The address of a function or variable the module itself exports (NULL module: the program).
// Lookups by ordinal are not supported. Fails with NULL and ERROR_PROC_NOT_FOUND, or
// ERROR_MOD_NOT_FOUND when the handle is not a loaded module.
LXAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// The handle of a loaded module found by file name (same name mapping as LoadLibraryA, case
// ignored; a name with a directory compares the whole path); NULL gives the program. Does
// not change the load count. Fails with NULL and ERROR_MOD_NOT_FOUND.
LXAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);

// As GetModuleHandleA, or, with GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, the module that
// contains the address lpModuleName. Adds one to the load count unless
// GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT is given; GET_MODULE_HANDLE_EX_FLAG_PIN keeps
// the module loaded for good. On failure *phModule is NULL and the result FALSE
// (ERROR_INVALID_PARAMETER for bad flags or a null phModule, else ERROR_MOD_NOT_FOUND).
LXAPI BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule);

// Copies the full path of the module's file (NULL: the program) and returns its length. When
// the buffer is too small the path is cut to nSize - 1 characters plus the terminating zero,
// the result is nSize and the last error ERROR_INSUFFICIENT_BUFFER. 0 and ERROR_MOD_NOT_FOUND
// for a handle that is not a loaded module.
LXAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// Finds a resource of the module (NULL: the program). Names and types are integer ids
// (MAKEINTRESOURCE), "#123" strings or names compared without regard to case. When several
// languages exist, the neutral one is preferred, then US English, then the first. Fails with
// NULL and ERROR_RESOURCE_DATA_NOT_FOUND (the module has no resources),
// ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_INVALID_HANDLE (not a
// module).
LXAPI HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);

// As FindResourceA, for one language (LANG_NEUTRAL/SUBLANG_NEUTRAL: choose as FindResourceA
// does); ERROR_RESOURCE_LANG_NOT_FOUND when that language is missing. Note the order: type
// before name.
LXAPI HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);

// The resource's data, as a pointer disguised as a global handle; it stays valid as long as
// the module stays loaded. NULL and ERROR_INVALID_HANDLE for an unknown resource handle.
LXAPI HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);

// The address of a resource's data: the value LoadResource returned.
LXAPI LPVOID WINAPI LockResource(HGLOBAL hResData);

// The size of the resource's data in bytes; 0 and ERROR_INVALID_HANDLE for an unknown handle.
LXAPI DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);

// Resources need no freeing; always FALSE, which means success for this function.
LXAPI BOOL WINAPI FreeResource(HGLOBAL hResData);

#endif // RC_INVOKED
