/* The test module with resources. Its functions let the tests see the module from inside. */
#include <libloaderapi.h>

#define LXMOD_EXPORT __attribute__((visibility("default")))

LXMOD_EXPORT int lxmod_answer(void) {
    return 42;
}

/* The module's own handle, found the way the framework finds its module: by an address inside
   it, without taking a load count. */
LXMOD_EXPORT HMODULE lxmod_self(void) {
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)(void*)&lxmod_self, &self);
    return self;
}
