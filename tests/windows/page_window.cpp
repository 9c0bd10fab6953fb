#include "page_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace winhost {

namespace {

const char PageClass[] = "LanternixTestPage";
const char EmbedClass[] = "LanternixTestEmbed";

// The page's own colour, so that the embed's area stands out from it on the screen.
const COLORREF PageColour = RGB(0, 128, 128);

void register_classes() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA page = {};
    page.lpfnWndProc = DefWindowProcA;
    page.hInstance = GetModuleHandleA(nullptr);
    page.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    page.hbrBackground = CreateSolidBrush(PageColour);
    page.lpszClassName = PageClass;
    RegisterClassA(&page);
    // The embed's own procedure does nothing of its own: the plug-in subclasses the window
    // and draws all of it.
    WNDCLASSA embed = {};
    embed.style = CS_HREDRAW | CS_VREDRAW;
    embed.lpfnWndProc = DefWindowProcA;
    embed.hInstance = GetModuleHandleA(nullptr);
    embed.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    embed.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    embed.lpszClassName = EmbedClass;
    RegisterClassA(&embed);
    registered = true;
}

// 32-bit pixels of a bitmap that is selected into no display context.
Picture pixels_of(HDC dc, HBITMAP bitmap, int width, int height) {
    Picture picture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    picture.pixels.resize(static_cast<size_t>(width) * height * 4);
    if (GetDIBits(dc, bitmap, 0, height, picture.pixels.data(), &info, DIB_RGB_COLORS) == height) {
        picture.width = width;
        picture.height = height;
    } else {
        picture.pixels.clear();
    }
    return picture;
}

} // namespace

PageWindows create_page(int left, int top, int width, int height) {
    register_classes();
    PageWindows windows;
    // A pop-up window: no frame or caption, so that its client area is exactly where it is
    // put, with or without a window manager on the display.
    windows.page = CreateWindowExA(0, PageClass, "Lanternix test page", WS_POPUP | WS_VISIBLE, 0, 0,
                                   left * 2 + width, top * 2 + height, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    windows.embed =
        CreateWindowExA(0, EmbedClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top,
                        width, height, windows.page, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (windows.embed)
        windows.embed_procedure =
            reinterpret_cast<WNDPROC>(GetWindowLongPtrA(windows.embed, GWLP_WNDPROC));
    if (windows.page) {
        SetForegroundWindow(windows.page);
        UpdateWindow(windows.page);
    }
    return windows;
}

void destroy_page(PageWindows& windows) {
    if (windows.page) DestroyWindow(windows.page);
    windows = PageWindows{};
}

void pump_messages_for(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        bool any = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!any) Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

Picture read_window(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    Picture picture = pixels_of(memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

Picture read_bitmap_resource(HMODULE module, int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return Picture{};
    BITMAP size = {};
    GetObjectA(bitmap, sizeof size, &size);
    HDC screen = GetDC(nullptr);
    Picture picture = pixels_of(screen, bitmap, size.bmWidth, size.bmHeight);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return picture;
}

Picture crop(const Picture& picture, int left, int top, int width, int height) {
    Picture part;
    if (left < 0 || top < 0 || left + width > picture.width || top + height > picture.height)
        return part;
    part.width = width;
    part.height = height;
    part.pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = picture.at(left, top + y);
        std::copy(row, row + width * 4, &part.pixels[static_cast<size_t>(y) * width * 4]);
    }
    return part;
}

double psnr(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 0.0;
    double squares = 0.0;
    size_t samples = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        for (size_t channel = 0; channel < 3; ++channel) {
            double difference = double(a.pixels[i + channel]) - double(b.pixels[i + channel]);
            squares += difference * difference;
            ++samples;
        }
    }
    double mean = squares / double(samples);
    return mean == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mean);
}

int largest_difference(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 256;
    int largest = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        for (size_t channel = 0; channel < 3; ++channel) {
            int difference = std::abs(int(a.pixels[i + channel]) - int(b.pixels[i + channel]));
            if (difference > largest) largest = difference;
        }
    }
    return largest;
}

bool save_picture(const Picture& picture, const std::string& path) {
    if (picture.pixels.empty()) return false;
    // 24 bits a pixel: the fourth byte of a 32-bit screen pixel is not part of its colour, and
    // GDI leaves it as each drawing call happens to (0 after a fill, whatever the caller's DIB
    // held after StretchDIBits). Viewers that take a mixed fourth byte for transparency would
    // show the filled parts as see-through.
    const size_t row_bytes = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> rows(row_bytes * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* pixel = picture.at(x, y);
            std::copy(pixel, pixel + 3, &rows[y * row_bytes + static_cast<size_t>(x) * 3]);
        }
    }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = -picture.height; // rows top first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(rows.size());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, &header, sizeof header, &written, nullptr) &&
              WriteFile(file, &info, sizeof info, &written, nullptr) &&
              WriteFile(file, rows.data(), static_cast<DWORD>(rows.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

int count_colour(const Picture& picture, COLORREF colour) {
    int count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.colour(x, y) == colour) ++count;
        }
    }
    return count;
}

} // namespace winhost
