// ShellExecuteA: starting a program directly, with its parameter text as one argument.
// Every program started is watched by a thread of its own that waits for its end, so a
// program that ends is reaped at once and never lingers as a zombie, whatever the caller
// does; its exit status is kept for wait_for_launch.
#include <windows.h>

#include <winapi/desktop.h>

#include "kernel/native_path.h"
#include "window/modal_automation.h"

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace winapi::shell {

namespace {

// The Win32 result for a program that cannot be started, from what the system says about
// its path.
int result_for_path(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        std::string folder = path.substr(0, path.find_last_of('/') + 1);
        struct stat folder_info {};
        bool folder_exists = folder.empty() || stat(folder.c_str(), &folder_info) == 0;
        return folder_exists ? SE_ERR_FNF : SE_ERR_PNF;
    }
    if (S_ISDIR(info.st_mode)) return SE_ERR_NOASSOC;
    if (access(path.c_str(), X_OK) != 0) {
        // A document without the right to run it: there is no program to open it with.
        return (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) ? SE_ERR_ACCESSDENIED
                                                              : SE_ERR_NOASSOC;
    }
    return 0;
}

// A program named without a folder is looked for along PATH, as a command line would.
std::string resolve_program(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return name;
}

int spawn_error_result(int error) {
    switch (error) {
    case ENOENT:
        return SE_ERR_FNF;
    case ENOTDIR:
        return SE_ERR_PNF;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOMEM:
        return SE_ERR_OOM;
    default:
        return SE_ERR_NOASSOC; // not a program the system can run
    }
}

// Starts the program; returns its pid, or 0 with *result set.
pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& directory, int* result) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t pid = 0;
    int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        *result = spawn_error_result(error);
        return 0;
    }
    return pid;
}

// A parameter that names an existing file in the Windows form (with backslashes, as
// Windows programs build paths) is passed in the system's form, which the program started
// can open; a backslash is an ordinary character in a file name here. Any other parameter
// is passed as it is.
std::string system_parameter(const char* parameter) {
    std::string text = parameter;
    if (text.find('\\') == std::string::npos) return text;
    std::string native = winapi::kernel::native_path(text);
    struct stat info {};
    if (stat(text.c_str(), &info) == 0) return text; // a file whose name holds a backslash
    if (stat(native.c_str(), &info) != 0) return text;
    // A folder that ends in a separator, joined to a name with another, doubles it.
    std::string tidy;
    for (char c : native)
        if (c != '/' || tidy.empty() || tidy.back() != '/') tidy += c;
    return tidy;
}

// The programs started, and the exit status of each that has ended. The record lives as
// long as the process: watcher threads may still report into it at exit.
class StartedPrograms {
  public:
    static StartedPrograms& get() {
        static StartedPrograms* programs = new StartedPrograms;
        return *programs;
    }

    // Reaps `pid` on a thread of its own as soon as it ends.
    void watch(pid_t pid) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_running.insert({pid, true});
        }
        std::thread([this, pid] {
            int status = 0;
            pid_t done = -1;
            do
                done = waitpid(pid, &status, 0);
            while (done < 0 && errno == EINTR);
            int code = done == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_running[pid] = false;
            m_exits[pid] = code;
            m_ended.notify_all();
        }).detach();
    }

    // The exit status of a watched program once it has ended; nullopt for one not watched.
    std::optional<int> wait(pid_t pid) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_running.count(pid)) return std::nullopt;
        m_ended.wait(lock, [&] { return !m_running[pid]; });
        return m_exits[pid];
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    std::map<pid_t, bool> m_running;
    std::map<pid_t, int> m_exits;
};

} // namespace

} // namespace winapi::shell

namespace winapi::desktop {

std::vector<LaunchRecord> launches() {
    return window::modal_records().launches;
}

int wait_for_launch(int pid) {
    if (pid <= 0) return -1;
    if (std::optional<int> code = winapi::shell::StartedPrograms::get().wait(pid)) return *code;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace winapi::desktop

using namespace winapi::shell;

HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd) {
    (void)hwnd;
    auto code = [](int value) { return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(value)); };
    if (lpOperation && *lpOperation && strcasecmp(lpOperation, "open") != 0)
        return code(SE_ERR_NOASSOC);
    if (!lpFile || !*lpFile) return code(SE_ERR_FNF);
    winapi::desktop::LaunchRecord record;
    record.program = resolve_program(winapi::kernel::native_path(lpFile));
    if (lpParameters && *lpParameters) record.arguments.push_back(system_parameter(lpParameters));
    if (lpDirectory && *lpDirectory) record.directory = winapi::kernel::native_path(lpDirectory);
    record.show_command = nShowCmd;
    int result = result_for_path(record.program);
    if (result == 0) {
        pid_t pid = spawn(record.program, record.arguments, record.directory, &result);
        record.pid = static_cast<int>(pid);
        if (pid > 0) {
            StartedPrograms::get().watch(pid);
            result = 42; // any value above 32 means success
        }
    }
    winapi::window::modal_records().launches.push_back(record);
    return code(result);
}
