/* A resource-free test module that says which copy it is: the build compiles it several
   times with a different LXMOD_NAME into different folders, so the tests can see which folder
   the library search took it from. */
#define LXMOD_EXPORT __attribute__((visibility("default")))

LXMOD_EXPORT const char* lxmod_name(void) {
    return LXMOD_NAME;
}
