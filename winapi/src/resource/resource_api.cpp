// FindResourceA and the functions that reach a found resource's data.
#include <libloaderapi.h>
#include <winerror.h>

#include "resource/resource_index.h"

using namespace winapi::resource;

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    return handle_of(find_resource(hModule, lpType, lpName, 0));
}

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
    return handle_of(find_resource(hModule, lpType, lpName, wLanguage));
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
    // The entry knows its module, so the module argument is not needed to find the data.
    const ResEntry* entry = entry_from_handle(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<uint8_t*>(entry->data);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
    const ResEntry* entry = entry_from_handle(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}
