// The recording engine's entries: read an operation's arguments with the types of its
// signature, record the call, and answer it from the state as an engine would.
#include "engine/engine_record.h"

#include <engine_signatures.h>

#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>

namespace recording_engine {

namespace {

// What a failing lookup answers: nonzero, so callers take it as failure.
constexpr EngineResult no_such_handle = 1;

template <typename T>
uint64_t widen(T value) {
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uintptr_t>(reinterpret_cast<const void*>(value));
    else
        return static_cast<std::make_unsigned_t<T>>(value);
}

template <typename Tuple>
std::vector<uint64_t> widen_all(const Tuple& values) {
    return std::apply([](auto... value) { return std::vector<uint64_t>{widen(value)...}; }, values);
}

const Track* track_where(uint32_t Track::*field, uint32_t value) {
    for (const Track& track : state().tracks)
        if (track.*field == value) return &track;
    return nullptr;
}

void set_if(ULONG* out, ULONG value) {
    if (out) *out = value;
}

void write_time(EngineTimeRecord* record, uint32_t value) {
    if (!record) return;
    *record = EngineTimeRecord{value, 0, static_cast<LONG>(state().time_scale), state().time_base};
}

// A packed DIB of one black pixel in a moveable block, whose handle travels in the result.
EngineResult make_dib() {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof header + 4);
    if (!block) return 0;
    std::memcpy(GlobalLock(block), &header, sizeof header);
    GlobalUnlock(block);
    auto value = reinterpret_cast<uintptr_t>(block);
    if (value > UINT32_MAX) {
        GlobalFree(block);
        return 0;
    }
    return static_cast<EngineResult>(value);
}

EngineResult sample_location(const std::tuple<ULONG, ULONG*, ULONG*, ULONG, ULONG*, ULONG*, ULONG*,
                                              ULONG*, ULONG, ULONG*, ULONG*>& args) {
    auto [media, offset, size, time, sample_time, duration, description, description_index,
          max_samples, sample_count, flags] = args;
    const Track* track = track_where(&Track::media, media);
    if (!track) return no_such_handle;
    set_if(offset, track->offset);
    set_if(size, track->size);
    set_if(sample_time, 0);
    set_if(duration, 1);
    set_if(description, 0);
    set_if(description_index, 1);
    set_if(sample_count, max_samples > 0 ? 1 : 0);
    set_if(flags, 0);
    (void)time;
    return 0;
}

// Everything the open file holds, read through the handle from its start; the handle's
// position is left at the end.
std::vector<unsigned char> read_whole_file(HFILE file) {
    std::vector<unsigned char> contents;
    LONG size = _llseek(file, 0, FILE_END);
    if (size <= 0 || _llseek(file, 0, FILE_BEGIN) != 0) return contents;
    contents.resize(static_cast<size_t>(size));
    if (_hread(file, contents.data(), size) != size) contents.clear();
    return contents;
}

// Carries out a movie-library operation on the state; the operation's own answer.
template <MovieOperation Operation, typename Tuple>
EngineResult carry_out_movie(const Tuple& args) {
    State& s = state();
    using enum MovieOperation;
    if constexpr (Operation == OpenMovieFile) set_if(std::get<1>(args), s.file_reference);
    if constexpr (Operation == NewMovieFromFile || Operation == NewMovieFromOpenFile)
        set_if(std::get<0>(args), s.movie);
    if constexpr (Operation == GetMovieDuration) return s.duration;
    if constexpr (Operation == GetMovieTimeScale) return s.time_scale;
    if constexpr (Operation == GetTrackCount) return static_cast<EngineResult>(s.tracks.size());
    if constexpr (Operation == GetTrackByIndex) {
        ULONG index = std::get<1>(args);
        return index >= 1 && index <= s.tracks.size() ? s.tracks[index - 1].track : 0;
    }
    if constexpr (Operation == GetTrackMedia) {
        const Track* track = track_where(&Track::track, std::get<0>(args));
        return track ? track->media : 0;
    }
    if constexpr (Operation == GetSampleLocation) return sample_location(args);
    if constexpr (Operation == NewMovieFromOpenFile)
        s.open_file_contents = read_whole_file(std::get<1>(args));
    if constexpr (Operation == NewController) {
        if (const RECT* bounds = std::get<1>(args)) s.new_controller_bounds = *bounds;
        s.new_controller_flags = std::get<2>(args);
        return s.controller;
    }
    if constexpr (Operation == GetMovieTime) {
        write_time(std::get<1>(args), s.movie_time);
        return s.movie_time;
    }
    if constexpr (Operation == GetMovieBox) {
        if (RECT* box = std::get<1>(args)) *box = s.movie_box;
    }
    if constexpr (Operation == SetMovieBox) {
        if (const RECT* box = std::get<1>(args)) s.movie_box = *box;
    }
    if constexpr (Operation == IsMovieActive) return s.active ? 1 : 0;
    if constexpr (Operation == SetMovieActive) s.active = std::get<1>(args) != 0;
    if constexpr (Operation == GetSpanDataSize) {
        auto [movie, start, length] = args;
        (void)movie;
        return s.span_data_size ? s.span_data_size(start, length) : 0;
    }
    if constexpr (Operation == GetFramePicture) return s.picture;
    if constexpr (Operation == MakeDibFromPicture) return make_dib();
    return 0;
}

// Carries out a controller action that the filter let through.
void carry_out_action(ULONG action, void* parameter) {
    State& s = state();
    auto by_value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parameter));
    auto* value = static_cast<ULONG*>(parameter);
    auto* time = static_cast<EngineTimeRecord*>(parameter);
    switch (action) {
    case EngineActionPlay:
        s.rate = by_value;
        break;
    case EngineActionGoToTime:
        if (time) s.movie_time = time->ValueLow;
        break;
    case EngineActionSetVolume:
        s.volume = static_cast<uint16_t>(by_value);
        break;
    case EngineActionGetVolume:
        if (parameter) *static_cast<uint16_t*>(parameter) = s.volume;
        break;
    case EngineActionSetLooping:
        if (value) s.looping = *value;
        break;
    case EngineActionSetPalindrome:
        if (value) s.palindrome = *value;
        break;
    case EngineActionSetResizeBounds:
        if (parameter) s.resize_bounds = *static_cast<RECT*>(parameter);
        break;
    case EngineActionSetSelectionStart:
        if (time) s.selection_start = time->ValueLow;
        break;
    case EngineActionSetSelectionLength:
        if (time) s.selection_length = time->ValueLow;
        break;
    case EngineActionEnableKeys:
        s.keys_enabled = by_value;
        break;
    case EngineActionGetRate:
        set_if(value, s.rate);
        break;
    case EngineActionGetSelectionStart:
        write_time(time, s.selection_start);
        break;
    default:
        break;
    }
}

