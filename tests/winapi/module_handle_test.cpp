// GetModuleHandleA, GetModuleHandleExA and GetModuleFileNameA.
#include <windows.h>

#include "lxmod_test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

using lxtest::module_path;

namespace {

// Somewhere inside the test program.
void function_in_program() {}

std::string real_path(const char* path) {
    char buffer[PATH_MAX];
    return realpath(path, buffer) ? buffer : "";
}

HMODULE base_from_loader(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) ? static_cast<HMODULE>(info.dli_fbase) : nullptr;
}

class ModuleHandle : public testing::Test {
  protected:
    void SetUp() override {
        m_module = LoadLibraryA(LXTEST_RES_MODULE);
        ASSERT_NE(m_module, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (m_module) {
            EXPECT_TRUE(FreeLibrary(m_module));
        }
    }
    HMODULE m_module = nullptr;
};

TEST_F(ModuleHandle, IsTheModulesLoadAddress) {
    void* answer = reinterpret_cast<void*>(GetProcAddress(m_module, "lxmod_answer"));
    EXPECT_EQ(m_module, base_from_loader(answer));
    EXPECT_EQ(GetModuleHandleA(nullptr),
              base_from_loader(reinterpret_cast<const void*>(&function_in_program)));
}

TEST_F(ModuleHandle, FindsLoadedModulesByName) {
    const std::string backslashed = lxtest::with_backslashes(LXTEST_RES_MODULE);
    const char* names[] = {"lxmod_res.dll", "LXMOD_RES.DLL", "lxmod_res", "lxmod_res.so",
                           backslashed.c_str()};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetModuleHandleA(name), m_module);
    }
    const char* missing[] = {"lxmod_not_loaded.dll", "lxmod_re.dll", "/tmp/lxmod_res.so"};
    for (const char* name : missing) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(GetModuleHandleA(name), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    }
}

TEST_F(ModuleHandle, FindsTheModuleContainingAnAddress) {
    // The module asks for itself the way the framework library does.
    auto* self = lxtest::exported<HMODULE()>(m_module, "lxmod_self");
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self(), m_module);

    HMODULE program = nullptr;
    EXPECT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(&function_in_program), &program));
    EXPECT_EQ(program, GetModuleHandleA(nullptr));

    // Heap memory belongs to no module.
    std::string heap(64, 'x');
    HMODULE none = reinterpret_cast<HMODULE>(1);
    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, heap.data(), &none));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST(ModuleHandleEx, TakesALoadCountUnlessToldNotTo) {
    HMODULE loaded = LoadLibraryA(module_path("lxmod_plain.so").c_str());
    ASSERT_NE(loaded, nullptr);
    HMODULE counted = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(0, "lxmod_plain.dll", &counted));
    EXPECT_EQ(counted, loaded);
    EXPECT_TRUE(FreeLibrary(loaded));
    EXPECT_EQ(GetModuleHandleA("lxmod_plain.dll"), loaded) << "GetModuleHandleExA's count remains";
    EXPECT_TRUE(FreeLibrary(counted));
    EXPECT_EQ(GetModuleHandleA("lxmod_plain.dll"), nullptr);

    loaded = LoadLibraryA(module_path("lxmod_plain.so").c_str());
    ASSERT_NE(loaded, nullptr);
    HMODULE uncounted = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, "lxmod_plain.dll",
                                   &uncounted));
    EXPECT_EQ(uncounted, loaded);
    EXPECT_TRUE(FreeLibrary(loaded));
    EXPECT_EQ(GetModuleHandleA("lxmod_plain.dll"), nullptr) << "expected no count taken";
}

TEST(ModuleHandleEx, PinnedModulesStayLoaded) {
    HMODULE loaded = LoadLibraryA(module_path("lxmod_pinned.so").c_str());
    ASSERT_NE(loaded, nullptr);
    HMODULE pinned = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "lxmod_pinned.dll", &pinned));
    EXPECT_EQ(pinned, loaded);
    EXPECT_TRUE(FreeLibrary(loaded));
    EXPECT_TRUE(FreeLibrary(loaded));
    EXPECT_TRUE(FreeLibrary(loaded));
    EXPECT_EQ(GetModuleHandleA("lxmod_pinned.dll"), loaded) << "a pinned module stays loaded";
    EXPECT_EQ(lxtest::module_name(loaded), "pinned");
}

TEST(ModuleHandleEx, RejectsBadArguments) {
    struct Case {
        DWORD flags;
        bool with_result;
        DWORD error;
    } cases[] = {
        {0, false, ERROR_INVALID_PARAMETER},
        {GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, true,
         ERROR_INVALID_PARAMETER},
        {0x8, true, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        HMODULE result = reinterpret_cast<HMODULE>(1);
        SetLastError(0);
        EXPECT_FALSE(GetModuleHandleExA(c.flags, nullptr, c.with_result ? &result : nullptr));
        EXPECT_EQ(GetLastError(), c.error);
        if (c.with_result) {
            EXPECT_EQ(result, nullptr);
        }
    }
}

TEST_F(ModuleHandle, FileNameIsTheFullPath) {
    char buffer[MAX_PATH * 4];
    std::string expected = real_path(LXTEST_RES_MODULE);
    EXPECT_EQ(GetModuleFileNameA(m_module, buffer, sizeof buffer), DWORD(expected.size()));
    EXPECT_EQ(std::string(buffer), expected);

    std::string program = real_path("/proc/self/exe");
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), DWORD(program.size()));
    EXPECT_EQ(std::string(buffer), program);
}

TEST_F(ModuleHandle, FileNameIsCutToTheBuffer) {
    std::string expected = real_path(LXTEST_RES_MODULE);
    const DWORD length = static_cast<DWORD>(expected.size());
    struct Case {
        DWORD size;
        DWORD result;
        DWORD error; // 0: the last error stays as it was
    } cases[] = {
        {1, 1, ERROR_INSUFFICIENT_BUFFER},
        {10, 10, ERROR_INSUFFICIENT_BUFFER},
        {length, length, ERROR_INSUFFICIENT_BUFFER},
        {length + 1, length, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string buffer(c.size + 8, '#');
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameA(m_module, buffer.data(), c.size), c.result);
        EXPECT_EQ(GetLastError(), c.error);
        std::string copied(buffer.c_str());
        EXPECT_EQ(copied, expected.substr(0, c.size - 1)) << "expected the path cut to size - 1";
        EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer";
    }
}

TEST(ModuleFileName, FailsForWhatIsNotAModule) {
    char buffer[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x1234), buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

} // namespace
