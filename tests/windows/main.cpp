// windows_host: a browser host for the Windows build of the plug-in. It loads NPLant32.dll
// the way a browser of the plug-in's day does and drives it through the plug-in interface,
// with real windows, real messages and the real clipboard.
//
//   windows_host entry-points   --plugins FOLDER
//   windows_host movie          --plugins FOLDER --movie FILE --reference FILE --size WxH
//   windows_host missing-engine --plugins FOLDER
//
// The exit code is 0 only when every check of every case passed.
#include "check.h"
#include "host_cases.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A crash inside the plug-in must end the run with a word about it, not with a debugger
// waiting for somebody.
LONG WINAPI report_crash(EXCEPTION_POINTERS* exception) {
    std::printf("CRASH: exception 0x%08lx at address %p\n",
                exception->ExceptionRecord->ExceptionCode,
                exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stdout);
    ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int usage() {
    std::fprintf(stderr, "usage: windows_host entry-points|movie|missing-engine --plugins FOLDER "
                         "[--movie FILE --reference FILE --size WxH]\n");
    return 2;
}

bool parse_options(int argc, char** argv, winhost::HostOptions* options) {
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--plugins")
            options->plugin_folder = value;
        else if (name == "--movie")
            options->movie_file = value;
        else if (name == "--reference")
            options->reference_file = value;
        else if (name == "--size")
            std::sscanf(value, "%dx%d", &options->movie_width, &options->movie_height);
        else
            return false;
    }
    return (argc % 2) == 0 && !options->plugin_folder.empty();
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetUnhandledExceptionFilter(report_crash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    winhost::HostOptions options;
    if (argc < 2 || !parse_options(argc, argv, &options)) return usage();
    std::string run = argv[1];
    if (run == "entry-points")
        winhost::run_entry_point_cases(options);
    else if (run == "movie" && !options.movie_file.empty() && !options.reference_file.empty() &&
             options.movie_width > 0 && options.movie_height > 0)
        winhost::run_movie_cases(options);
    else if (run == "missing-engine")
        winhost::run_missing_engine_cases(options);
    else
        return usage();
    return winhost::finish_cases();
}
