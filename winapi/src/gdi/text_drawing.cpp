#include "gdi/text_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "gdi/gdi_object.h"

namespace winapi::gdi {

namespace {

// One laid-out line of DrawTextA: a range of the prefix-free text.
struct TextLine {
    size_t begin = 0;
    size_t end = 0;
    int width = 0;
};

// The text without its prefix characters: "&x" shows x underlined, "&&" shows one '&'. The
// index of the last underlined character comes back in `mnemonic` (-1 when none).
std::string strip_prefixes(const char* text, size_t length, int& mnemonic) {
    std::string out;
    mnemonic = -1;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        if (i + 1 >= length) break; // a trailing '&' marks nothing
        ++i;
        if (text[i] != '&') mnemonic = static_cast<int>(out.size());
        out += text[i];
    }
    return out;
}

// Splits one paragraph at spaces into lines no wider than `limit`; a word wider than the
// limit stands on a line of its own. The spaces at a break belong to no line.
void wrap_paragraph(FontFace& face, const std::string& text, size_t begin, size_t end, int limit,
                    std::vector<TextLine>& lines) {
    size_t start = begin;
    while (true) {
        size_t cut = end;
        int width = face.text_width(text.data() + start, end - start);
        if (width > limit) {
            // Take words while they fit; always at least one.
            size_t fit = start;
            size_t pos = start;
            while (pos < end) {
                size_t word_end = text.find(' ', pos);
                if (word_end == std::string::npos || word_end > end) word_end = end;
                if (fit != start && face.text_width(text.data() + start, word_end - start) > limit)
                    break;
                fit = word_end;
                pos = word_end;
                while (pos < end && text[pos] == ' ')
                    ++pos;
            }
            cut = fit;
            width = face.text_width(text.data() + start, cut - start);
        }
        lines.push_back(TextLine{start, cut, width});
        if (cut >= end) return;
        start = cut;
        while (start < end && text[start] == ' ')
            ++start;
        if (start >= end) return;
    }
}

std::vector<TextLine> layout_lines(FontFace& face, const std::string& text, UINT format,
                                   int limit) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(TextLine{0, text.size(), face.text_width(text.data(), text.size())});
        return lines;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string::npos) stop = text.size();
        if ((format & DT_WORDBREAK) && stop > start)
            wrap_paragraph(face, text, start, stop, limit, lines);
        else
            lines.push_back(
                TextLine{start, stop, face.text_width(text.data() + start, stop - start)});
        if (stop >= text.size()) break;
        // "\r\n" is one break.
        start = stop +
                ((text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1);
        if (start == text.size()) break;
    }
    return lines;
}

void draw_glyphs(const Target& target, FontFace& face, LONG x, LONG baseline, const char* text,
                 size_t length, uint32_t rgb) {
    LONG pen = x;
    for (size_t i = 0; i < length; ++i) {
        const Glyph& glyph = face.glyph(static_cast<unsigned char>(text[i]));
        LONG left = pen + glyph.left;
        LONG top = baseline - glyph.top;
        for (int row = 0; row < glyph.height; ++row) {
            const uint8_t* coverage =
                glyph.coverage.data() + static_cast<size_t>(row) * glyph.width;
            for (int col = 0; col < glyph.width; ++col)
                if (coverage[col]) blend(target, left + col, top + row, rgb, coverage[col]);
        }
        pen += glyph.advance;
        // Advances only move right; a glyph reaches back by less than an em.
        if (pen >= target.clip.right + face.metrics().em) break;
    }
}

// DrawTextA's text laid out: what is shown, its lines and its size in device pixels.
struct TextBlock {
    std::string shown;
    int mnemonic = -1;
    std::vector<TextLine> lines;
    LONG line_height = 0;
    LONG height = 0;
    int widest = 0;
};

TextBlock lay_out(FontFace& face, const char* text, size_t length, UINT format, LONG width) {
    TextBlock block;
    block.shown = (format & DT_NOPREFIX) ? std::string(text, length)
                                         : strip_prefixes(text, length, block.mnemonic);
    if (format & DT_HIDEPREFIX) block.mnemonic = -1;
    block.lines = layout_lines(face, block.shown, format, width);
    block.line_height = face.metrics().height();
    block.height = clamp_coordinate(int64_t(block.line_height) * int64_t(block.lines.size()));
    for (const TextLine& line : block.lines)
        block.widest = std::max(block.widest, line.width);
    return block;
}

