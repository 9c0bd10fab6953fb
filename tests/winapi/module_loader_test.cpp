// LoadLibraryA, FreeLibrary and GetProcAddress: the library search, name mapping, load counts
// and the documented failures.
#include <windows.h>

#include "lxmod_test_support.h"
#include "module/library_name.h"

#include <gtest/gtest.h>

using lxtest::module_dir;
using lxtest::module_name;
using lxtest::module_path;
using lxtest::ScopedLibraryPath;

namespace {

// True while a module of that file name is mapped.
bool is_loaded(const char* name) {
    return GetModuleHandleA(name) != nullptr;
}

TEST(ModuleLibraryName, MapsWin32NamesToSharedObjects) {
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"QTIM32.DLL", "QTIM32.so"},
        {"qtim32.dll", "qtim32.so"},
        {"Mixed.Dll", "Mixed.so"},
        {"NoExtension", "NoExtension.so"},
        {"trailing.", "trailing"},
        {"already.so", "already.so"},
        {"data.bin", "data.bin"},
        {"C:\\Program Files\\Lanternix\\X.DLL", "C:/Program Files/Lanternix/X.so"},
        {"dir.d\\plain", "dir.d/plain.so"},
        {"dir/name.dll.dll", "dir/name.dll.so"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(winapi::module::map_library_name(c.name), c.expected);
    }
}

TEST(ModuleLoadLibrary, SearchesLibraryPathFoldersInOrder) {
    struct Case {
        std::string path;
        const char* expected;
    } cases[] = {
        {module_path("first") + ":" + module_path("second"), "first"},
        {module_path("second") + ":" + module_path("first"), "second"},
        {"::" + module_path("no-such-folder") + "::" + module_path("second"), "second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ScopedLibraryPath path(c.path);
        // The file is lxmod_order.so: the name's case does not matter, as on Windows.
        HMODULE module = LoadLibraryA("LXMOD_ORDER.DLL");
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        EXPECT_EQ(module_name(module), c.expected);
        EXPECT_TRUE(FreeLibrary(module));
        EXPECT_FALSE(is_loaded("lxmod_order.dll")) << "expected the library to be unmapped";
    }
}

TEST(ModuleLoadLibrary, AcceptsTheUsualSpellingsOfOneLibrary) {
    ScopedLibraryPath path(module_dir());
    const std::string backslashed = lxtest::with_backslashes(module_path("lxmod_plain.dll"));
    const char* names[] = {"lxmod_plain.dll", "LXMOD_PLAIN.DLL", "lxmod_plain", "lxmod_plain.so",
                           backslashed.c_str()};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        HMODULE module = LoadLibraryA(name);
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        EXPECT_EQ(module_name(module), "plain");
        EXPECT_TRUE(FreeLibrary(module));
    }
    EXPECT_FALSE(is_loaded("lxmod_plain.dll"));
}

TEST(ModuleLoadLibrary, SearchesBesideTheCallingModule) {
    ScopedLibraryPath path(std::nullopt);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("lxmod_neighbour.dll"), nullptr)
        << "the test program's own search does not reach the caller module's folder";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    HMODULE caller = LoadLibraryA(LXTEST_CALLER_MODULE);
    ASSERT_NE(caller, nullptr) << "error " << GetLastError();
    auto* load = lxtest::exported<HMODULE(const char*)>(caller, "lxmod_caller_load");
    ASSERT_NE(load, nullptr);
    HMODULE neighbour = load("lxmod_neighbour.dll");
    ASSERT_NE(neighbour, nullptr) << "error " << GetLastError();
    EXPECT_EQ(module_name(neighbour), "neighbour");
    EXPECT_TRUE(FreeLibrary(neighbour));
    EXPECT_TRUE(FreeLibrary(caller));
}

TEST(ModuleLoadLibrary, SearchesThePathThenTheCallerThenTheProgram) {
    // lxmod_search.so lies in a path folder, in the caller module's folder and beside the
    // test program; each copy names its folder.
    HMODULE caller = LoadLibraryA(LXTEST_CALLER_MODULE);
    ASSERT_NE(caller, nullptr) << "error " << GetLastError();
    auto* load_from_caller = lxtest::exported<HMODULE(const char*)>(caller, "lxmod_caller_load");
    ASSERT_NE(load_from_caller, nullptr);
    auto load_from_program = [](const char* name) { return LoadLibraryA(name); };
    struct Case {
        std::optional<std::string> path;
        bool from_caller;
        const char* expected;
    } cases[] = {
        {module_path("first"), true, "path folder"}, {module_path("first"), false, "path folder"},
        {std::nullopt, true, "caller folder"},       {std::nullopt, false, "program folder"},
        {module_dir(), true, "caller folder"}, // a path folder without the library
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path.value_or("(no path)")) +
                     (c.from_caller ? ", caller" : ", program"));
        ScopedLibraryPath path(c.path);
        HMODULE module = c.from_caller ? load_from_caller("lxmod_search.dll")
                                       : load_from_program("lxmod_search.dll");
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        EXPECT_EQ(module_name(module), c.expected);
        EXPECT_TRUE(FreeLibrary(module));
        EXPECT_FALSE(is_loaded("lxmod_search.dll"));
    }
    EXPECT_TRUE(FreeLibrary(caller));
}

