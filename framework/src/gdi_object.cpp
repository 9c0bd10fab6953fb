#include "afx_gdi.h"

#include "afx_module_state.h"
#include "handle_map.h"

namespace {

using GdiMap = HandleMap<HGDIOBJ, CGdiObject>;

bool gdi_object_is_live(HGDIOBJ handle) {
    return GetObjectType(handle) != 0;
}

// The module's map, and its removal at module exit (see handle_map.h). The pointer is plain
// data, so objects destroyed after the removal still read it safely as null.
GdiMap* g_gdi_map = nullptr;

struct GdiMapReaper {
    ~GdiMapReaper() {
        delete g_gdi_map;
        g_gdi_map = nullptr;
    }
} g_gdi_map_reaper;

GdiMap& gdi_map() {
    if (!g_gdi_map) g_gdi_map = new GdiMap(gdi_object_is_live);
    return *g_gdi_map;
}

// Temporary objects are bitmaps, the one kind of GDI object the framework wraps, so that
// either FromHandle can hand them out.
std::unique_ptr<CGdiObject> make_temporary(HGDIOBJ handle) {
    auto object = std::make_unique<CBitmap>();
    object->m_hObject = handle;
    return object;
}

} // namespace

CGdiObject::~CGdiObject() {
    DeleteObject();
}

void CGdiObject::forget_handle() {
    m_hObject = nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) {
    return gdi_map().from_handle(handle, make_temporary);
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (!handle || m_hObject) return FALSE;
    m_hObject = handle;
    gdi_map().attach(handle, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    if (handle && g_gdi_map) g_gdi_map->detach(handle, this);
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL deleted = ::DeleteObject(Detach());
    if (g_gdi_map) g_gdi_map->reclaim_dead(this);
    return deleted;
}

int CGdiObject::GetObject(int count, LPVOID buffer) const {
    return m_hObject ? ::GetObjectA(m_hObject, count, buffer) : 0;
}

CBitmap* CBitmap::FromHandle(HBITMAP handle) {
    return dynamic_cast<CBitmap*>(CGdiObject::FromHandle(handle));
}

BOOL CBitmap::LoadBitmap(LPCSTR name) {
    if (m_hObject) return FALSE;
    HBITMAP bitmap = ::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
    return Attach(bitmap);
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return LoadBitmap(MAKEINTRESOURCEA(id));
}

int CBitmap::GetBitmap(BITMAP* bitmap) const {
    return GetObject(sizeof(BITMAP), bitmap);
}
