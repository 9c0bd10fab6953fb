// The library's exports, as a browser finds them: the three entry points by name, and
// nothing of the library's own state. (The ctest plugin_exports_match_def compares the whole
// dynamic symbol table with NPLant32.def.)
#include "support/plugin_library.h"

#include <gtest/gtest.h>

using namespace plugin_test;

TEST(PluginExports, TheThreeEntryPointsAreFoundByName) {
    PluginLibrary library;
    ASSERT_NE(library.module(), nullptr) << "expected LoadLibraryA to load " << plugin_path();
    for (const char* name : {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(GetProcAddress(library.module(), name), nullptr);
    }
}

TEST(PluginExports, LibraryStateStaysInside) {
    PluginLibrary library;
    ASSERT_NE(library.module(), nullptr);
    // Global variables keep their plain names in the symbol table, so these would be found
    // if the library exported more than its entry points.
    for (const char* name : {"HostFuncs", "InstanceList", "PluginApp"}) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(library.module(), name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
}
