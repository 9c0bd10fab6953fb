// Small utilities of the instance classes: host-memory copies, string resources, numbers.
#include "instance/plugin_instance.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// The size of the buffers LoadStringResource fills, zero included.
const int StringBufferSize = 256;

} // namespace

char* CopyToHostMemory(const char* text) {
    if (!text) return nullptr;
    size_t size = strlen(text) + 1;
    if (size > UINT32_MAX) return nullptr;
    char* copy = static_cast<char*>(NPN_MemAlloc(static_cast<uint32>(size)));
    if (copy) memcpy(copy, text, size);
    return copy;
}

void PluginInstance::LoadStringResource(char* buffer, short base, short offset) {
    // String identifiers are 16-bit: the sum is taken as the resource number it names, so
    // the pair (-1, -1) asks for string 0xFFFE, which the library does not have.
    UINT id = static_cast<WORD>(base + offset);
    CString text;
    text.LoadString(id);
    lstrcpynA(buffer, text, StringBufferSize);
}

BOOL PluginInstance::ParseNumber(const char* text, int* value) {
    if (!text || !*text || !value) return FALSE;
    long long number = 0;
    for (const char* digit = text; *digit; ++digit) {
        if (*digit < '0' || *digit > '9') return FALSE;
        if (number < INT_MAX) number = number * 10 + (*digit - '0');
    }
    *value = number > INT_MAX ? INT_MAX : static_cast<int>(number);
    return TRUE;
}
