#include "resource/ansi_text.h"

namespace winapi::resource {

namespace {

// Code page 1252 differs from Latin-1 in 0x80..0x9f only. The five bytes it leaves undefined
// map to the C1 control of the same value, as Windows converts them.
constexpr char16_t upper_half_table[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178,
};

char ansi_from_unit(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xa0 && unit <= 0xff)) return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i) {
        if (upper_half_table[i] == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xd800 && unit <= 0xdbff;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xdc00 && unit <= 0xdfff;
}

char16_t unit_at(const uint8_t* bytes, size_t index) {
    return static_cast<char16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

} // namespace

char16_t utf16_from_ansi(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xa0) return upper_half_table[byte - 0x80];
    return byte;
}

std::string ansi_from_utf16le(const uint8_t* bytes, size_t units) {
    std::string text;
    text.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        char16_t unit = unit_at(bytes, i);
        if (is_high_surrogate(unit) && i + 1 < units && is_low_surrogate(unit_at(bytes, i + 1)))
            ++i;
        text.push_back(ansi_from_unit(unit));
    }
    return text;
}

std::u16string utf16_from_ansi(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (char c : text)
        result.push_back(utf16_from_ansi(static_cast<unsigned char>(c)));
    return result;
}

char16_t upper_case(char16_t c) {
    if (c >= u'a' && c <= u'z') return c - 0x20;
    if (c >= 0xe0 && c <= 0xfe && c != 0xf7) return c - 0x20;
    if (c == 0xff) return 0x178;
    return c;
}

std::u16string upper_case(std::u16string text) {
    for (char16_t& c : text)
        c = upper_case(c);
    return text;
}

} // namespace winapi::resource
