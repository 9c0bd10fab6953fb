// CGdiObject and CBitmap: framework objects that own a GDI object handle. An object owns the
// handle it holds (Attach, LoadBitmap) and deletes it in its destructor, unless the handle
// was taken back with Detach.
#pragma once

#include <windows.h>

template <typename Handle, typename Object>
class HandleMap;

class CGdiObject {
  public:
    CGdiObject() = default;
    // Deletes the GDI object the framework object still holds.
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // A framework object for `handle`: the object that holds it (Attach), or else a
    // temporary one owned by the framework. A temporary object does not own the handle, is
    // the same for every call while the handle lives, and is reclaimed once the handle has
    // been deleted (or when the module exits). Null for a null handle.
    static CGdiObject* FromHandle(HGDIOBJ handle);

    // Takes ownership of `handle`. FALSE for a null handle or when the object already holds
    // one.
    BOOL Attach(HGDIOBJ handle);
    // Gives up the handle without deleting it and returns it (null when there was none).
    HGDIOBJ Detach();
    // Deletes the held GDI object; FALSE when there is none or the deletion fails.
    BOOL DeleteObject();

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // GetObjectA on the held handle.
    int GetObject(int count, LPVOID buffer) const;

    HGDIOBJ m_hObject = nullptr;

  private:
    template <typename, typename>
    friend class HandleMap;
    // Drops the handle without deleting it: temporary objects never own theirs.
    void forget_handle();
};

class CBitmap : public CGdiObject {
  public:
    CBitmap() = default;

    // As CGdiObject::FromHandle, as a bitmap: null when the handle is held by a framework
    // object that is not a CBitmap.
    static CBitmap* FromHandle(HBITMAP handle);

    // Loads bitmap resource `name` (or number `id`) from the module AfxFindResourceHandle
    // names and takes ownership of it. FALSE when there is no such bitmap or the object
    // already holds a handle.
    BOOL LoadBitmap(LPCSTR name);
    BOOL LoadBitmap(UINT id);

    // Fills `bitmap` with the held bitmap's description; the number of bytes written, 0
    // when the object holds no bitmap.
    int GetBitmap(BITMAP* bitmap) const;

    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
