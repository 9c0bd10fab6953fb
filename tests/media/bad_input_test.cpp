// Malformed, truncated and placeholder-filled movie files: an error from the open, or a
// movie that plays what it can; never a crash or a read outside the file.
#include "media/engine_client.h"
#include "test_movies.h"

#include <windows.h>

namespace media_test {
namespace {

using MO = MovieOperation;

class BadInputTest : public ::testing::Test {
  protected:
    const EngineClient& engine() { return EngineClient::get(); }
    static void put_be32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = uint8_t(value >> (24 - 8 * i));
    }
    EngineResult open_bytes(const std::vector<uint8_t>& bytes, const char* name) {
        std::string path = scratch_path(name);
        write_file(path, bytes);
        EngineResult error = 0;
        OpenedMovie movie(engine().open_path(path, &error));
        return movie.get() ? 0 : (error ? error : 1);
    }
};

TEST_F(BadInputTest, MovieAtomLargerThanTheFileIsRefused) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    put_be32(bytes, start, static_cast<uint32_t>(bytes.size() * 2));
    EXPECT_NE(open_bytes(bytes, "big_moov.mov"), 0u);
}

TEST_F(BadInputTest, ChildAtomOverrunningItsParentIsRefused) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    std::string text(bytes.begin(), bytes.end());
    size_t track = text.find("trak", start);
    ASSERT_NE(track, std::string::npos);
    put_be32(bytes, track - 4, static_cast<uint32_t>(end - start));
    EXPECT_NE(open_bytes(bytes, "big_trak.mov"), 0u);
}

TEST_F(BadInputTest, MovieAtomCutShortAndPaddedWithZerosIsRefused) {
    // No count of missing bytes at the end: the zeros inside the movie atom give it away.
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>((start + end) / 2), bytes.end(), 0);
    std::string path = scratch_path("zero_tail.mov");
    write_file(path, bytes);
    EngineResult error = 0;
    EXPECT_EQ(engine().open_handle(path, &error), 0u);
    EXPECT_NE(error, 0u);
}

TEST_F(BadInputTest, TruncatedSamplesStillOpenAndDecodeWhatIsThere) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    bytes.resize(bytes.size() * 2 / 3);
    std::string path = scratch_path("truncated.mov");
    write_file(path, bytes);
    OpenedMovie movie(engine().open_path(path));
    ASSERT_NE(movie.get(), 0u);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie.get());
    ULONG early = engine().movie(MO::GetFramePicture, movie.get(), ULONG(100));
    EXPECT_NE(early, 0u);
    engine().movie(MO::FreePicture, early);
    // Past the cut: a picture of what could be decoded, or an error; nothing worse.
    ULONG late = engine().movie(MO::GetFramePicture, movie.get(), duration - 1);
    if (late) engine().movie(MO::FreePicture, late);
}

TEST_F(BadInputTest, RandomBytesAndEmptyFilesAreRefused) {
    std::vector<uint8_t> noise(20000);
    uint32_t state = 12345;
    for (uint8_t& byte : noise)
        byte = uint8_t((state = state * 1103515245 + 12345) >> 16);
    EXPECT_NE(open_bytes(noise, "noise.mov"), 0u);
    EXPECT_NE(open_bytes({}, "empty.mov"), 0u);
    std::vector<uint8_t> header_only = {0, 0, 0, 8, 'm', 'o', 'o', 'v'};
    EXPECT_NE(open_bytes(header_only, "empty_moov.mov"), 0u);
}

TEST_F(BadInputTest, GrowingMovieDecodesNothingUntilActive) {
    std::vector<uint8_t> bytes = read_file(movie_path(TestMovie::H264AacFirst));
    auto [start, end] = movie_atom_extent(bytes);
    std::string path = scratch_path("placeholder_samples.mov");
    write_partial_file(path, bytes, end);
    OpenedMovie movie(engine().open_handle(path));
    ASSERT_NE(movie.get(), 0u);
    EXPECT_EQ(engine().movie(MO::GetFramePicture, movie.get(), ULONG(0)), 0u);
    EXPECT_NE(engine().movie(MO::GetLastError), 0u);
    // The measure still tells how much of the file playing needs.
    EXPECT_GT(engine().movie(MO::GetSpanDataSize, movie.get(), ULONG(0), ULONG(1000)), end);
}

} // namespace
} // namespace media_test
