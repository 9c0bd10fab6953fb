// ShellExecuteA: a program started without a shell, its parameter as one argument, and the
// documented results for what cannot be started.
#include "window_test_util.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace window_test;
namespace desktop = winapi::desktop;
namespace fs = std::filesystem;

namespace {

class ShellLaunch : public DesktopFixture {
  protected:
    void SetUp() override {
        DesktopFixture::SetUp();
        char pattern[] = "/tmp/lx_shell_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        script = folder + "/record args.sh";
        std::ofstream(script)
            << "#!/bin/sh\n"
               "printf '%s\\n' \"$#\" \"$1\" \"$(pwd)\" > \"$(dirname \"$0\")/out\"\n";
        chmod(script.c_str(), 0755);
        std::ofstream(folder + "/document.txt") << "not a program";
    }
    void TearDown() override {
        fs::remove_all(folder);
        DesktopFixture::TearDown();
    }

    static INT_PTR code(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result); }

    std::string output() {
        std::ifstream in(folder + "/out");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string folder;
    std::string script;
};

TEST_F(ShellLaunch, ParameterArrivesAsOneArgument) {
    std::string movie = "/tmp/cache dir/my movie.mov";
    INT_PTR result =
        code(ShellExecuteA(nullptr, "open", script.c_str(), movie.c_str(), nullptr, SW_SHOW));
    EXPECT_GT(result, 32);
    auto launches = desktop::launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, script);
    EXPECT_EQ(launches[0].arguments, (std::vector<std::string>{movie}));
    EXPECT_EQ(launches[0].show_command, SW_SHOW);
    ASSERT_GT(launches[0].pid, 0);
    EXPECT_EQ(desktop::wait_for_launch(launches[0].pid), 0);
    std::string cwd = fs::current_path().string();
    EXPECT_EQ(output(), "1\n" + movie + "\n" + cwd + "\n");
}

TEST_F(ShellLaunch, WorkingFolderAndBackslashes) {
    std::string windows_style = script;
    for (char& c : windows_style)
        if (c == '/') c = '\\';
    INT_PTR result = code(
        ShellExecuteA(nullptr, nullptr, windows_style.c_str(), "x", folder.c_str(), SW_SHOWNORMAL));
    ASSERT_GT(result, 32);
    EXPECT_EQ(desktop::wait_for_launch(desktop::launches().at(0).pid), 0);
    EXPECT_EQ(output(), "1\nx\n" + folder + "\n");
}

TEST_F(ShellLaunch, NoParameterMeansNoArgument) {
    ASSERT_GT(code(ShellExecuteA(nullptr, "open", script.c_str(), nullptr, nullptr, SW_SHOW)), 32);
    EXPECT_EQ(desktop::wait_for_launch(desktop::launches().at(0).pid), 0);
    EXPECT_EQ(output().substr(0, 2), "0\n");
}

TEST_F(ShellLaunch, DocumentedFailures) {
    struct Case {
        std::string file;
        const char* verb;
        INT_PTR expected;
    } cases[] = {
        {folder + "/absent.sh", "open", SE_ERR_FNF},
        {folder + "/no/such/folder/x.sh", "open", SE_ERR_PNF},
        {folder + "/document.txt", "open", SE_ERR_NOASSOC},
        {folder, "open", SE_ERR_NOASSOC},
        {script, "print", SE_ERR_NOASSOC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.verb);
        EXPECT_EQ(code(ShellExecuteA(nullptr, c.verb, c.file.c_str(), "p", nullptr, SW_SHOW)),
                  c.expected);
    }
    for (const auto& launch : desktop::launches())
        EXPECT_EQ(launch.pid, 0) << "nothing was started";
    EXPECT_FALSE(fs::exists(folder + "/out"));
}

} // namespace

namespace {

// The state letter of a process from /proc ('Z' for a zombie); 0 once it is gone.
char process_state(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return 0;
    size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? 0 : line[close + 2];
}

TEST_F(ShellLaunch, WindowsFormOfAnExistingFileArrivesInTheSystemsForm) {
    // The way the plug-in builds a cache path: the temporary folder with its trailing
    // separator, a backslash, and the file name.
    std::ofstream(folder + "/LX013729.mov") << "movie bytes";
    std::string reader = folder + "/read.sh";
    std::ofstream(reader) << "#!/bin/sh\ncat \"$1\" > \"$(dirname \"$0\")/out\"\n";
    chmod(reader.c_str(), 0755);
    std::string windows_form = folder + "/\\LX013729.mov";
    ASSERT_GT(code(ShellExecuteA(nullptr, "open", reader.c_str(), windows_form.c_str(), nullptr,
                                 SW_SHOW)),
              32);
    auto launches = desktop::launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].arguments, (std::vector<std::string>{folder + "/LX013729.mov"}));
    EXPECT_EQ(desktop::wait_for_launch(launches[0].pid), 0);
    EXPECT_EQ(output(), "movie bytes");
}

TEST_F(ShellLaunch, ParametersThatNameNoFileAreLeftAlone) {
    for (std::string parameter :
         {std::string("a\\b"), folder + "\\absent.mov", std::string("-x")}) {
        SCOPED_TRACE(parameter);
        desktop::clear_records();
        ASSERT_GT(code(ShellExecuteA(nullptr, "open", script.c_str(), parameter.c_str(), nullptr,
                                     SW_SHOW)),
                  32);
        EXPECT_EQ(desktop::launches().at(0).arguments, (std::vector<std::string>{parameter}));
        EXPECT_EQ(desktop::wait_for_launch(desktop::launches().at(0).pid), 0);
    }
}

TEST_F(ShellLaunch, ProgramsThatEndAreReapedWithoutBeingWaitedFor) {
    ASSERT_GT(code(ShellExecuteA(nullptr, "open", script.c_str(), "x", nullptr, SW_SHOW)), 32);
    int pid = desktop::launches().at(0).pid;
    ASSERT_GT(pid, 0);
    // Nobody waits for it here: it must leave the process table by itself, not stay behind
    // as a zombie. The loop ends as soon as it is gone; the limit only keeps a broken build
    // from hanging.
    for (int i = 0; i < 2000 && process_state(pid) != 0; ++i)
        usleep(5000);
    EXPECT_EQ(process_state(pid), 0) << "state " << process_state(pid);
    // Its status is still known.
    EXPECT_EQ(desktop::wait_for_launch(pid), 0);
}

} // namespace
