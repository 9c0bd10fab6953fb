#include "display/virtual_display.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace test_support {

namespace {
pid_t g_server = 0;
} // namespace

bool ensure_x_display(int width, int height) {
    const char* display = std::getenv("DISPLAY");
    if (display && *display) return true;
    if (!std::filesystem::exists("/usr/bin/Xvfb")) return false;
    // A display number of this process's own, so parallel test programs do not meet.
    std::string number = std::to_string(50 + getpid() % 400);
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    g_server = fork();
    if (g_server == 0) {
        // -noreset: the server would otherwise start over whenever its last client leaves,
        // refusing the connection a test opens right after closing one.
        execl("/usr/bin/Xvfb", "Xvfb", (":" + number).c_str(), "-screen", "0", screen.c_str(),
              "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string socket = "/tmp/.X11-unix/X" + number;
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!std::filesystem::exists(socket)) {
        stop_x_display();
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void stop_x_display() {
    if (g_server <= 0) return;
    kill(g_server, SIGTERM);
    waitpid(g_server, nullptr, 0);
    unsetenv("DISPLAY");
    g_server = 0;
}

} // namespace test_support
