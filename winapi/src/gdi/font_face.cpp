#include "gdi/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace winapi::gdi {

struct FontFace::Impl {
    FT_Face face = nullptr;
};

namespace {

constexpr int kDefaultEm = 11; // the default 13-pixel cell
constexpr int kMaxEm = 1024;   // larger requests are drawn at this size
constexpr int kBoxStyle = -1;  // the fallback used when no font file loads

// Font files of the four styles, indexed by bold (1) + italic (2).
const char* const kStyleFiles[4] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                    "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"};

// Windows-1252 characters 0x80 to 0x9f in Unicode; 0 marks the five unassigned codes.
const uint16_t kWindows1252High[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

uint32_t unicode_from_ansi(unsigned char ch) {
    return (ch >= 0x80 && ch < 0xa0) ? kWindows1252High[ch - 0x80] : ch;
}

// A style's metrics in font design units, read once from its file.
struct DesignMetrics {
    bool loaded = false;
    std::string path;
    int units_per_em = 2048;
    int ascent = 0;
    int descent = 0;
    int average_width = 0;
    int max_advance = 0;
    int underline_position = 0;
    int underline_thickness = 0;
    int strikeout_position = 0;
};

std::string font_directory() {
    const char* dir = std::getenv("LANTERNIX_FONT_DIR");
    return (dir != nullptr && *dir != '\0') ? dir : "/usr/share/fonts/truetype/dejavu";
}

class FontLibrary {
  public:
    // Never destroyed, so text can still be measured and drawn while the process ends.
    static FontLibrary& instance() {
        static auto* library = new FontLibrary;
        return *library;
    }

    FT_Library library = nullptr;
    std::map<std::pair<int, int>, std::unique_ptr<FontFace>> faces;

    // The metrics of a style, loading its file on first use; null when the file does not load.
    const DesignMetrics* design(int style) {
        DesignMetrics& metrics = m_designs[style];
        if (!m_tried[style]) {
            m_tried[style] = true;
            metrics.path = font_directory() + "/" + kStyleFiles[style];
            read_design(metrics);
        }
        return metrics.loaded ? &metrics : nullptr;
    }

    // Warns once that text falls back to boxes.
    void warn_missing(const std::string& path) {
        if (m_warned) return;
        m_warned = true;
        std::fprintf(stderr, "lanternix: cannot load font %s; text is drawn as boxes\n",
                     path.c_str());
    }

  private:
    FontLibrary() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }

    void read_design(DesignMetrics& metrics) {
        FT_Face face = nullptr;
        if (library == nullptr || FT_New_Face(library, metrics.path.c_str(), 0, &face) != 0) return;
        metrics.units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
        metrics.ascent = face->ascender;
        metrics.descent = -face->descender;
        metrics.max_advance = face->max_advance_width;
        metrics.underline_position = -face->underline_position;
        metrics.underline_thickness = face->underline_thickness;
        metrics.average_width = metrics.units_per_em / 2;
        metrics.strikeout_position = metrics.ascent / 3;
        // The cell of a Windows font spans the OS/2 table's "Windows" ascent and descent.
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
            metrics.ascent = os2->usWinAscent;
            metrics.descent = os2->usWinDescent;
            metrics.average_width = os2->xAvgCharWidth;
            metrics.strikeout_position = os2->yStrikeoutPosition;
        }
        FT_Done_Face(face);
        metrics.loaded = metrics.ascent + metrics.descent > 0;
    }

    DesignMetrics m_designs[4];
    bool m_tried[4] = {false, false, false, false};
    bool m_warned = false;
};

int scaled(int design, int em, int units_per_em) {
    return static_cast<int>(std::lround(double(design) * em / units_per_em));
}

int em_for_height(LONG height, const DesignMetrics* design) {
    int em = kDefaultEm;
    if (height < 0) {
        em = height < -kMaxEm ? kMaxEm : static_cast<int>(-height);
    } else if (height > 0) {
        // A cell height: the em square is the part of it the design's em takes.
        int cell = design ? design->ascent + design->descent : 1190;
        int upem = design ? design->units_per_em : 1024;
        em =
            static_cast<int>(std::lround(double(std::min<LONG>(height, 2 * kMaxEm)) * upem / cell));
    }
    return std::clamp(em, 1, kMaxEm);
}

