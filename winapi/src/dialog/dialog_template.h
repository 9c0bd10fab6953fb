// Dialog templates: the binary form of a dialog in a module's resources (RT_DIALOG) or in
// memory, standard (DLGTEMPLATE) or extended (DLGTEMPLATEEX).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace winapi::dialog {

struct DialogItem {
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{}; // dialog units: left, top, right, bottom
    UINT id = 0;
    std::string class_name; // predefined classes by their names ("BUTTON", "EDIT" ...)
    std::string title;      // empty when the template gives an ordinal (a resource id)
    std::vector<uint8_t> creation_data;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{};            // dialog units
    std::string class_name; // empty: the dialog class
    std::string title;
    bool has_font = false;
    int font_points = 0;
    int font_weight = FW_NORMAL;
    bool font_italic = false;
    std::string font_face;
    std::vector<DialogItem> items;
};

// Parses a template. `size` bounds the reading (0: trust the template, as for templates in
// memory whose size the caller does not know). False for a malformed template.
bool parse_dialog_template(const void* data, size_t size, DialogTemplate* out);

} // namespace winapi::dialog
