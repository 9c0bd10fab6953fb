// FindResourceA, FindResourceExA and the functions that reach resource data.
#include <windows.h>

#include "lxmod_resource_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ResourceFind = lxtest::ResourceModuleTest;

std::string text_of(HMODULE module, HRSRC resource) {
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    DWORD size = SizeofResource(module, resource);
    return data ? std::string(data, size) : "(none)";
}

TEST_F(ResourceFind, FindsResourcesByIdNumberStringAndName) {
    HRSRC menu = FindResourceA(m_module, MAKEINTRESOURCEA(LXMOD_MENU), RT_MENU);
    ASSERT_NE(menu, nullptr) << "error " << GetLastError();
    struct Case {
        LPCSTR name;
        LPCSTR type;
    } same_as_menu[] = {
        {"#4000", RT_MENU},
        {MAKEINTRESOURCEA(LXMOD_MENU), "#4"},
        {"#4000", "#4"},
    };
    for (const Case& c : same_as_menu) {
        SCOPED_TRACE(IS_INTRESOURCE(c.name) ? c.type : c.name);
        EXPECT_EQ(FindResourceA(m_module, c.name, c.type), menu);
    }
    // A menu template starts with its header (version 0, offset 0), then the first item's
    // flags: a pop-up (MF_POPUP, 0x10).
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(m_module, menu)));
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(words[0], 0);
    EXPECT_EQ(words[1], 0);
    EXPECT_EQ(words[2] & 0x10, 0x10);

    const char* spellings[][2] = {
        {"Greeting", "LxData"}, {"GREETING", "lxdata"}, {"greeting", "LXDATA"}};
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(spelling[0]);
        HRSRC named = FindResourceA(m_module, spelling[0], spelling[1]);
        EXPECT_EQ(text_of(m_module, named), std::string("named\0", 6));
    }
}

TEST_F(ResourceFind, ReportsWhatIsMissing) {
    struct Case {
        HMODULE module;
        LPCSTR name;
        LPCSTR type;
        DWORD error;
    } cases[] = {
        {m_module, MAKEINTRESOURCEA(4001), RT_MENU, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(99), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {m_module, "Nothing", "LxData", ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, "Greeting", "NoType", ERROR_RESOURCE_TYPE_NOT_FOUND},
        {m_module, "#70000", RT_MENU, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, "#12ab", RT_MENU, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, "#", RT_MENU, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, nullptr, RT_MENU, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_plain, MAKEINTRESOURCEA(LXMOD_MENU), RT_MENU, ERROR_RESOURCE_DATA_NOT_FOUND},
        // The test program itself has resources (the dialog tests' dialogs), but no menus.
        {nullptr, MAKEINTRESOURCEA(LXMOD_MENU), RT_MENU, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {reinterpret_cast<HMODULE>(0x1234), MAKEINTRESOURCEA(LXMOD_MENU), RT_MENU,
         ERROR_INVALID_HANDLE},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        SetLastError(0);
        EXPECT_EQ(FindResourceA(c.module, c.name, c.type), nullptr);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }
}

TEST_F(ResourceFind, ChoosesLanguages) {
    // Both languages exist: without a language the US English one is taken.
    HRSRC greeting = FindResourceA(m_module, MAKEINTRESOURCEA(LXMOD_GREETING), RT_RCDATA);
    EXPECT_EQ(text_of(m_module, greeting), std::string("hello\0", 6));
    struct Case {
        WORD language;
        const char* text; // null: not found
    } cases[] = {
        {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "hello"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "hello"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "hallo"},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        SetLastError(0);
        HRSRC found =
            FindResourceExA(m_module, RT_RCDATA, MAKEINTRESOURCEA(LXMOD_GREETING), c.language);
        if (c.text) {
            EXPECT_EQ(text_of(m_module, found), std::string(c.text, 6));
        } else {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_LANG_NOT_FOUND));
        }
    }
}

TEST_F(ResourceFind, DataFunctionsCheckTheirHandles) {
    HRSRC greeting = FindResourceA(m_module, "greeting", "lxdata");
    ASSERT_NE(greeting, nullptr);
    HGLOBAL data = LoadResource(m_module, greeting);
    EXPECT_EQ(LockResource(data), static_cast<void*>(data)) << "the handle is the data's address";
    EXPECT_EQ(SizeofResource(m_module, greeting), 6u);
    EXPECT_FALSE(FreeResource(data)) << "FreeResource always answers FALSE";

    HRSRC bogus[] = {nullptr, reinterpret_cast<HRSRC>(0x1234),
                     reinterpret_cast<HRSRC>(reinterpret_cast<char*>(greeting) + 1)};
    for (HRSRC resource : bogus) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(resource));
        SetLastError(0);
        EXPECT_EQ(LoadResource(m_module, resource), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(SizeofResource(m_module, resource), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(ResourceFind, ResourceHandlesDieWithTheirModule) {
    HRSRC greeting = FindResourceA(m_module, "greeting", "lxdata");
    ASSERT_NE(greeting, nullptr);
    ASSERT_TRUE(FreeLibrary(m_module));
    m_module = nullptr;
    SetLastError(0);
    EXPECT_EQ(LoadResource(nullptr, greeting), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

} // namespace