// Vertical placement applies to single lines only, as documented; other text starts at the top.
LONG block_top(const RECT& box, LONG height, UINT format) {
    if (!(format & DT_SINGLELINE)) return box.top;
    if (format & DT_BOTTOM) return box.bottom - height;
    if (format & DT_VCENTER) return box.top + (box.bottom - box.top - height) / 2;
    return box.top;
}

LONG line_left(const RECT& box, int width, UINT format) {
    if (format & DT_RIGHT) return box.right - width;
    if (format & DT_CENTER) return box.left + (box.right - box.left - width) / 2;
    return box.left;
}

void draw_block(DeviceContext& dc, FontFace& face, const TextBlock& block, const RECT& box,
                LONG top, UINT format) {
    Target target;
    if (block.lines.empty() || !dc_target(dc, target)) return;
    if (!(format & DT_NOCLIP)) target.clip = intersect(target.clip, box);
    for (size_t i = 0; i < block.lines.size(); ++i) {
        const TextLine& line = block.lines[i];
        int begin = static_cast<int>(line.begin), end = static_cast<int>(line.end);
        int mark = (block.mnemonic >= begin && block.mnemonic < end) ? block.mnemonic - begin : -1;
        draw_text_line(target, dc, face, line_left(box, line.width, format),
                       clamp_coordinate(top + int64_t(block.line_height) * int64_t(i)),
                       block.shown.data() + line.begin, line.end - line.begin, mark);
    }
}

LONG logical_height(const DeviceContext& dc, LONG device) {
    return std::labs(dc.state.mapping.height_to_logical(device));
}

} // namespace

const LOGFONTA& selected_logfont(const DeviceContext& dc) {
    static const LOGFONTA fallback = default_logfont();
    const Font* font = find_font(dc.state.font);
    return font ? font->log : fallback;
}

FontFace& selected_face(const DeviceContext& dc) {
    const LOGFONTA& font = selected_logfont(dc);
    LONG height = font.lfHeight;
    LONG device = std::labs(dc.state.mapping.height_to_device(std::labs(height)));
    if (height != 0 && device == 0) device = 1;
    return FontFace::get(font, height < 0 ? -device : device);
}

void draw_text_line(const Target& target, const DeviceContext& dc, FontFace& face, LONG x, LONG y,
                    const char* text, size_t length, int mnemonic) {
    x = clamp_coordinate(x);
    y = clamp_coordinate(y);
    const FontMetrics& metrics = face.metrics();
    int width = face.text_width(text, length);
    if (dc.state.background_mode == OPAQUE)
        fill_rect(target, RECT{x, y, x + width, y + metrics.height()},
                  rgb_from_colorref(dc.state.background_color));
    uint32_t rgb = rgb_from_colorref(dc.state.text_color);
    LONG baseline = y + metrics.ascent;
    draw_glyphs(target, face, x, baseline, text, length, rgb);
    const LOGFONTA& font = selected_logfont(dc);
    LONG thickness = metrics.underline_thickness;
    LONG underline = baseline + metrics.underline_offset;
    if (font.lfUnderline)
        fill_rect(target, RECT{x, underline, x + width, underline + thickness}, rgb);
    if (font.lfStrikeOut) {
        LONG strike = baseline - metrics.strikeout_offset;
        fill_rect(target, RECT{x, strike, x + width, strike + thickness}, rgb);
    }
    if (mnemonic >= 0 && static_cast<size_t>(mnemonic) < length) {
        LONG start = x + face.text_width(text, static_cast<size_t>(mnemonic));
        LONG end = start + face.advance(static_cast<unsigned char>(text[mnemonic]));
        fill_rect(target, RECT{start, underline, end, underline + thickness}, rgb);
    }
}

int draw_text(DeviceContext& dc, const char* text, size_t length, RECT& rect, UINT format) {
    FontFace& face = selected_face(dc);
    RECT box = rect_to_target(dc, POINT{rect.left, rect.top}, POINT{rect.right, rect.bottom});
    box = RECT{clamp_coordinate(box.left), clamp_coordinate(box.top), clamp_coordinate(box.right),
               clamp_coordinate(box.bottom)};
    TextBlock block = lay_out(face, text, length, format, box.right - box.left);
    if (format & DT_CALCRECT) {
        const CoordinateMapping& mapping = dc.state.mapping;
        rect.right = rect.left + mapping.width_to_logical(block.widest);
        rect.bottom = rect.top + mapping.height_to_logical(block.height);
        return static_cast<int>(logical_height(dc, block.height));
    }
    LONG top = block_top(box, block.height, format);
    draw_block(dc, face, block, box, top, format);
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return static_cast<int>(logical_height(dc, top + block.height - box.top));
    return static_cast<int>(logical_height(dc, block.height));
}

} // namespace winapi::gdi
