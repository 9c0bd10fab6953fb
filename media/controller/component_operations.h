// The component library's operations, reached by index through its entry.
#pragma once

#include <engine_abi.h>

#include <stdarg.h>

namespace lanternix::media {

LX_EXPORT EngineResult component_entry(int32_t index, int32_t one, va_list arguments);
LX_EXPORT EngineResult component_initialize();

} // namespace lanternix::media