// Carries out a component-library operation; `position` is the call's place in the record.
template <ComponentOperation Operation, typename Tuple>
EngineResult carry_out_component(const Tuple& args, size_t position) {
    State& s = state();
    using enum ComponentOperation;
    if constexpr (Operation == GetControllerBounds) {
        if (RECT* bounds = std::get<1>(args)) *bounds = s.controller_bounds;
    }
    if constexpr (Operation == SetActionFilter) {
        s.filter = std::get<1>(args);
        s.filter_instance = std::get<2>(args);
    }
    if constexpr (Operation == ControllerAction) {
        auto [controller, action, parameter] = args;
        // Like a real controller, the filter sees every action first and may suppress it.
        if (s.filter && s.filter(controller, action, parameter, s.filter_instance) != 0) {
            mark_vetoed(position);
            return 0;
        }
        carry_out_action(action, parameter);
    }
    return 0;
}

} // namespace

EngineResult movie_entry(int32_t index, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    EngineResult result = 0;
    bool known = MovieOperations::visit(index, [&]<MovieOperation Operation>() {
        auto args = read_engine_arguments(copy, typename MovieSignature<Operation>::type{});
        if (recording()) record_call(Library::Movie, index, 0, widen_all(args));
        result = carry_out_movie<Operation>(args);
    });
    va_end(copy);
    if (!known && recording()) record_call(Library::Movie, index, 0, {});
    return scripted_result(Library::Movie, index).value_or(result);
}

EngineResult component_entry(int32_t index, int32_t one, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    EngineResult result = 0;
    bool known = ComponentOperations::visit(index, [&]<ComponentOperation Operation>() {
        auto args = read_engine_arguments(copy, typename ComponentSignature<Operation>::type{});
        size_t position = recording() ? record_call(Library::Component, index, one, widen_all(args))
                                      : SIZE_MAX;
        result = carry_out_component<Operation>(args, position);
    });
    va_end(copy);
    if (!known && recording()) record_call(Library::Component, index, one, {});
    return scripted_result(Library::Component, index).value_or(result);
}

EngineResult component_initialize() {
    library_event(Library::Component, LibraryEvent::Kind::Initialized);
    return state().initialize_result;
}

} // namespace recording_engine