FontMetrics sized_metrics(const DesignMetrics& design, int em) {
    int upem = design.units_per_em;
    FontMetrics m;
    m.em = em;
    m.ascent = scaled(design.ascent, em, upem);
    m.descent = scaled(design.descent, em, upem);
    m.average_width = std::max(1, scaled(design.average_width, em, upem));
    m.max_width = std::max(1, scaled(design.max_advance, em, upem));
    m.underline_offset = std::max(1, scaled(design.underline_position, em, upem));
    m.underline_thickness = std::max(1, scaled(design.underline_thickness, em, upem));
    m.strikeout_offset = std::max(1, scaled(design.strikeout_position, em, upem));
    return m;
}

// Metrics of the box fallback, in the proportions of the real family.
FontMetrics box_metrics(int em) {
    FontMetrics m;
    m.em = em;
    m.ascent = std::max(1, static_cast<int>(std::lround(em * 0.93)));
    m.descent = std::max(1, static_cast<int>(std::lround(em * 0.24)));
    m.average_width = std::max(2, em / 2 + 1);
    m.max_width = m.average_width;
    m.underline_offset = 1;
    m.strikeout_offset = std::max(1, m.ascent / 3);
    return m;
}

void render_box(const FontMetrics& metrics, uint32_t code, Glyph& glyph) {
    glyph.advance = metrics.average_width;
    if (code == ' ' || code == 0xa0) return;
    glyph.left = 1;
    glyph.width = std::max(2, metrics.average_width - 2);
    glyph.height = std::max(2, metrics.ascent - 1);
    glyph.top = glyph.height;
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (x == 0 || y == 0 || x == glyph.width - 1 || y == glyph.height - 1)
                glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = 255;
}

void render_freetype(FT_Face face, uint32_t code, Glyph& glyph) {
    FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL;
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, flags) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    int pitch = std::abs(bitmap.pitch);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * pitch;
        std::copy(row, row + glyph.width,
                  glyph.coverage.begin() + static_cast<ptrdiff_t>(y) * glyph.width);
    }
}

} // namespace

FontFace& FontFace::get(const LOGFONTA& font, LONG device_height) {
    FontLibrary& library = FontLibrary::instance();
    bool bold = font.lfWeight >= FW_SEMIBOLD;
    bool italic = font.lfItalic != 0;
    int style = (bold ? 1 : 0) + (italic ? 2 : 0);
    const DesignMetrics* design = library.design(style);
    if (design == nullptr && style != 0) {
        style = 0;
        design = library.design(0);
    }
    if (design == nullptr) {
        library.warn_missing(font_directory() + "/" + kStyleFiles[0]);
        style = kBoxStyle;
    }
    int em = em_for_height(device_height, design);
    std::unique_ptr<FontFace>& slot = library.faces[{style, em}];
    if (slot) return *slot;

    slot.reset(new FontFace());
    FontFace& face = *slot;
    face.m_impl = std::make_unique<Impl>();
    face.m_bold = bold;
    face.m_italic = italic;
    face.m_metrics = design ? sized_metrics(*design, em) : box_metrics(em);
    if (design != nullptr) {
        FT_Face ft = nullptr;
        if (FT_New_Face(library.library, design->path.c_str(), 0, &ft) == 0) {
            FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(em));
            face.m_impl->face = ft;
        }
    }
    return face;
}

FontFace::~FontFace() {
    if (m_impl && m_impl->face != nullptr) FT_Done_Face(m_impl->face);
}

const Glyph& FontFace::glyph(unsigned char ch) {
    std::unique_ptr<Glyph>& slot = m_glyphs[ch];
    if (slot) return *slot;
    slot = std::make_unique<Glyph>();
    uint32_t code = unicode_from_ansi(ch);
    if (code < 0x20 || (code >= 0x7f && code < 0xa0)) return *slot;
    if (m_impl->face != nullptr)
        render_freetype(m_impl->face, code, *slot);
    else
        render_box(m_metrics, code, *slot);
    return *slot;
}

int FontFace::text_width(const char* text, size_t length) {
    int width = 0;
    for (size_t i = 0; i < length; ++i)
        width += advance(static_cast<unsigned char>(text[i]));
    return width;
}

} // namespace winapi::gdi
