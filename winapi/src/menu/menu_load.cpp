// Loading menus from templates: from a module's RT_MENU resources or from memory.
#include <libloaderapi.h>
#include <winerror.h>
#include <winuser_menu.h>
#include <winuser_resource.h>

#include <cstdint>

#include "menu/menu_template.h"

using namespace winapi::menu;

HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR name) {
    // The resource functions set the last error (no such module, type or name) on failure.
    HRSRC resource = FindResourceA(instance, name, RT_MENU);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return nullptr;
    return load_menu_template(data, SizeofResource(instance, resource));
}

HMENU WINAPI LoadMenuIndirectA(const MENUTEMPLATEA* menu_template) {
    // A template in memory comes without its size: it ends where its own end markers say,
    // so it is read without a bound of its own.
    return load_menu_template(menu_template, SIZE_MAX);
}
