/* A test module that loads libraries itself, so that the search beside the calling module can
   be seen: its folder holds a library the test program's own search does not reach. */
#include <libloaderapi.h>
#include <winver.h>

#define LXMOD_EXPORT __attribute__((visibility("default")))

/* The result passes through a volatile so that the call is never compiled as a tail call:
   LoadLibraryA knows its caller by its return address, which a tail call would make the
   test program's. */
LXMOD_EXPORT HMODULE lxmod_caller_load(const char* name) {
    HMODULE volatile module = LoadLibraryA(name);
    return module;
}

LXMOD_EXPORT DWORD lxmod_caller_version_size(const char* name) {
    DWORD handle = 0;
    return GetFileVersionInfoSizeA(name, &handle);
}
