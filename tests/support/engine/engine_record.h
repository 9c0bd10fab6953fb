// The recording engine's record and script storage, shared by its entry points.
#pragma once

#include "engine/recording_engine.h"

#include <optional>

namespace recording_engine {

// Whether calls are being recorded (see set_recording).
bool recording();
// Appends a call to the record and returns its position, so the entry can mark it vetoed
// later (calls made from inside an action filter are recorded after it).
size_t record_call(Library library, int index, int constant, std::vector<uint64_t> args);
void mark_vetoed(size_t position);
// The result set with set_result for an operation, if any.
std::optional<uint32_t> scripted_result(Library library, int index);

} // namespace recording_engine
