// A table that hands out opaque handles for objects of one kind and checks them on the
// way back in. Handles are small counters cast to the handle type, never raw pointers, so a
// stale or foreign handle is recognised instead of being dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace winapi {

template <typename Object>
class HandleTable {
  public:
    // Takes ownership of the object and returns its new handle value (never 0). The tag
    // keeps handle values of different tables apart, so one kind is never mistaken for
    // another.
    explicit HandleTable(uintptr_t tag) : m_tag(tag << 24) {}

    // The 24-bit counter wraps after many handles; a value still in use is skipped, so a
    // live object is never replaced.
    uintptr_t add(std::unique_ptr<Object> object) {
        uintptr_t value;
        do {
            m_counter = (m_counter + 1) & 0xffffff;
            value = m_tag | m_counter;
        } while (m_counter == 0 || m_objects.count(value) != 0);
        m_objects[value] = std::move(object);
        return value;
    }

    // The object for a handle, or null when the handle is not (or no longer) in the table.
    Object* find(uintptr_t value) const {
        auto it = m_objects.find(value);
        return it == m_objects.end() ? nullptr : it->second.get();
    }

    template <typename Handle>
    Object* find(Handle handle) const {
        return find(reinterpret_cast<uintptr_t>(handle));
    }

    // Removes the object and returns it (null when unknown), so the caller decides when it dies.
    std::unique_ptr<Object> remove(uintptr_t value) {
        auto it = m_objects.find(value);
        if (it == m_objects.end()) return nullptr;
        std::unique_ptr<Object> object = std::move(it->second);
        m_objects.erase(it);
        return object;
    }

    template <typename Handle>
    std::unique_ptr<Object> remove(Handle handle) {
        return remove(reinterpret_cast<uintptr_t>(handle));
    }

    template <typename Fn>
    void for_each(Fn&& fn) const {
        for (auto& [value, object] : m_objects)
            fn(value, *object);
    }

    size_t size() const { return m_objects.size(); }

  private:
    uintptr_t m_tag;
    uintptr_t m_counter = 0;
    std::unordered_map<uintptr_t, std::unique_ptr<Object>> m_objects;
};

} // namespace winapi
