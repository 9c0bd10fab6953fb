// The application object: registration with the module state, the names derived from the
// module, and the profile functions over "<program>.INI" in the Windows directory.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class TestApp : public CWinApp {
  public:
    using CWinApp::CWinApp;
};

TEST(FrameworkWinApp, RegistersWithTheModuleAndNamesItself) {
    EXPECT_EQ(nullptr, AfxGetApp());
    {
        TestApp app;
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_EQ(GetModuleHandleA(nullptr), app.m_hInstance);
        EXPECT_STREQ("framework_tests", app.m_pszExeName);
        EXPECT_STREQ("framework_tests.INI", app.m_pszProfileName);
        EXPECT_STREQ("framework_tests", app.m_pszAppName);
        EXPECT_STREQ("framework_tests", AfxGetAppName());
        EXPECT_TRUE(app.InitInstance());
        EXPECT_EQ(0, app.ExitInstance());
    }
    EXPECT_EQ(nullptr, AfxGetApp()) << "a destroyed application object must be forgotten";
    EXPECT_EQ(nullptr, AfxGetAppName());

    TestApp named("Lanternix Viewer");
    EXPECT_STREQ("Lanternix Viewer", named.m_pszAppName);
    EXPECT_STREQ("framework_tests.INI", named.m_pszProfileName);
}

// Points the Windows directory at a fresh temporary folder for the test's duration.
class FrameworkProfile : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lanternix-framework-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        m_root = pattern;
        const char* old = getenv("XDG_CONFIG_HOME");
        m_had_old = old != nullptr;
        if (old) m_old = old;
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    void TearDown() override {
        if (m_had_old)
            setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::string profile_text() const {
        std::ifstream in(m_root / "lanternix" / "framework_tests.INI");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_root;
    std::string m_old;
    bool m_had_old = false;
};

TEST_F(FrameworkProfile, StringsAndIntegersRoundTrip) {
    TestApp app;
    const char* section = "Lanternix Plugin";
    EXPECT_EQ(CString("fallback"), app.GetProfileStringA(section, "CacheDirectory", "fallback"));
    EXPECT_EQ(CString(""), app.GetProfileStringA(section, "CacheDirectory"));
    EXPECT_EQ(3u, app.GetProfileIntA(section, "LoopCount", 3));

    EXPECT_TRUE(app.WriteProfileStringA(section, "CacheDirectory", "/tmp/movies/"));
    EXPECT_TRUE(app.WriteProfileStringA(section, "HelperApp", "C:\\WINDOWS\\Play32.exe"));
    EXPECT_TRUE(app.WriteProfileInt(section, "LoopCount", 70000));
    EXPECT_TRUE(app.WriteProfileInt(section, "StopLooping", 0));
    EXPECT_TRUE(app.WriteProfileInt(section, "Offset", -5));

    EXPECT_EQ(CString("/tmp/movies/"), app.GetProfileStringA(section, "CacheDirectory", "x"));
    EXPECT_EQ(CString("C:\\WINDOWS\\Play32.exe"), app.GetProfileStringA(section, "HelperApp"));
    EXPECT_EQ(70000u, app.GetProfileIntA(section, "LoopCount", 3));
    EXPECT_EQ(0u, app.GetProfileIntA(section, "StopLooping", 1));
    EXPECT_EQ(static_cast<UINT>(-5), app.GetProfileIntA(section, "Offset", 0));
    EXPECT_EQ(7u, app.GetProfileIntA("Other Section", "LoopCount", 7));

    // The file is the program's profile in the Windows directory.
    std::string text = profile_text();
    EXPECT_NE(std::string::npos, text.find("[Lanternix Plugin]")) << text;
    EXPECT_NE(std::string::npos, text.find("LoopCount=70000")) << text;
}

TEST_F(FrameworkProfile, LongValuesComeBackWhole) {
    TestApp app;
    std::string value(1000, 'v');
    value += "end";
    ASSERT_TRUE(app.WriteProfileStringA("Long", "Value", value.c_str()));
    CString read = app.GetProfileStringA("Long", "Value");
    EXPECT_EQ(static_cast<int>(value.size()), read.GetLength());
    EXPECT_STREQ(value.c_str(), read);
}

TEST_F(FrameworkProfile, NullValueDeletesTheEntry) {
    TestApp app;
    ASSERT_TRUE(app.WriteProfileStringA("S", "Key", "value"));
    ASSERT_TRUE(app.WriteProfileStringA("S", "Key", nullptr));
    EXPECT_EQ(CString("gone"), app.GetProfileStringA("S", "Key", "gone"));
}

} // namespace
