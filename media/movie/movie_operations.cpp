#include "movie/movie_operations.h"

#include "common/engine_error.h"
#include "common/engine_state.h"
#include "controller/controller.h"
#include "movie/movie.h"
#include "movie/picture_export.h"

#include <engine_signatures.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <tuple>

namespace lanternix::media {

namespace {

template <MovieOperation Operation>
using Op = std::integral_constant<MovieOperation, Operation>;

EngineState& state() {
    return engine_state();
}

Movie* movie_or_fail(ULONG movie, EngineResult& error) {
    Movie* found = state().movies.find(movie);
    if (!found) error = EngineErrorBadHandle;
    return found;
}

void set_if(ULONG* out, ULONG value) {
    if (out) *out = value;
}

// A handle for a movie's track (or its media), made on first request.
ULONG track_handle(HandleRegistry<TrackReference>& registry, uint32_t movie, size_t index) {
    if (uint32_t id = registry.find_id([&](const TrackReference& track) {
            return track.movie == movie && track.index == index;
        }))
        return id;
    return registry.add(std::make_unique<TrackReference>(TrackReference{movie, index}));
}

EngineResult run(Op<MovieOperation::InitializeMovies>, EngineResult&) {
    // The engine reports through its results; the libraries' messages would only clutter
    // the host's output.
    av_log_set_level(AV_LOG_QUIET);
    return EngineOk;
}
EngineResult run(Op<MovieOperation::StartSession>, EngineResult&) {
    return EngineOk;
}
EngineResult run(Op<MovieOperation::EndSession>, EngineResult&) {
    return EngineOk;
}

EngineResult run(Op<MovieOperation::OpenMovieFile>, EngineResult& error, LPCSTR path,
                 ULONG* reference, ULONG) {
    if (!path || !reference) return error = EngineErrorBadParameter;
    // The file must be there and readable now; the movie is read when it is made.
    if (!FileSource::open_path(path)) return error = EngineErrorFileNotFound;
    *reference = state().files.add(std::make_unique<FileReference>(FileReference{path}));
    return EngineOk;
}

EngineResult run(Op<MovieOperation::CloseMovieFile>, EngineResult& error, ULONG reference) {
    if (!state().files.remove(reference)) error = EngineErrorBadHandle;
    return error;
}

EngineResult keep_movie(std::unique_ptr<Movie> movie, ULONG* out) {
    *out = state().movies.add(std::move(movie));
    return EngineOk;
}

EngineResult run(Op<MovieOperation::NewMovieFromFile>, EngineResult& error, ULONG* out,
                 ULONG reference, ULONG, ULONG, ULONG, ULONG) {
    if (!out) return error = EngineErrorBadParameter;
    *out = 0;
    FileReference* file = state().files.find(reference);
    if (!file) return error = EngineErrorBadHandle;
    std::shared_ptr<FileSource> source = FileSource::open_path(file->path);
    if (!source) return error = EngineErrorFileNotFound;
    std::unique_ptr<Movie> movie;
    if ((error = Movie::open(std::move(source), false, movie))) return error;
    return keep_movie(std::move(movie), out);
}

EngineResult run(Op<MovieOperation::NewMovieFromOpenFile>, EngineResult& error, ULONG* out,
                 HFILE file, ULONG, ULONG) {
    if (!out) return error = EngineErrorBadParameter;
    *out = 0;
    // The caller closes its handle right after this call; the movie reads on through its own.
    std::shared_ptr<FileSource> source = FileSource::share_handle(file);
    if (!source) return error = EngineErrorFileNotFound;
    std::unique_ptr<Movie> movie;
    if ((error = Movie::open(std::move(source), true, movie))) return error;
    return keep_movie(std::move(movie), out);
}

EngineResult run(Op<MovieOperation::GetLastError>, EngineResult&) {
    return state().last_error;
}

EngineResult run(Op<MovieOperation::DisposeMovie>, EngineResult& error, ULONG movie) {
    if (!movie_or_fail(movie, error)) return error;
    dispose_movie(movie);
    return EngineOk;
}

EngineResult run(Op<MovieOperation::GetMovieDuration>, EngineResult& error, ULONG movie) {
    Movie* found = movie_or_fail(movie, error);
    return found ? found->duration() : 0;
}

EngineResult run(Op<MovieOperation::GetMovieTimeScale>, EngineResult& error, ULONG movie) {
    Movie* found = movie_or_fail(movie, error);
    return found ? found->time_scale() : 0;
}

EngineResult run(Op<MovieOperation::GetTrackCount>, EngineResult& error, ULONG movie) {
    Movie* found = movie_or_fail(movie, error);
    return found ? static_cast<EngineResult>(found->tracks().size()) : 0;
}

EngineResult run(Op<MovieOperation::GetTrackByIndex>, EngineResult& error, ULONG movie,
                 ULONG index) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return 0;
    if (index < 1 || index > found->tracks().size()) {
        error = EngineErrorBadParameter;
        return 0;
    }
    return track_handle(state().tracks, movie, index - 1);
}

EngineResult run(Op<MovieOperation::GetTrackMedia>, EngineResult& error, ULONG track) {
    TrackReference* found = state().tracks.find(track);
    if (!found) {
        error = EngineErrorBadHandle;
        return 0;
    }
    return track_handle(state().media, found->movie, found->index);
}

EngineResult run(Op<MovieOperation::GetSampleLocation>, EngineResult& error, ULONG media,
                 ULONG* offset, ULONG* size, ULONG time, ULONG* sample_time, ULONG* sample_duration,
                 ULONG* description, ULONG* description_index, ULONG max_samples,
                 ULONG* sample_count, ULONG* flags) {
    TrackReference* reference = state().media.find(media);
    Movie* movie = reference ? state().movies.find(reference->movie) : nullptr;
    if (!movie) return error = EngineErrorBadHandle;
    const SampleTable& samples = movie->tracks()[reference->index].samples;
    const SampleEntry* sample = samples.sample_at_media_time(time);
    if (!sample) return error = EngineErrorNoSample;
    // Offsets past what 32 bits can say cannot be reported truthfully.
    if (sample->offset > UINT32_MAX) return error = EngineErrorNoSample;
    set_if(offset, static_cast<ULONG>(sample->offset));
    set_if(size, sample->size);
    auto clamp32 = [](int64_t value) {
        return static_cast<ULONG>(std::clamp<int64_t>(value, 0, UINT32_MAX));
    };
    set_if(sample_time, clamp32(sample->time - samples.first_time()));
    set_if(sample_duration, clamp32(samples.duration_of(*sample)));
    set_if(description, 0);
    set_if(description_index, 1);
    set_if(sample_count, max_samples > 0 ? 1 : 0);
    // Bit 0 marks a sample that is not a key sample.
    set_if(flags, sample->key ? 0 : 1);
    return EngineOk;
}

EngineResult run(Op<MovieOperation::GetSpanDataSize>, EngineResult& error, ULONG movie, ULONG start,
                 ULONG length) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return 0;
    return static_cast<EngineResult>(
        std::min<uint64_t>(found->span_data_size(start, length), UINT32_MAX));
}

