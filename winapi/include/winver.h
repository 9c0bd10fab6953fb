// Version information: the VERSIONINFO resource of a module file, read without loading it.
#pragma once

#include <windef.h>
#include <winuser_resource.h>

#define VS_FILE_INFO RT_VERSION
#define VS_VERSION_INFO 1
#define VS_USER_DEFINED 100

#define VS_FFI_SIGNATURE 0xFEEF04BD
#define VS_FFI_STRUCVERSION 0x00010000
#define VS_FFI_FILEFLAGSMASK 0x0000003F

#define VS_FF_DEBUG 0x00000001
#define VS_FF_PRERELEASE 0x00000002
#define VS_FF_PATCHED 0x00000004
#define VS_FF_PRIVATEBUILD 0x00000008
#define VS_FF_INFOINFERRED 0x00000010
#define VS_FF_SPECIALBUILD 0x00000020

#define VOS_UNKNOWN 0x00000000
#define VOS_DOS 0x00010000
#define VOS_OS216 0x00020000
#define VOS_OS232 0x00030000
#define VOS_NT 0x00040000
#define VOS__BASE 0x00000000
#define VOS__WINDOWS16 0x00000001
#define VOS__PM16 0x00000002
#define VOS__PM32 0x00000003
#define VOS__WINDOWS32 0x00000004
#define VOS_DOS_WINDOWS16 0x00010001
#define VOS_DOS_WINDOWS32 0x00010004
#define VOS_NT_WINDOWS32 0x00040004

#define VFT_UNKNOWN 0x00000000
#define VFT_APP 0x00000001
#define VFT_DLL 0x00000002
#define VFT_DRV 0x00000003
#define VFT_FONT 0x00000004
#define VFT_VXD 0x00000005
#define VFT_STATIC_LIB 0x00000007
#define VFT2_UNKNOWN 0x00000000

#ifndef RC_INVOKED

// The fixed part of the version information: what VerQueryValueA gives for "\\".
typedef struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

// The size of the buffer GetFileVersionInfoA needs for the file's version information, which
// is read from the file without loading it (a name without a directory is searched for as
// LoadLibraryA does). *lpdwHandle (optional) is set to 0. Returns 0 with
// ERROR_FILE_NOT_FOUND when there is no such file, ERROR_BAD_FORMAT when it is not a library,
// ERROR_RESOURCE_DATA_NOT_FOUND when it has no resources and ERROR_RESOURCE_TYPE_NOT_FOUND
// when it has no version information.
LXAPI DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);

// Copies the file's version information into lpData for VerQueryValueA; dwHandle is ignored.
// A buffer smaller than GetFileVersionInfoSizeA said receives the information cut to fit.
// FALSE with the errors of GetFileVersionInfoSizeA, or ERROR_INVALID_PARAMETER for a NULL
// buffer, or ERROR_INSUFFICIENT_BUFFER when not even the block header fits.
LXAPI BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen,
                                      LPVOID lpData);

// Finds a value in a block from GetFileVersionInfoA: "\\" gives the VS_FIXEDFILEINFO,
// "\\VarFileInfo\\Translation" the language and code page pairs (length in bytes),
// "\\StringFileInfo\\<lang+codepage>\\<name>" a string (length in characters, with the
// terminating zero). Names are compared without regard to case. *lplpBuffer points into
// pBlock. FALSE and ERROR_RESOURCE_TYPE_NOT_FOUND when there is no such value,
// ERROR_INVALID_PARAMETER for NULL arguments.
LXAPI BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer,
                                 UINT* puLen);

#endif // RC_INVOKED
