// Module state: the guard selects a state and always puts the previous one back, and the
// framework's resource lookups follow the state that is current.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework_test_ids.h"
#include "module_fixture/module_fixture.h"

namespace {

HINSTANCE fake_handle(UINT_PTR value) {
    return reinterpret_cast<HINSTANCE>(value);
}

HINSTANCE fixture_module() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(fixture_address()), &module);
    return module;
}

TEST(FrameworkModuleState, ProgramStateIsCurrentBeforeAnyGuard) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(state, AfxGetModuleState()) << "a program's own state is its default state";
    EXPECT_EQ(GetModuleHandleA(nullptr), state->m_hCurrentInstanceHandle);
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetInstanceHandle());
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetResourceHandle());
    EXPECT_FALSE(state->m_bDLL);
}

TEST(FrameworkModuleState, GuardSelectsStateAndRestoresIt) {
    AFX_MODULE_STATE* before = AfxGetModuleState();
    AFX_MODULE_STATE other;
    other.m_hCurrentInstanceHandle = fake_handle(0x1000);
    other.m_hCurrentResourceHandle = fake_handle(0x2000);
    {
        AFX_MANAGE_STATE(&other);
        EXPECT_EQ(&other, AfxGetModuleState());
        EXPECT_EQ(fake_handle(0x1000), AfxGetInstanceHandle());
        EXPECT_EQ(fake_handle(0x2000), AfxGetResourceHandle());
        EXPECT_EQ(nullptr, AfxGetApp());
    }
    EXPECT_EQ(before, AfxGetModuleState());
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetResourceHandle());
}

TEST(FrameworkModuleState, GuardRestoresWhenAnExceptionPassesThrough) {
    AFX_MODULE_STATE* before = AfxGetModuleState();
    AFX_MODULE_STATE other;
    other.m_hCurrentResourceHandle = fake_handle(0x3000);
    auto throwing_entry = [&] {
        AFX_MANAGE_STATE(&other);
        EXPECT_EQ(fake_handle(0x3000), AfxGetResourceHandle());
        throw std::runtime_error("passes through the entry point");
    };
    EXPECT_THROW(throwing_entry(), std::runtime_error);
    EXPECT_EQ(before, AfxGetModuleState());
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetResourceHandle());
}

TEST(FrameworkModuleState, NestedGuardsUnwindInOrder) {
    AFX_MODULE_STATE* before = AfxGetModuleState();
    AFX_MODULE_STATE first, second;
    {
        AFX_MANAGE_STATE(&first);
        {
            AFX_MANAGE_STATE(&second);
            EXPECT_EQ(&second, AfxGetModuleState());
        }
        EXPECT_EQ(&first, AfxGetModuleState());
        // A guard for the state that is already current changes nothing on the way out.
        { AFX_MANAGE_STATE(&first); }
        EXPECT_EQ(&first, AfxGetModuleState());
    }
    EXPECT_EQ(before, AfxGetModuleState());
}

TEST(FrameworkModuleState, SetModuleStateReturnsThePreviousState) {
    AFX_MODULE_STATE* before = AfxGetModuleState();
    AFX_MODULE_STATE other;
    EXPECT_EQ(before, AfxSetModuleState(&other));
    EXPECT_EQ(&other, AfxSetModuleState(nullptr)) << "null goes back to the default state";
    EXPECT_EQ(before, AfxGetModuleState());
}

TEST(FrameworkModuleState, SetResourceHandleChangesOnlyTheCurrentState) {
    AFX_MODULE_STATE other;
    other.m_hCurrentResourceHandle = fake_handle(0x4000);
    {
        AFX_MANAGE_STATE(&other);
        AfxSetResourceHandle(fake_handle(0x5000));
        EXPECT_EQ(fake_handle(0x5000), AfxGetResourceHandle());
    }
    EXPECT_EQ(fake_handle(0x5000), other.m_hCurrentResourceHandle);
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetResourceHandle());
}

TEST(FrameworkModuleState, FindResourceHandlePrefersTheResourceHandle) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    HINSTANCE module = fixture_module();
    ASSERT_NE(nullptr, module);
    ASSERT_NE(program, module);
    // Resources from the fixture module, the program as the instance: what a library does
    // when it points its resource handle elsewhere.
    AFX_MODULE_STATE other;
    other.m_hCurrentInstanceHandle = program;
    other.m_hCurrentResourceHandle = module;
    AFX_MANAGE_STATE(&other);

    struct Case {
        const char* what;
        LPCSTR name;
        LPCSTR type;
        HINSTANCE expected;
    };
    const Case cases[] = {
        {"string in both", MAKEINTRESOURCEA((IDS_WHOSE >> 4) + 1), RT_STRING, module},
        {"menu in the program only", MAKEINTRESOURCEA(IDM_CONTEXT), RT_MENU, program},
        {"bitmap in the program only", MAKEINTRESOURCEA(IDB_POSTER), RT_BITMAP, program},
        {"missing everywhere", MAKEINTRESOURCEA(31000), RT_MENU, module},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(1234);
        EXPECT_EQ(c.expected, AfxFindResourceHandle(c.name, c.type));
        EXPECT_EQ(1234u, GetLastError()) << "probing must not change the last error";
    }
}

TEST(FrameworkModuleState, LibraryGuardSelectsTheLibrarysOwnResources) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    HINSTANCE module = fixture_module();
    ASSERT_NE(nullptr, module);
    FixtureReport report;
    fixture_report(&report);

    EXPECT_EQ(module, report.static_instance);
    struct Row {
        const char* when;
        const FixtureView& view;
        HINSTANCE handle;
        bool has_app;
        const char* whose;
        const char* module_only;
    };
    const Row rows[] = {
        {"before the guard", report.outside, program, false, "the program's", ""},
        {"inside the guard", report.inside, module, true, "the module's", "only in the module"},
        {"after the guard", report.after, program, false, "the program's", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.when);
        EXPECT_EQ(row.handle, row.view.instance);
        EXPECT_EQ(row.handle, row.view.resources);
        EXPECT_EQ(row.has_app, row.view.app != nullptr);
        EXPECT_STREQ(row.whose, row.view.whose_string);
        EXPECT_STREQ(row.module_only, row.view.module_string);
    }
    EXPECT_STREQ("FxModule", report.exe_name);
    EXPECT_STREQ("FxModule.INI", report.profile_name);
    // The library's application object is its own, not the program's.
    EXPECT_NE(AfxGetApp(), report.inside.app);
}

} // namespace
