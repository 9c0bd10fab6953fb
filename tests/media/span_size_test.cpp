// Span data sizes: the file bytes a span of movie time needs, measured as a prefix of the
// file that telescopes over consecutive spans.
#include "media/engine_client.h"
#include "test_movies.h"

#include <algorithm>

namespace media_test {
namespace {

using MO = MovieOperation;

class SpanSizeTest : public ::testing::TestWithParam<TestMovie> {
  protected:
    const EngineClient& engine() { return EngineClient::get(); }
    ULONG span(ULONG movie, ULONG start, ULONG length) {
        return engine().movie(MO::GetSpanDataSize, movie, start, length);
    }
};

TEST_P(SpanSizeTest, ConsecutiveSpansAddUpToTheWholeSpan) {
    OpenedMovie movie(engine().open_path(movie_path(GetParam())));
    ASSERT_NE(movie.get(), 0u);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie.get());
    ULONG whole = span(movie.get(), 0, duration);
    ULONG sum = 0;
    ULONG step = std::max<ULONG>(duration / 37, 1);
    for (ULONG start = 0; start < duration; start += step)
        sum += span(movie.get(), start, std::min(step, duration - start));
    EXPECT_EQ(sum, whole);
    EXPECT_GT(whole, 0u);
    // Spans past the end add nothing more.
    EXPECT_EQ(span(movie.get(), duration, 1000), 0u);
}

TEST_P(SpanSizeTest, PrefixCoversEverySampleThatStartsBeforeTheSpanEnds) {
    std::string path = movie_path(GetParam());
    OpenedMovie movie(engine().open_path(path));
    ASSERT_NE(movie.get(), 0u);
    ULONG scale = engine().movie(MO::GetMovieTimeScale, movie.get());
    ULONG duration = engine().movie(MO::GetMovieDuration, movie.get());
    std::vector<ProbedPacket> packets = probe_packets(path);
    ASSERT_FALSE(packets.empty());
    for (int tenth = 1; tenth <= 10; ++tenth) {
        ULONG time = duration * tenth / 10;
        uint64_t needed = 0;
        for (const ProbedPacket& packet : packets)
            if (packet.decode_time * scale < time - 0.5)
                needed = std::max<uint64_t>(needed, packet.offset + packet.size);
        EXPECT_GE(span(movie.get(), 0, time), needed) << "up to " << time;
    }
    // The whole movie needs the last sample's end.
    uint64_t last_end = 0;
    for (const ProbedPacket& packet : packets)
        last_end = std::max<uint64_t>(last_end, packet.offset + packet.size);
    EXPECT_EQ(span(movie.get(), 0, duration + 1), last_end);
}

INSTANTIATE_TEST_SUITE_P(Movies, SpanSizeTest, ::testing::ValuesIn(all_movies()),
                         [](const auto& info) { return std::string(movie_name(info.param)); });

class PartialFileTest : public ::testing::Test {
  protected:
    const EngineClient& engine() { return EngineClient::get(); }
};

TEST_F(PartialFileTest, MovieAtomFirstOpensOnceTheAtomHasArrived) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    ASSERT_GT(end, start);
    std::string path = scratch_path("partial_first.mov");

    write_partial_file(path, bytes, end - 1);
    EngineResult error = 0;
    EXPECT_EQ(engine().open_handle(path, &error), 0u);
    EXPECT_NE(error, 0u);

    write_partial_file(path, bytes, end + 100);
    OpenedMovie movie(engine().open_handle(path, &error));
    EXPECT_EQ(error, 0u);
    ASSERT_NE(movie.get(), 0u);
    EXPECT_EQ(engine().movie(MO::GetTrackCount, movie.get()), 2u);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie.get());
    // The sample tables arrived whole: the measure is the full file's.
    OpenedMovie complete(engine().open_path(movie_path(TestMovie::H264AacFirst)));
    EXPECT_EQ(engine().movie(MO::GetSpanDataSize, movie.get(), ULONG(0), duration),
              engine().movie(MO::GetSpanDataSize, complete.get(), ULONG(0), duration));
}

TEST_F(PartialFileTest, MovieAtomLastFailsCleanlyUntilComplete) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacLast));
    auto [start, end] = movie_atom_extent(bytes);
    ASSERT_EQ(end, bytes.size());
    std::string path = scratch_path("partial_last.mov");
    for (size_t received :
         {size_t(100), bytes.size() / 2, size_t(start), size_t(start + 8), bytes.size() - 5}) {
        write_partial_file(path, bytes, received);
        EngineResult error = 0;
        EXPECT_EQ(engine().open_handle(path, &error), 0u) << "received " << received;
        EXPECT_NE(error, 0u) << "received " << received;
    }
}

TEST_F(PartialFileTest, GrowingFileIsReadThroughTheEnginesOwnHandle) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    ASSERT_LT(end, bytes.size()) << "expected the movie atom first";
    std::string path = scratch_path("growing.mov");
    write_partial_file(path, bytes, end);
    OpenedMovie movie(engine().open_handle(path));
    ASSERT_NE(movie.get(), 0u);
    // The rest of the file arrives after the open: the movie sees it.
    write_file(path, bytes);
    engine().movie(MO::SetMovieActive, movie.get(), ULONG(1));
    ULONG picture = engine().movie(MO::GetFramePicture, movie.get(), ULONG(0));
    EXPECT_NE(picture, 0u);
    engine().movie(MO::FreePicture, picture);
}

} // namespace
} // namespace media_test
