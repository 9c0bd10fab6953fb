#include "module_fixture.h"

#include <afxwin.h>

#include <cstring>

#include "framework_test_ids.h"

namespace {

// The module's application object, constructed while the library is loaded.
class FixtureApp : public CWinApp {};
FixtureApp g_app;

void copy_text(char* out, size_t size, const CString& text) {
    strncpy(out, text, size - 1);
    out[size - 1] = '\0';
}

void look(FixtureView& view) {
    view.instance = AfxGetInstanceHandle();
    view.resources = AfxGetResourceHandle();
    view.app = AfxGetApp();
    CString text;
    text.LoadString(IDS_WHOSE);
    copy_text(view.whose_string, sizeof view.whose_string, text);
    text.LoadString(IDS_MODULE_ONLY);
    copy_text(view.module_string, sizeof view.module_string, text);
}

void look_inside(FixtureReport* report) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    look(report->inside);
    report->exe_name = g_app.m_pszExeName;
    report->profile_name = g_app.m_pszProfileName;
}

} // namespace

void fixture_report(FixtureReport* report) {
    memset(report, 0, sizeof *report);
    look(report->outside);
    look_inside(report);
    look(report->after);
    report->static_instance = AfxGetStaticModuleState()->m_hCurrentInstanceHandle;
}

void* fixture_address() {
    return reinterpret_cast<void*>(&fixture_report);
}
