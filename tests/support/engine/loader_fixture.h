// A fixture for tests that link the plug-in's sources and drive its engine loader directly.
//
// The loader keeps the engine libraries loaded for the life of the process, and a library
// already loaded under a name satisfies every later load of that name. So each test starts
// and ends with the linked loader reset, no engine library mapped, the record empty and
// LANTERNIX_LIBRARY_PATH as it was; that way every test sees exactly the installation it
// selects, whether the tests run in one process or in one process each.
#pragma once

#include "engine/engine_slots.h"

#include "engine/engine_folders.h"
#include "engine/recording_engine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace recording_engine {

class LoaderFixture : public ::testing::Test {
  protected:
    // An error mode nobody else sets, so a test sees whether the loader put it back.
    static constexpr UINT OutsideErrorMode = SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX;

    void SetUp() override {
        if (const char* path = std::getenv("LANTERNIX_LIBRARY_PATH")) m_saved_path = path;
        m_saved_mode = SetErrorMode(OutsideErrorMode);
        release();
    }

    void TearDown() override {
        release();
        SetErrorMode(m_saved_mode);
        if (m_saved_path)
            setenv("LANTERNIX_LIBRARY_PATH", m_saved_path->c_str(), 1);
        else
            unsetenv("LANTERNIX_LIBRARY_PATH");
    }

    // Resets the loader (it gives back its own loads first, so none of its slots can point
    // into a library that goes away), gives back every other load of the engine libraries,
    // and empties the record.
    void release() {
        ResetEngineLoader();
        ASSERT_TRUE(release_engine_libraries())
            << "expected QTIM32 and CMGR32 to be unmapped, got one still mapped";
        reset();
    }

    // release(), then the installation to load from next.
    void fresh_start(Installation installation) {
        release();
        select_engine(installation);
    }

  private:
    std::optional<std::string> m_saved_path;
    UINT m_saved_mode = 0;
};

inline const char* library_name(Library library) {
    return library == Library::Movie ? "movie" : "component";
}

inline bool mapped(const char* library) {
    return GetModuleHandleA(library) != nullptr;
}

} // namespace recording_engine