EngineResult run(Op<MovieOperation::GetMovieBox>, EngineResult& error, ULONG movie, RECT* box) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return error;
    if (!box) return error = EngineErrorBadParameter;
    *box = found->box();
    return EngineOk;
}

EngineResult run(Op<MovieOperation::SetMovieBox>, EngineResult& error, ULONG movie,
                 const RECT* box) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return error;
    if (!box || box->right < box->left || box->bottom < box->top)
        return error = EngineErrorBadParameter;
    found->set_box(*box);
    state().controllers.for_each([&](uint32_t, Controller& controller) {
        if (controller.movie_handle() == movie) controller.movie_box_changed();
    });
    return EngineOk;
}

EngineResult run(Op<MovieOperation::IsMovieActive>, EngineResult& error, ULONG movie) {
    Movie* found = movie_or_fail(movie, error);
    return found && found->active() ? 1 : 0;
}

EngineResult run(Op<MovieOperation::SetMovieActive>, EngineResult& error, ULONG movie,
                 ULONG active) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return error;
    found->set_active(active != 0);
    return EngineOk;
}

EngineResult run(Op<MovieOperation::GetMovieTime>, EngineResult& error, ULONG movie,
                 EngineTimeRecord* record) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return 0;
    uint32_t time = found->current_time();
    if (record) *record = EngineTimeRecord{time, 0, static_cast<LONG>(found->time_scale()), movie};
    return time;
}

