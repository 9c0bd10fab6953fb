// The movie library, QTIM32: its entry over the engine shared by both libraries.
#include "movie/movie_operations.h"

// The engine ABI fixes this export's name.
extern "C" LX_EXPORT EngineResult _EntryPoint(int32_t index, ...) {
    va_list arguments;
    va_start(arguments, index);
    EngineResult result = lanternix::media::movie_entry(index, arguments);
    va_end(arguments);
    return result;
}
