// PNG output of surfaces, for screenshots and for looking at what a test drew.
#include "gdi/surface_dc.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace winapi::gdi {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One row of a surface as 8-bit RGBA bytes.
void rgba_row(const Surface& surface, int y, std::vector<png_byte>& out) {
    const uint32_t* row = surface.row(y);
    for (int x = 0; x < surface.width; ++x) {
        uint32_t p = row[x];
        out[size_t(x) * 4 + 0] = static_cast<png_byte>(p >> 16);
        out[size_t(x) * 4 + 1] = static_cast<png_byte>(p >> 8);
        out[size_t(x) * 4 + 2] = static_cast<png_byte>(p);
        out[size_t(x) * 4 + 3] = static_cast<png_byte>(p >> 24);
    }
}

// libpng reports errors by jumping back to setjmp; nothing with a destructor may live
// between the setjmp and the calls that can jump, so the rows are prepared by the caller.
bool encode(std::FILE* file, const Surface& surface, std::vector<png_byte>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width),
                 static_cast<png_uint_32>(surface.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
        rgba_row(surface, y, row);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool write_png(const Surface& surface, const char* path) {
    if (path == nullptr || surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() < size_t(surface.width) * size_t(surface.height))
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) return false;
    std::vector<png_byte> row(size_t(surface.width) * 4);
    if (!encode(file.get(), surface, row)) return false;
    return std::fflush(file.get()) == 0;
}

} // namespace winapi::gdi
