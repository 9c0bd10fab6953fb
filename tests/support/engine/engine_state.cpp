// The recording engine's record, script and state. One instance per process: it lives in the
// shared library recording_engine, which the test and both engine libraries use.
#include "engine/engine_record.h"

#include <map>
#include <utility>

#include <winbase.h>

namespace recording_engine {

namespace {

struct Record {
    std::vector<Call> calls;
    std::vector<LibraryEvent> events;
    std::map<std::pair<Library, int>, uint32_t> results;
    State state;
    bool recording = true;
};

Record& record() {
    // Never destroyed: engine libraries may report their unloading while the process exits,
    // after this library's own destructors would have run.
    static auto* instance = new Record;
    return *instance;
}

} // namespace

void reset() {
    record() = Record{};
}

std::vector<Call> calls() {
    return record().calls;
}

std::vector<LibraryEvent> library_events() {
    return record().events;
}

State& state() {
    return record().state;
}

void set_result(Library library, int index, uint32_t result) {
    record().results[{library, index}] = result;
}

void set_recording(bool on) {
    record().recording = on;
}

bool recording() {
    return record().recording;
}

size_t record_call(Library library, int index, int constant, std::vector<uint64_t> args) {
    record().calls.push_back(
        Call{library, index, constant, std::move(args), GetErrorMode(), false});
    return record().calls.size() - 1;
}

void mark_vetoed(size_t position) {
    if (position < record().calls.size()) record().calls[position].vetoed = true;
}

std::optional<uint32_t> scripted_result(Library library, int index) {
    auto it = record().results.find({library, index});
    if (it == record().results.end()) return std::nullopt;
    return it->second;
}

void library_event(Library library, LibraryEvent::Kind kind) {
    record().events.push_back(LibraryEvent{library, kind, GetErrorMode()});
}

} // namespace recording_engine
