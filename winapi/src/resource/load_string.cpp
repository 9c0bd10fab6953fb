// LoadStringA: one string of a module's string tables, in the ANSI code page.
#include <winerror.h>
#include <winuser_resource.h>

#include "resource/resource_index.h"
#include "resource/string_table.h"

#include <algorithm>
#include <cstring>

using namespace winapi::resource;

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) return 0;
    lpBuffer[0] = '\0';
    const ResEntry* block =
        find_resource(hInstance, RT_STRING, MAKEINTRESOURCEA(string_block_of(uID)), 0);
    if (!block) return 0;
    std::optional<std::string> text =
        string_from_block(block->data, block->size, string_position_of(uID));
    if (!text) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t copied = std::min(text->size(), static_cast<size_t>(cchBufferMax) - 1);
    std::memcpy(lpBuffer, text->data(), copied);
    lpBuffer[copied] = '\0';
    return static_cast<int>(copied);
}
