// Fonts realised with FreeType. Every logical font maps to the DejaVu Sans family (regular,
// bold, oblique, bold oblique) at a pixel size; faces and their rendered glyphs are cached
// per style and size. When the font files cannot be loaded, text is measured with a fixed
// advance and drawn as hollow boxes, and a warning names the missing file once.
#pragma once

#include <wingdi.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace winapi::gdi {

struct Glyph {
    int left = 0; // pixels from the pen position to the first column of the bitmap
    int top = 0;  // pixels from the baseline up to the first row of the bitmap
    int width = 0;
    int height = 0;
    int advance = 0;               // pixels the pen moves on
    std::vector<uint8_t> coverage; // width * height values, 0 (none) to 255 (full)
};

struct FontMetrics {
    int em = 0; // character (em square) height in pixels
    int ascent = 0;
    int descent = 0;
    int average_width = 0;
    int max_width = 0;
    int underline_offset = 0; // pixels below the baseline
    int underline_thickness = 1;
    int strikeout_offset = 0; // pixels above the baseline

    int height() const { return ascent + descent; }
    int internal_leading() const { return height() - em; }
};

class FontFace {
  public:
    // The face for a logical font whose height, already in device pixels, keeps the
    // LOGFONT meaning of its sign: negative for the character height, positive for the cell
    // height, zero for the default size.
    static FontFace& get(const LOGFONTA& font, LONG device_height);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontMetrics& metrics() const { return m_metrics; }
    bool bold() const { return m_bold; }
    bool italic() const { return m_italic; }

    // The rendered glyph of one ANSI (Windows-1252) character; control characters have no
    // ink and no advance.
    const Glyph& glyph(unsigned char ch);
    int advance(unsigned char ch) { return glyph(ch).advance; }
    int text_width(const char* text, size_t length);

    struct Impl;

  private:
    FontFace() = default;

    std::unique_ptr<Impl> m_impl;
    FontMetrics m_metrics;
    bool m_bold = false;
    bool m_italic = false;
    std::unique_ptr<Glyph> m_glyphs[256];
};

} // namespace winapi::gdi
