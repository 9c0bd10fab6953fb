#include "window/window_class.h"

#include <algorithm>
#include <cstdlib>
#include <strings.h>
#include <vector>

namespace winapi::window {

namespace {

struct ClassRegistry {
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::vector<std::shared_ptr<WindowClass>> system_classes; // outlive every reset
    ATOM next_atom = 0xC000; // string atoms start here, as on Windows
};

ClassRegistry& registry() {
    static ClassRegistry r;
    return r;
}

bool names_class(const WindowClass& cls, LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return cls.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    return strcasecmp(cls.name.c_str(), name) == 0;
}

} // namespace

std::shared_ptr<WindowClass> find_window_class(LPCSTR name) {
    if (!name) return nullptr;
    static const bool layer_classes = (register_layer_classes(), true);
    (void)layer_classes;
    for (auto& cls : registry().classes)
        if (names_class(*cls, name)) return cls;
    // A program's own class of the same name wins over the layer's.
    for (auto& cls : registry().system_classes)
        if (names_class(*cls, name)) return cls;
    return nullptr;
}

void add_system_class(const WNDCLASSA& wc) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc.lpszClassName;
    // "#32770"-style names are the integer atoms the classes are known by.
    if (cls->name.size() > 1 && cls->name[0] == '#')
        cls->atom = static_cast<ATOM>(std::strtoul(cls->name.c_str() + 1, nullptr, 10));
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->window_extra = wc.cbWndExtra;
    cls->cursor = wc.hCursor;
    cls->background = wc.hbrBackground;
    registry().system_classes.push_back(std::move(cls));
}

void unregister_all_classes() {
    registry().classes.clear();
}

} // namespace winapi::window

using namespace winapi::window;

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc || lpWndClass->cbClsExtra < 0 || lpWndClass->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (find_window_class(lpWndClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = lpWndClass->lpszClassName;
    cls->atom = registry().next_atom++;
    cls->style = lpWndClass->style;
    cls->proc = lpWndClass->lpfnWndProc;
    cls->class_extra = lpWndClass->cbClsExtra;
    cls->window_extra = lpWndClass->cbWndExtra;
    cls->instance = lpWndClass->hInstance;
    cls->icon = lpWndClass->hIcon;
    cls->cursor = lpWndClass->hCursor;
    cls->background = lpWndClass->hbrBackground;
    cls->menu_name = lpWndClass->lpszMenuName;
    registry().classes.push_back(cls);
    return cls->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    std::shared_ptr<WindowClass> cls = find_window_class(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (cls->window_count > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& classes = registry().classes;
    classes.erase(std::remove(classes.begin(), classes.end(), cls), classes.end());
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
    std::shared_ptr<WindowClass> cls = find_window_class(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpWndClass->style = cls->style;
    lpWndClass->lpfnWndProc = cls->proc;
    lpWndClass->cbClsExtra = cls->class_extra;
    lpWndClass->cbWndExtra = cls->window_extra;
    lpWndClass->hInstance = cls->instance;
    lpWndClass->hIcon = cls->icon;
    lpWndClass->hCursor = cls->cursor;
    lpWndClass->hbrBackground = cls->background;
    lpWndClass->lpszMenuName = cls->menu_name;
    lpWndClass->lpszClassName = cls->name.c_str();
    return TRUE;
}
