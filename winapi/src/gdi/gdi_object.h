// The GDI objects behind HGDIOBJ handles: pens, brushes, fonts and bitmaps. All kinds live in
// one handle table, so any HGDIOBJ can be checked and its kind told apart; stock objects are
// ordinary entries that DeleteObject leaves alone.
#pragma once

#include <wingdi.h>

#include <memory>
#include <vector>

namespace winapi::gdi {

enum class ObjectKind { Pen, Brush, Font, Bitmap };

struct GdiObject {
    explicit GdiObject(ObjectKind kind) : kind(kind) {}
    virtual ~GdiObject() = default;

    ObjectKind kind;
    // Stock objects are never destroyed; DeleteObject on one succeeds and does nothing.
    bool stock = false;
    // How many device contexts (and states saved by SaveDC) hold this object selected.
    // DeleteObject refuses an object while this is not zero.
    int selections = 0;
};

struct Brush final : GdiObject {
    Brush() : GdiObject(ObjectKind::Brush) {}
    LOGBRUSH log{};
};

struct Pen final : GdiObject {
    Pen() : GdiObject(ObjectKind::Pen) {}
    bool extended = false;  // made by ExtCreatePen: GetObjectA answers with an EXTLOGPEN
    DWORD style = PS_SOLID; // full style: type, end cap, join and line style bits
    int width = 1;          // logical units; 0 and 1 mean one pixel
    COLORREF color = 0;
    UINT brush_style = BS_SOLID;
    ULONG_PTR hatch = 0;

    int line_style() const { return static_cast<int>(style & PS_STYLE_MASK); }
};

struct Font final : GdiObject {
    Font() : GdiObject(ObjectKind::Font) {}
    LOGFONTA log{};
};

struct Bitmap;

// Adds an object and returns its new handle.
HGDIOBJ add_object(std::unique_ptr<GdiObject> object);

// The object behind a handle, or null for a null, stale or foreign handle (last error untouched).
GdiObject* find_object(HGDIOBJ handle);
Brush* find_brush(HGDIOBJ handle);
Pen* find_pen(HGDIOBJ handle);
Font* find_font(HGDIOBJ handle);
Bitmap* find_bitmap(HGDIOBJ handle);

// Destroys a non-stock object that no device context holds; false otherwise.
bool destroy_object(HGDIOBJ handle);

// The stock object for a GetStockObject index, created on first use; null for an index that
// has no stock object.
HGDIOBJ stock_object(int index);

// The 1 x 1 monochrome bitmap that every new memory device context starts with. It is a
// stock object: any number of contexts may hold it at once.
HBITMAP default_bitmap();

// Turns an existing object into a stock-like one that DeleteObject ignores, for objects the
// system owns (the window manager's system-colour brushes, for instance).
void mark_stock_object(HGDIOBJ handle);

// The font a context starts with, and its logical description: DejaVu Sans at a cell height
// of about 13 pixels, the size of an 8-point interface font at 96 dots per inch.
LOGFONTA default_logfont();

} // namespace winapi::gdi
