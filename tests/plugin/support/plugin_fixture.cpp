#include "support/plugin_fixture.h"

#include "engine/engine_folders.h"

namespace plugin_test {

void PluginFixture::SetUp() {
    HostFixture::SetUp();
    register_page_classes();
    // Read when NP_Initialize starts the engine; an engine library already loaded in the
    // process serves as well, and it is the same recording engine.
    m_engine_path.emplace("LANTERNIX_LIBRARY_PATH", recording_engine::engine_folder(
                                                        recording_engine::Installation::Recording));
    ASSERT_TRUE(library.loaded()) << "expected to load " << plugin_path()
                                  << " and find its three exports";
    host_table = host().table();
    funcs.size = sizeof funcs;
}

void PluginFixture::TearDown() {
    if (m_initialized) shutdown();
    m_engine_path.reset();
    HostFixture::TearDown();
}

void PluginFixture::start() {
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    ASSERT_EQ(initialize(&host_table), NPERR_NO_ERROR);
}

NPError PluginFixture::initialize(NPNetscapeFuncs* table) {
    m_initialized = true;
    return library.initialize(table);
}

NPError PluginFixture::shutdown() {
    m_initialized = false;
    return library.shutdown();
}

NPError PluginFixture::new_instance(NPP npp, const Attributes& attributes, const char* type,
                                    uint16 mode) {
    // The plug-in may keep pointers into neither array, so these copies may go at the end.
    AttributeArrays arrays(attributes);
    return funcs.newp(const_cast<char*>(type), npp, mode, arrays.count(), arrays.names(),
                      arrays.values(), nullptr);
}

NPError PluginFixture::destroy_instance(NPP npp) {
    NPSavedData* saved = nullptr;
    NPError result = funcs.destroy(npp, &saved);
    free_saved_data(saved);
    return result;
}

NPWindow window_record(HWND embed, uint32 width, uint32 height) {
    NPWindow record{};
    record.window = embed;
    record.width = width;
    record.height = height;
    record.clipRect.right = static_cast<uint16>(width);
    record.clipRect.bottom = static_cast<uint16>(height);
    return record;
}

void free_saved_data(NPSavedData* saved) {
    if (!saved) return;
    host().free_block(saved->buf);
    host().free_block(saved);
}

} // namespace plugin_test
