// The map from a Win32 handle to the framework object for it, behind FromHandle.
//
// Two kinds of entry: permanent ones, for framework objects that hold their handle (Attach
// registers them, Detach removes them; the map never owns them), and temporary ones, made by
// FromHandle for a handle no framework object holds. Temporary objects belong to the map:
// they never own their handle, and the map deletes them once their handle is dead (checked
// on every FromHandle and after the framework itself destroys a handle) and when the module
// exits. All of this runs on the user-interface thread only.
//
// ModuleHandleMap is how a framework class keeps its map: one per kind of handle in the
// module, with the FromHandle, Attach and Detach that every such class has.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

template <typename Handle, typename Object>
class HandleMap {
  public:
    using IsLive = bool (*)(Handle);

    explicit HandleMap(IsLive is_live) : m_is_live(is_live) {}

    ~HandleMap() {
        for (auto& [handle, object] : m_temporary)
            object->forget_handle();
    }

    void attach(Handle handle, Object* object) { m_permanent[handle] = object; }

    void detach(Handle handle, const Object* object) {
        auto it = m_permanent.find(handle);
        if (it != m_permanent.end() && it->second == object) m_permanent.erase(it);
    }

    // The permanent object for `handle`, else its temporary one, made by `make` when there
    // is none yet. Null for a null handle.
    template <typename Make>
    Object* from_handle(Handle handle, Make&& make) {
        if (!handle) return nullptr;
        auto it = m_permanent.find(handle);
        if (it != m_permanent.end()) return it->second;
        reclaim_dead(nullptr);
        std::unique_ptr<Object>& slot = m_temporary[handle];
        if (!slot) slot = make(handle);
        return slot.get();
    }

    // Deletes the temporary objects whose handles are dead, except `keep` (an object whose
    // member function is still running).
    void reclaim_dead(const Object* keep) {
        // Liveness probes are not failures of the caller: keep its last error intact.
        DWORD saved_error = GetLastError();
        for (auto it = m_temporary.begin(); it != m_temporary.end();) {
            if (it->second.get() != keep && !m_is_live(it->first)) {
                it->second->forget_handle();
                it = m_temporary.erase(it);
            } else {
                ++it;
            }
        }
        SetLastError(saved_error);
    }

  private:
    IsLive m_is_live;
    std::unordered_map<Handle, Object*> m_permanent;
    std::unordered_map<Handle, std::unique_ptr<Object>> m_temporary;
};

// The module's map of one kind of handle, made on first use and removed at module exit by the
// one global ModuleHandleMap of that kind. The map pointer is plain data, constant-initialised,
// so an object destroyed after the removal (a static one) still reads it safely as null.
// `Member` is the object's handle member; temporary objects are made as `Temporary`.
template <typename Handle, typename Object, typename Temporary, Handle Object::*Member,
          bool (*IsLive)(Handle)>
class ModuleHandleMap {
  public:
    ModuleHandleMap() = default;
    ModuleHandleMap(const ModuleHandleMap&) = delete;
    ModuleHandleMap& operator=(const ModuleHandleMap&) = delete;
    ~ModuleHandleMap() {
        delete s_map;
        s_map = nullptr;
    }

    // The object for `handle`, permanent or temporary; null for a null handle.
    Object* from_handle(Handle handle) { return map().from_handle(handle, make_temporary); }

    // Gives `object`, which holds no handle yet, the non-null `handle`.
    BOOL attach(Object* object, Handle handle) {
        if (!handle || object->*Member) return FALSE;
        object->*Member = handle;
        map().attach(handle, object);
        return TRUE;
    }

    // Takes the handle back from `object` and answers it.
    Handle detach(Object* object) {
        Handle handle = object->*Member;
        if (handle && s_map) s_map->detach(handle, object);
        object->*Member = nullptr;
        return handle;
    }

    // After the framework destroyed a handle: see HandleMap::reclaim_dead.
    void reclaim_dead(const Object* keep) {
        if (s_map) s_map->reclaim_dead(keep);
    }

  private:
    static HandleMap<Handle, Object>& map() {
        if (!s_map) s_map = new HandleMap<Handle, Object>(IsLive);
        return *s_map;
    }

    static std::unique_ptr<Object> make_temporary(Handle handle) {
        auto object = std::make_unique<Temporary>();
        object.get()->*Member = handle;
        return object;
    }

    static inline HandleMap<Handle, Object>* s_map = nullptr;
};
