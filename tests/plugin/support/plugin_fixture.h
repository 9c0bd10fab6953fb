// A fixture that plays the browser: it loads NPLant32, asks for the plug-in table, and hands
// the test host's table to NP_Initialize; at the end it calls NP_Shutdown, and only then
// checks that all host memory has come back. The Windows and temporary directories are
// scratch folders of the test's own while it runs, and the engine installation the library
// finds is the recording engine (a movie instance refuses to start without an engine).
#pragma once

#include "support/page_windows.h"
#include "support/plugin_library.h"
#include "support/scratch_folders.h"
#include "support/test_host.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plugin_test {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// The two parallel arrays of names and values that a browser passes to NPP_New, built from
// attribute pairs; both stay valid as long as this object does.
class AttributeArrays {
  public:
    explicit AttributeArrays(const Attributes& attributes) : m_attributes(attributes) {
        for (auto& [name, value] : m_attributes) {
            m_names.push_back(name.data());
            m_values.push_back(value.data());
        }
    }
    int16 count() const { return static_cast<int16>(m_names.size()); }
    char** names() { return m_names.empty() ? nullptr : m_names.data(); }
    char** values() { return m_values.empty() ? nullptr : m_values.data(); }

  private:
    Attributes m_attributes;
    std::vector<char*> m_names, m_values;
};

// The window record a browser passes for an embed window of `width` x `height`: the window,
// its size, and a clip rectangle of all of it.
NPWindow window_record(HWND embed, uint32 width, uint32 height);

class PluginFixture : public HostFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // NP_GetEntryPoints into funcs (a whole table) and NP_Initialize with host_table; both
    // must succeed.
    void start();
    // NP_Initialize with `table`, which must stay valid until NP_Shutdown; TearDown shuts
    // the library down afterwards.
    NPError initialize(NPNetscapeFuncs* table);
    // NP_Shutdown, now rather than in TearDown.
    NPError shutdown();

    // NPP_New through the table with the attributes as the page's EMBED would give them.
    NPError new_instance(NPP npp, const Attributes& attributes = {},
                         const char* type = "video/quicktime", uint16 mode = NP_EMBED);
    // NPP_Destroy through the table; the host then frees the saved-data record it received,
    // as it owns it. Returns the NPP_Destroy result.
    NPError destroy_instance(NPP npp);

    // An instance made through NPP_New that is destroyed through NPP_Destroy when it goes out
    // of scope, unless the test destroyed it first: a test that ends part-way, at a failed
    // assertion, leaves no instance behind for the library's shutdown.
    class ScopedInstance {
      public:
        explicit ScopedInstance(PluginFixture& fixture) : m_fixture(fixture) {}
        ~ScopedInstance() {
            if (m_open) destroy();
        }
        ScopedInstance(const ScopedInstance&) = delete;
        ScopedInstance& operator=(const ScopedInstance&) = delete;

        NPError open(const Attributes& attributes = {}) {
            NPError result = m_fixture.new_instance(&m_npp, attributes);
            m_open = result == NPERR_NO_ERROR;
            return result;
        }
        NPError destroy() {
            m_open = false;
            return m_fixture.destroy_instance(&m_npp);
        }
        NPP get() { return &m_npp; }

      private:
        PluginFixture& m_fixture;
        NPP_t m_npp{};
        bool m_open = false;
    };

    // The library's profile (NPLant32.INI, written at every shutdown) and its cache files go
    // to folders of the test's own, never to the user's.
    ScratchFolders folders;
    PluginLibrary library;
    NPNetscapeFuncs host_table{};
    NPPluginFuncs funcs{};

  private:
    bool m_initialized = false;
    std::optional<ScopedEnvironment> m_engine_path;
};

// Frees a saved-data record the host received, buffer first.
void free_saved_data(NPSavedData* saved);

} // namespace plugin_test
