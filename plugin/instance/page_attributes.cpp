// The page attributes the base instance reads from its EMBED element: the link, the colours
// and the switches for the poster and the status line.
#include "instance/plugin_instance.h"

#include <cstdio>

namespace {

enum class Attribute { HrefAbs, Href, HrefTarget, IsMap, BgColor, FrColor, NoPicture, StatusMsg };

struct AttributeName {
    const char* Name;
    Attribute Which;
};

// Compared in this order, ignoring case; the first that matches decides. HREFABS comes
// before HREF only for the order of comparison: the two are synonyms for the same field.
const AttributeName BaseAttributes[] = {
    {"HREFABS", Attribute::HrefAbs},       {"HREF", Attribute::Href},
    {"HREFTARGET", Attribute::HrefTarget}, {"ISMAP", Attribute::IsMap},
    {"BGCOLOR", Attribute::BgColor},       {"FRCOLOR", Attribute::FrColor},
    {"NOPICTURE", Attribute::NoPicture},   {"STATUSMSG", Attribute::StatusMsg},
};

// What a colour attribute gives when its value cannot be read.
const unsigned long BackColorFallback = 0x000000; // black
const unsigned long ForeColorFallback = 0xFFFFFF; // white

// A colour value is read as sscanf reads "#%lx": a '#', then a hexadecimal number. The
// number is in the Windows colour order 0xBBGGRR, so its low byte is red: #0000FF is red and
// #FF0000 blue. Only its low 24 bits count. A value that does not match gives `fallback`.
RGB16 ParseColor(const char* value, unsigned long fallback) {
    unsigned long number = fallback;
    if (!value || sscanf(value, "#%lx", &number) != 1) number = fallback;
    DWORD color = static_cast<DWORD>(number);
    RGB16 result;
    result.Red = GetRValue(color);
    result.Green = GetGValue(color);
    result.Blue = GetBValue(color);
    return result;
}

// Replaces a text field with a host-memory copy of `value`. When the copy cannot be made the
// field is left null, which every reader takes as the attribute being absent.
void ReplaceText(char*& field, const char* value) {
    NPN_MemFree(field);
    field = CopyToHostMemory(value);
}

} // namespace

void PluginInstance::ReadAttributes(short argc, char* argn[], char* argv[]) {
    if (!argn || !argv) return;
    for (short index = 0; index < argc; ++index) {
        if (argn[index]) ReadAttribute(argn[index], argv[index]);
    }
}

void PluginInstance::ReadAttribute(const char* name, const char* value) {
    for (const AttributeName& attribute : BaseAttributes) {
        if (lstrcmpiA(name, attribute.Name) != 0) continue;
        switch (attribute.Which) {
        case Attribute::HrefAbs:
        case Attribute::Href:
            ReplaceText(Href, value);
            break;
        case Attribute::HrefTarget:
            ReplaceText(HrefTarget, value);
            break;
        case Attribute::IsMap:
            IsMap = TRUE;
            break;
        case Attribute::BgColor:
            BackColor = ParseColor(value, BackColorFallback);
            BackColorGiven = TRUE;
            break;
        case Attribute::FrColor:
            ForeColor = ParseColor(value, ForeColorFallback);
            break;
        case Attribute::NoPicture:
            PictureAllowed = FALSE;
            break;
        case Attribute::StatusMsg:
            StatusAllowed = TRUE;
            break;
        }
        return;
    }
    // Any other attribute is the subclass's to read.
}
