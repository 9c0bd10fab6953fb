// The command line: help, bad options, missing pages and one-line errors with their exit
// status, and the plug-in folders searched.
#include "support/viewer_fixture.h"

#include "plugin_registry.h"
#include "viewer.h"
#include "viewer_options.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace browser_test;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class CommandLineTest : public ViewerTest {
  protected:
    // The viewer as a user starts it, without the test's plug-in folder.
    ViewerRun plain(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        ViewerRun result;
        result.code = browser::run_viewer(args, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }
};

int count_lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CommandLineTest, HelpPrintsUsageAndSucceeds) {
    ViewerRun result = plain({"--help"});
    EXPECT_EQ(result.code, 0);
    EXPECT_THAT(result.out, StartsWith("Usage: lanternix-view [options] PAGE|URL\n"));
    for (const char* option : {"--plugins", "--rate", "--headless", "--screenshot", "--at"})
        EXPECT_THAT(result.out, HasSubstr(option));
    EXPECT_EQ(result.err, "");
}

TEST_F(CommandLineTest, BadCommandLinesSayWhatIsWrongInOneLine) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no page given"},
        {{"--headless", "--rate"}, "--rate needs a value"},
        {{"--headless", "--rate", "fast", "p.html"}, "bad value for --rate: 'fast'"},
        {{"--headless", "--at", "-1", "p.html"}, "bad value for --at: '-1'"},
        {{"--headless", "--size", "10x10", "p.html"}, "bad value for --size: '10x10'"},
        {{"--headless", "--click", "1,2", "p.html"}, "bad value for --click: '1,2'"},
        {{"--bogus", "p.html"}, "unknown option --bogus"},
        {{"--headless", "a.html", "b.html"}, "more than one page given"},
        {{"--screenshot", "x.png", "p.html"}, "go with --headless"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ViewerRun result = plain(c.args);
        EXPECT_EQ(result.code, 2);
        EXPECT_THAT(result.err, StartsWith("lanternix-view: "));
        EXPECT_THAT(result.err, HasSubstr(c.message));
        EXPECT_EQ(count_lines(result.err), 1);
    }
}

TEST_F(CommandLineTest, MissingPageIsAnErrorExit) {
    ViewerRun result = run({"--at", "0.1", path("nothing.html")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "lanternix-view: cannot open " + path("nothing.html") +
                              ": No such file or directory\n");
}

TEST_F(CommandLineTest, MissingMovieAddressIsAnErrorExit) {
    ViewerRun result = run({"--at", "0.1", path("nothing.lxt")});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("nothing.lxt: no such file"));
    EXPECT_TRUE(lines("?").empty());
}

TEST_F(CommandLineTest, FolderAsPageIsAnErrorExit) {
    ViewerRun result = run({"--at", "0.1", m_folder});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("is a folder"));
}

TEST_F(CommandLineTest, UnsupportedSchemeIsAnErrorExit) {
    ViewerRun result = run({"--at", "0.1", "gopher://example.invalid/page"});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("cannot open gopher addresses"));
}

TEST_F(CommandLineTest, WithoutDisplayTheViewerAsksForHeadless) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string saved_display = display ? display : "";
    std::string saved_wayland = wayland ? wayland : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ViewerRun result = plain({write("page.html", "hello")});
    if (display) setenv("DISPLAY", saved_display.c_str(), 1);
    if (wayland) setenv("WAYLAND_DISPLAY", saved_wayland.c_str(), 1);
    EXPECT_EQ(result.code, 2);
    EXPECT_THAT(result.err, HasSubstr("no display"));
    EXPECT_THAT(result.err, HasSubstr("--headless"));
}

TEST_F(CommandLineTest, ScreenshotThatCannotBeWrittenIsAnErrorExit) {
    std::string page = write("page.html", "hello");
    ViewerRun result = run({"--at", "0.1", "--screenshot", path("no/such/folder/shot.png"), page});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("cannot write the screenshot"));
}

TEST_F(CommandLineTest, FileUrlPagesOpen) {
    write("a b.lxt", "ab");
    write("my page.html", "<embed name=s src=\"a b.lxt\">");
    std::string url = "file://" + path("my%20page.html");
    ViewerRun result = run({"--at", "0.2", url});
    EXPECT_EQ(result.code, 0) << result.err;
    ASSERT_EQ(lines("s", "newstream").size(), 1u);
    EXPECT_THAT(field(lines("s", "newstream")[0], "url"), HasSubstr("/a%20b.lxt"));
    EXPECT_EQ(field(lines("s", "newstream")[0], "end"), "2");
}

// ---- Plug-in discovery ---------------------------------------------------------------------

TEST(PluginDiscovery, ReadsTypesAndExtensionsWithoutLoading) {
    std::vector<browser::PluginDescription> found = browser::find_plugins(LXTEST_PLUGIN_DIR);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "Lanternix viewer test plug-in");
    EXPECT_THAT(found[0].mime_types,
                ::testing::ElementsAre("application/x-lanternix-test", "video/x-lanternix-other"));
    EXPECT_THAT(found[0].extensions, ::testing::ElementsAre("lxt", "lxo,lxp"));
}

TEST_F(CommandLineTest, OnlyLibrariesNamedLikePluginsAreConsidered) {
    std::filesystem::path source = std::filesystem::path(LXTEST_PLUGIN_DIR) / "NPLxTest.so";
    std::filesystem::create_directories(path("plugins"));
    std::filesystem::copy_file(source, path("plugins/lxtest.so"));
    std::filesystem::copy_file(source, path("plugins/npcopy.SO"));
    write("plugins/npbroken.so", "not a library");
    std::vector<browser::PluginDescription> found = browser::find_plugins(path("plugins"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, path("plugins/npcopy.SO"));
}

TEST_F(CommandLineTest, PluginIsNotStartedUntilAPageNeedsIt) {
    std::string page = write("page.html", "<p>No embeds here.</p>");
    ViewerRun result = run({"--at", "0.1", page});
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(log().empty());
}

TEST_F(CommandLineTest, PluginStartsOnceForAllItsInstances) {
    std::string page = write("page.html", "<embed name=a type=application/x-lanternix-test>"
                                          "<embed name=b type=video/x-lanternix-other>");
    run({"--at", "0.1", page});
    EXPECT_EQ(lines("-", "initialize").size(), 1u);
    EXPECT_EQ(lines("-", "shutdown").size(), 1u);
    // The whole host table is offered, with major version 0.
    ASSERT_EQ(lines("-", "initialize").size(), 1u);
    EXPECT_EQ(number_field(lines("-", "initialize")[0], "size"),
              static_cast<long>(sizeof(NPNetscapeFuncs)));
    EXPECT_EQ(number_field(lines("-", "initialize")[0], "version") >> 8, 0);
}

TEST(DefaultPluginFolders, AreTheProgramFolderThenTheLibraryFolderBesideIt) {
    std::vector<std::string> folders = browser::default_plugin_folders();
    ASSERT_EQ(folders.size(), 2u);
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(folders[0], program.parent_path().string());
    EXPECT_EQ(folders[1], (program.parent_path().parent_path() / "lib").string());
}

} // namespace
