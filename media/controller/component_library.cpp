// The component library, CMGR32: its entries over the engine shared by both libraries.
#include "controller/component_operations.h"

// The engine ABI fixes these exports' names.
extern "C" LX_EXPORT EngineResult _EntryPoint(int32_t index, int32_t one, ...) {
    va_list arguments;
    va_start(arguments, one);
    EngineResult result = lanternix::media::component_entry(index, one, arguments);
    va_end(arguments);
    return result;
}

extern "C" LX_EXPORT EngineResult _CMgrInitialize(void) {
    return lanternix::media::component_initialize();
}
