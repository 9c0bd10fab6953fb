/* A library that exports the plug-in's three names and one more, so that the export check
 * has something it must refuse. */
#define PROBE_EXPORT __attribute__((visibility("default")))

PROBE_EXPORT int NP_GetEntryPoints(void) {
    return 0;
}
PROBE_EXPORT int NP_Initialize(void) {
    return 0;
}
PROBE_EXPORT int NP_Shutdown(void) {
    return 0;
}
PROBE_EXPORT int NP_ProbeExtra(void) {
    return 0;
}