EngineResult run(Op<MovieOperation::NewController>, EngineResult& error, ULONG movie,
                 const RECT* bounds, ULONG flags, HWND window) {
    if (!movie_or_fail(movie, error)) return 0;
    if (!bounds || !window) {
        error = EngineErrorBadParameter;
        return 0;
    }
    return Controller::create(movie, *bounds, flags, window);
}

EngineResult run(Op<MovieOperation::DisposeController>, EngineResult& error, ULONG controller) {
    if (!state().controllers.remove(controller)) error = EngineErrorBadHandle;
    return error;
}

EngineResult run(Op<MovieOperation::GetFramePicture>, EngineResult& error, ULONG movie,
                 ULONG time) {
    Movie* found = movie_or_fail(movie, error);
    if (!found) return 0;
    RECT box = found->natural_box();
    auto picture = std::make_unique<Picture>();
    // A movie still arriving decodes nothing until its owner has made it active, which it
    // does once the first samples are there: placeholder bytes decode without complaint.
    if (found->growing() && !found->active()) {
        error = EngineErrorNoSample;
        return 0;
    }
    if (!found->has_video()) {
        error = EngineErrorNoVideo;
        return 0;
    }
    if (!found->render_frame(time, box.right, box.bottom, *picture)) {
        error = EngineErrorDecode;
        return 0;
    }
    return state().pictures.add(std::move(picture));
}

EngineResult run(Op<MovieOperation::MakeDibFromPicture>, EngineResult& error, ULONG picture) {
    Picture* found = state().pictures.find(picture);
    if (!found) {
        error = EngineErrorBadHandle;
        return 0;
    }
    EngineResult handle = make_packed_dib(*found);
    if (!handle) error = EngineErrorOutOfMemory;
    return handle;
}

EngineResult run(Op<MovieOperation::FreePicture>, EngineResult& error, ULONG picture) {
    if (!state().pictures.remove(picture)) error = EngineErrorBadHandle;
    return error;
}

bool opens_movie(int32_t index) {
    return index == static_cast<int32_t>(MovieOperation::OpenMovieFile) ||
           index == static_cast<int32_t>(MovieOperation::NewMovieFromFile) ||
           index == static_cast<int32_t>(MovieOperation::NewMovieFromOpenFile);
}

} // namespace

EngineResult movie_entry(int32_t index, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    EngineResult result = EngineErrorBadParameter;
    EngineResult error = EngineOk;
    bool known = MovieOperations::visit(index, [&]<MovieOperation Operation>() {
        auto args = read_engine_arguments(copy, typename MovieSignature<Operation>::type{});
        result = std::apply([&](auto... values) { return run(Op<Operation>{}, error, values...); },
                            args);
    });
    va_end(copy);
    if (!known) error = EngineErrorBadParameter;
    // Failures are always recorded; a success only by the operations that open or make a
    // movie. Callers close the file reference between making the movie and asking, and that
    // close must not hide why the movie could not be made.
    if (error != EngineOk || opens_movie(index)) state().last_error = error;
    return result;
}

} // namespace lanternix::media
