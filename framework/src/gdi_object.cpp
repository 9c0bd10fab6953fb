#include "afx_gdi.h"

#include "afx_module_state.h"
#include "handle_map.h"

namespace {

bool gdi_object_is_live(HGDIOBJ handle) {
    return GetObjectType(handle) != 0;
}

// Temporary objects are bitmaps, the one kind of GDI object the framework wraps, so that
// either FromHandle can hand them out.
ModuleHandleMap<HGDIOBJ, CGdiObject, CBitmap, &CGdiObject::m_hObject, gdi_object_is_live>
    g_gdi_objects;

} // namespace

CGdiObject::~CGdiObject() {
    DeleteObject();
}

void CGdiObject::forget_handle() {
    m_hObject = nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) {
    return g_gdi_objects.from_handle(handle);
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    return g_gdi_objects.attach(this, handle);
}

HGDIOBJ CGdiObject::Detach() {
    return g_gdi_objects.detach(this);
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL deleted = ::DeleteObject(Detach());
    g_gdi_objects.reclaim_dead(this);
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
