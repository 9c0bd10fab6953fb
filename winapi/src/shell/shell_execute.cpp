// ShellExecuteA: starting a program directly, with its parameter text as one argument.
#include <windows.h>

#include <winapi/desktop.h>

#include "kernel/native_path.h"
#include "window/modal_automation.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

} // namespace

} // namespace winapi::shell

namespace winapi::desktop {

std::vector<LaunchRecord> launches() {
    return window::modal_records().launches;
}

int wait_for_launch(int pid) {
    if (pid <= 0) return -1;
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
    if (lpParameters && *lpParameters) record.arguments.push_back(lpParameters);
    if (lpDirectory && *lpDirectory) record.directory = winapi::kernel::native_path(lpDirectory);
    record.show_command = nShowCmd;
    int result = result_for_path(record.program);
    if (result == 0) {
        pid_t pid = spawn(record.program, record.arguments, record.directory, &result);
        record.pid = static_cast<int>(pid);
        if (pid > 0) result = 42; // any value above 32 means success
    }
    winapi::window::modal_records().launches.push_back(record);
    return code(result);
}
