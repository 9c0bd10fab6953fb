// Engine handles: 32-bit ids handed out in rising order (never reused while the process
// lives, so a stale handle never finds a newer object), mapped to the objects they name.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

namespace lanternix::media {

// Ids of all registries come from one counter, so a handle of one kind never names an object
// of another kind by accident.
uint32_t next_engine_handle();

template <typename T>
class HandleRegistry {
  public:
    uint32_t add(std::unique_ptr<T> object) {
        uint32_t id = next_engine_handle();
        m_objects.emplace(id, std::move(object));
        return id;
    }

    T* find(uint32_t id) const {
        auto it = m_objects.find(id);
        return it == m_objects.end() ? nullptr : it->second.get();
    }

    // Removes the object and hands it back, so it is destroyed after the registry is
    // consistent again (its destructor may look things up).
    std::unique_ptr<T> remove(uint32_t id) {
        auto it = m_objects.find(id);
        if (it == m_objects.end()) return nullptr;
        std::unique_ptr<T> object = std::move(it->second);
        m_objects.erase(it);
        return object;
    }

    template <typename Predicate>
    uint32_t find_id(Predicate predicate) const {
        for (const auto& [id, object] : m_objects)
            if (predicate(*object)) return id;
        return 0;
    }

    template <typename Visitor>
    void for_each(Visitor visitor) const {
        for (const auto& [id, object] : m_objects)
            visitor(id, *object);
    }

  private:
    std::map<uint32_t, std::unique_ptr<T>> m_objects;
};

} // namespace lanternix::media
