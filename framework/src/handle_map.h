// The map from a Win32 handle to the framework object for it, behind FromHandle.
//
// Two kinds of entry: permanent ones, for framework objects that hold their handle (Attach
// registers them, Detach removes them; the map never owns them), and temporary ones, made by
// FromHandle for a handle no framework object holds. Temporary objects belong to the map:
// they never own their handle, and the map deletes them once their handle is dead (checked
// on every FromHandle and after the framework itself destroys a handle) and when the module
// exits. All of this runs on the user-interface thread only.
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
