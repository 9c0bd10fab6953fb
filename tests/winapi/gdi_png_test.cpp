// PNG output of surfaces: what write_png writes reads back with libpng as the same pixels.
#include "gdi_test_support.h"

#include "gdi/surface_dc.h"

#include <png.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace gdi_test;

namespace {

std::string temp_path(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name + std::to_string(getpid()) + ".png";
}

} // namespace

TEST(GdiPng, WritePngRoundTripsSizeAndPixels) {
    winapi::Surface surface;
    surface.resize(3, 2, 0xffffffffu);
    HDC dc = winapi::gdi::open_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, 3, 2});
    SetPixel(dc, 0, 0, RGB(10, 20, 30));
    SetPixel(dc, 2, 1, kBlue);
    winapi::gdi::close_surface_dc(dc);
    surface.pixels[1] = 0x80402010u; // half-transparent pixel straight in the surface

    std::string path = temp_path("lanternix_gdi_png_");
    ASSERT_TRUE(winapi::gdi::write_png(surface, path.c_str()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    EXPECT_EQ(3u, image.width);
    EXPECT_EQ(2u, image.height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << image.message;
    std::remove(path.c_str());

    auto pixel = [&](int x, int y) {
        const png_byte* p = &rgba[static_cast<size_t>(y * 3 + x) * 4];
        char text[16];
        std::snprintf(text, sizeof text, "%02x%02x%02x%02x", p[0], p[1], p[2], p[3]);
        return std::string(text);
    };
    EXPECT_EQ("0a141eff", pixel(0, 0));
    EXPECT_EQ("40201080", pixel(1, 0));
    EXPECT_EQ("ffffffff", pixel(2, 0));
    EXPECT_EQ("0000ffff", pixel(2, 1));
}

TEST(GdiPng, WritePngFailsForUnwritablePathsAndEmptySurfaces) {
    winapi::Surface surface;
    surface.resize(2, 2);
    EXPECT_FALSE(winapi::gdi::write_png(surface, "/nonexistent-directory/x.png"));
    EXPECT_FALSE(winapi::gdi::write_png(surface, nullptr));
    winapi::Surface empty;
    std::string path = temp_path("lanternix_gdi_empty_");
    EXPECT_FALSE(winapi::gdi::write_png(empty, path.c_str()));
    std::remove(path.c_str());
}