TEST(ModuleLoadLibrary, UsesALoadedLibraryOfTheSameNameWhereverItLies) {
    HMODULE first = nullptr;
    {
        ScopedLibraryPath path(module_path("first"));
        first = LoadLibraryA("lxmod_order.dll");
        ASSERT_NE(first, nullptr);
    }
    ScopedLibraryPath path(module_path("second"));
    HMODULE again = LoadLibraryA("lxmod_order.dll");
    EXPECT_EQ(again, first) << "expected the loaded copy, got another";
    EXPECT_EQ(module_name(again), "first");
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_FALSE(is_loaded("lxmod_order.dll"));
}

TEST(ModuleLoadLibrary, CountsLoadsUntilTheLastFree) {
    HMODULE first = LoadLibraryA(module_path("lxmod_plain.so").c_str());
    HMODULE second = LoadLibraryA(module_path("lxmod_plain.dll").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first) << "expected one handle for one library";

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleHandleA("lxmod_plain.dll"), first) << "one load is still counted";
    EXPECT_EQ(module_name(first), "plain");

    EXPECT_TRUE(FreeLibrary(first));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("lxmod_plain.dll"), nullptr) << "expected the library unmapped";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(first)) << "a stale handle is no module";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(ModuleLoadLibrary, ReportsMissingAndBrokenLibraries) {
    ScopedLibraryPath path(module_dir());
    const std::string directory = module_path("first");
    struct Case {
        const char* name;
        DWORD error;
    } cases[] = {
        {"lxmod_missing.dll", ERROR_MOD_NOT_FOUND}, {"", ERROR_MOD_NOT_FOUND},
        {"lxmod_plain.", ERROR_MOD_NOT_FOUND}, // no extension: the file "lxmod_plain"
        {directory.c_str(), ERROR_MOD_NOT_FOUND},   {"lxmod_broken.dll", ERROR_BAD_FORMAT},
        {nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }
}

TEST(ModuleFreeLibrary, RefusesWhatIsNotAModule) {
    HMODULE program = GetModuleHandleA(nullptr);
    HMODULE not_modules[] = {nullptr, reinterpret_cast<HMODULE>(0x1234),
                             reinterpret_cast<HMODULE>(reinterpret_cast<char*>(program) + 16)};
    for (HMODULE module : not_modules) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(module));
        SetLastError(0);
        EXPECT_FALSE(FreeLibrary(module));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    // The layer holds no count on the program; freeing it succeeds and changes nothing.
    EXPECT_TRUE(FreeLibrary(program));
    EXPECT_EQ(GetModuleHandleA(nullptr), program);
}

TEST(ModuleProcAddress, FindsOnlyTheModulesOwnExports) {
    HMODULE module = LoadLibraryA(LXTEST_RES_MODULE);
    ASSERT_NE(module, nullptr);
    auto* answer = lxtest::exported<int()>(module, "lxmod_answer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);

    struct Case {
        HMODULE module;
        LPCSTR name;
        DWORD error;
    } cases[] = {
        {module, "lxmod_no_such_export", ERROR_PROC_NOT_FOUND},
        // The module imports GetLastError from the layer but does not export it.
        {module, "GetLastError", ERROR_PROC_NOT_FOUND},
        {module, MAKEINTRESOURCEA(1), ERROR_PROC_NOT_FOUND},
        {module, nullptr, ERROR_PROC_NOT_FOUND},
        // The test program exports nothing.
        {nullptr, "GetLastError", ERROR_PROC_NOT_FOUND},
        {reinterpret_cast<HMODULE>(0x1234), "lxmod_answer", ERROR_MOD_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(IS_INTRESOURCE(c.name) ? "(ordinal)" : c.name);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(c.module, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }

    HMODULE layer = GetModuleHandleA("liblanternix-winapi.so");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(layer, "GetLastError")),
              reinterpret_cast<void*>(&GetLastError));
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
