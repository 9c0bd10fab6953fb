// The movie library's operations, reached by index through its entry.
#pragma once

#include <engine_abi.h>

#include <stdarg.h>

namespace lanternix::media {

LX_EXPORT EngineResult movie_entry(int32_t index, va_list arguments);

} // namespace lanternix::media
