// Opening movies and measuring them, against what ffprobe says of the same files.
#include "media/engine_client.h"
#include "test_movies.h"

#include <cmath>
#include <map>

namespace media_test {
namespace {

using MO = MovieOperation;

class MovieOpenTest : public ::testing::TestWithParam<TestMovie> {
  protected:
    void SetUp() override { ASSERT_TRUE(engine().loaded()); }
    const EngineClient& engine() { return EngineClient::get(); }
};

TEST_P(MovieOpenTest, DurationAndTimeScaleMatchTheFile) {
    std::string path = movie_path(GetParam());
    ASSERT_FALSE(path.empty());
    OpenedMovie movie(engine().open_path(path));
    ASSERT_NE(movie.get(), 0u);
    EngineResult scale = engine().movie(MO::GetMovieTimeScale, movie.get());
    EngineResult duration = engine().movie(MO::GetMovieDuration, movie.get());
    ASSERT_GT(scale, 0u);
    EXPECT_NEAR(double(duration) / scale, probe_duration_seconds(path), 0.002);
    EXPECT_EQ(engine().movie(MO::GetLastError), 0u);
}

TEST_P(MovieOpenTest, TracksAndFirstSamplesMatchProbe) {
    std::string path = movie_path(GetParam());
    ASSERT_FALSE(path.empty());
    OpenedMovie movie(engine().open_path(path));
    ASSERT_NE(movie.get(), 0u);
    std::vector<ProbedPacket> packets = probe_packets(path);
    std::map<int, ProbedPacket> first;
    for (const ProbedPacket& packet : packets)
        first.emplace(packet.stream, packet);
    int count = static_cast<int16_t>(engine().movie(MO::GetTrackCount, movie.get()));
    ASSERT_EQ(count, static_cast<int>(probe_time_bases(path).size()));
    for (int index = 1; index <= count; ++index) {
        ULONG track = engine().movie(MO::GetTrackByIndex, movie.get(), ULONG(index));
        ULONG media = engine().movie(MO::GetTrackMedia, track);
        ASSERT_NE(media, 0u);
        ULONG offset = 0, size = 0, time = 99, duration = 0, count_out = 0;
        ASSERT_EQ(engine().movie(MO::GetSampleLocation, media, &offset, &size, ULONG(0), &time,
                                 &duration, static_cast<ULONG*>(nullptr),
                                 static_cast<ULONG*>(nullptr), ULONG(1), &count_out,
                                 static_cast<ULONG*>(nullptr)),
                  0u);
        ASSERT_TRUE(first.count(index - 1)) << "track " << index;
        EXPECT_EQ(offset, first[index - 1].offset) << "track " << index;
        EXPECT_EQ(size, first[index - 1].size) << "track " << index;
        EXPECT_EQ(time, 0u);
        EXPECT_GT(duration, 0u);
        EXPECT_EQ(count_out, 1u);
    }
}

TEST_P(MovieOpenTest, OpensFromAnOpenFileHandleThatIsClosedAtOnce) {
    std::string path = movie_path(GetParam());
    ASSERT_FALSE(path.empty());
    EngineResult error = 1;
    OpenedMovie movie(engine().open_handle(path, &error));
    EXPECT_EQ(error, 0u);
    ASSERT_NE(movie.get(), 0u);
    // The handle given was closed; the movie still reads its file once it is made active
    // (a movie opened from an open file is taken as still arriving until then).
    EXPECT_EQ(engine().movie(MO::GetFramePicture, movie.get(), ULONG(0)), 0u);
    engine().movie(MO::SetMovieActive, movie.get(), ULONG(1));
    ULONG picture = engine().movie(MO::GetFramePicture, movie.get(), ULONG(0));
    EXPECT_NE(picture, 0u);
    EXPECT_EQ(engine().movie(MO::FreePicture, picture), 0u);
}

INSTANTIATE_TEST_SUITE_P(Movies, MovieOpenTest, ::testing::ValuesIn(all_movies()),
                         [](const auto& info) { return std::string(movie_name(info.param)); });

class MovieOpenErrorTest : public ::testing::Test {
  protected:
    const EngineClient& engine() { return EngineClient::get(); }
};

TEST_F(MovieOpenErrorTest, MissingFileFailsWithAnError) {
    ULONG reference = 5;
    EXPECT_NE(engine().movie(MO::OpenMovieFile, "/nonexistent/movie.mov", &reference, ULONG(0)),
              0u);
    EXPECT_NE(engine().movie(MO::GetLastError), 0u);
}

TEST_F(MovieOpenErrorTest, FileThatIsNoMovieFails) {
    std::string path = scratch_path("not_a_movie.mov");
    write_file(path, std::vector<uint8_t>(5000, 'x'));
    EngineResult error = 0;
    EXPECT_EQ(engine().open_path(path, &error), 0u);
    EXPECT_NE(error, 0u);
    EXPECT_NE(error, EngineNotAvailable);
}

TEST_F(MovieOpenErrorTest, BadHandlesFail) {
    EXPECT_EQ(engine().movie(MO::GetMovieDuration, ULONG(12345)), 0u);
    EXPECT_NE(engine().movie(MO::GetLastError), 0u);
    ULONG movie = 7;
    engine().movie(MO::NewMovieFromOpenFile, &movie, HFILE(0x7ffe), ULONG(0), ULONG(0));
    EXPECT_NE(engine().movie(MO::GetLastError), 0u);
    EXPECT_EQ(movie, 0u);
    // The next movie opened clears the last error.
    std::string path = movie_path(TestMovie::RawPcm);
    OpenedMovie opened(engine().open_path(path));
    EXPECT_NE(opened.get(), 0u);
    EXPECT_EQ(engine().movie(MO::GetLastError), 0u);
}

TEST_F(MovieOpenErrorTest, ZeroTimeScaleIsRefused) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::RawPcm));
    std::string text(bytes.begin(), bytes.end());
    size_t header = text.find("mvhd");
    ASSERT_NE(header, std::string::npos);
    // Version 0: type, version and flags, two times, then the time scale.
    for (int i = 0; i < 4; ++i)
        bytes[header + 4 + 4 + 8 + i] = 0;
    std::string path = scratch_path("zero_scale.mov");
    write_file(path, bytes);
    EngineResult error = 0;
    EXPECT_EQ(engine().open_path(path, &error), 0u);
    EXPECT_NE(error, 0u);
}

} // namespace
} // namespace media_test
