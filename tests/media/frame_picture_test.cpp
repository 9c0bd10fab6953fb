// Pictures of frames: the engine's decode of a time against ffmpeg's own decode of it, and
// the packed DIB handed to the clipboard.
#include "media/engine_client.h"
#include "test_movies.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace media_test {
namespace {

using MO = MovieOperation;

struct Dib {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> top_down; // BGRA rows, top first
};

class FramePictureTest : public ::testing::TestWithParam<TestMovie> {
  protected:
    const EngineClient& engine() { return EngineClient::get(); }

    // The picture of the frame at `seconds`, through the DIB the engine makes of it.
    Dib picture_at(ULONG movie, double seconds) {
        ULONG scale = engine().movie(MO::GetMovieTimeScale, movie);
        ULONG picture =
            engine().movie(MO::GetFramePicture, movie, static_cast<ULONG>(seconds * scale + 0.5));
        Dib dib;
        if (!picture) return dib;
        auto block = reinterpret_cast<HGLOBAL>(
            static_cast<uintptr_t>(engine().movie(MO::MakeDibFromPicture, picture)));
        engine().movie(MO::FreePicture, picture);
        if (!block) return dib;
        auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
        std::memcpy(&dib.header, bytes, sizeof dib.header);
        size_t row = size_t(dib.header.biWidth) * 4;
        int height = std::abs(dib.header.biHeight);
        dib.top_down.resize(row * height);
        const uint8_t* bits = bytes + dib.header.biSize;
        for (int y = 0; y < height; ++y) {
            int source = dib.header.biHeight > 0 ? height - 1 - y : y;
            std::memcpy(dib.top_down.data() + row * y, bits + row * source, row);
        }
        GlobalUnlock(block);
        GlobalFree(block);
        return dib;
    }

    void expect_matches_ffmpeg(const std::string& path, ULONG movie, double seconds) {
        Dib dib = picture_at(movie, seconds);
        ASSERT_EQ(dib.header.biWidth, 160) << "at " << seconds;
        ASSERT_EQ(std::abs(dib.header.biHeight), 120);
        EXPECT_EQ(dib.header.biBitCount, 32);
        std::vector<uint8_t> expected = ffmpeg_frame(path, seconds, 160, 120);
        ASSERT_EQ(expected.size(), dib.top_down.size()) << "at " << seconds;
        long total = 0;
        int largest = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            if (i % 4 == 3) continue; // alpha
            int difference = std::abs(int(expected[i]) - int(dib.top_down[i]));
            total += difference;
            largest = std::max(largest, difference);
        }
        double mean = double(total) / (expected.size() * 3 / 4);
        EXPECT_LT(mean, 2.0) << "at " << seconds;
        EXPECT_LT(largest, 48) << "at " << seconds;
    }
};

TEST_P(FramePictureTest, FramesMatchFfmpegForwardAndAfterSeekingBack) {
    std::string path = movie_path(GetParam());
    OpenedMovie movie(engine().open_path(path));
    ASSERT_NE(movie.get(), 0u);
    for (double seconds : {0.0, 1.0, 1.2, 3.0, 0.6, 2.48})
        expect_matches_ffmpeg(path, movie.get(), seconds);
}

INSTANTIATE_TEST_SUITE_P(Movies, FramePictureTest, ::testing::ValuesIn(all_movies()),
                         [](const auto& info) { return std::string(movie_name(info.param)); });

// The scaler stores whole vector blocks; at sizes that are not a multiple of its block it
// must still write only into the picture (the sanitizer job catches a stray store).
TEST_F(FramePictureTest, OddSizesAreScaledWithinThePicture) {
    struct Case {
        const char* name;
        const char* codec;
    } cases[] = {{"odd_200x150.mov", "-s 200x150 -c:v libx264 -pix_fmt yuv420p"},
                 {"odd_203x151.mov", "-s 203x151 -c:v mjpeg -pix_fmt yuvj444p"},
                 {"odd_37x29.mov", "-s 37x29 -c:v rawvideo -pix_fmt rgb24"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = scratch_path(c.name);
        run_command(std::string("ffmpeg -v error -y -f lavfi -i testsrc=rate=10:duration=2 ") +
                    c.codec + " '" + path + "'");
        OpenedMovie movie(engine().open_path(path));
        ASSERT_NE(movie.get(), 0u);
        RECT box{};
        ASSERT_EQ(engine().movie(MO::GetMovieBox, movie.get(), &box), 0u);
        Dib dib = picture_at(movie.get(), 1.0);
        EXPECT_EQ(dib.header.biWidth, box.right);
        EXPECT_EQ(std::abs(dib.header.biHeight), box.bottom);
        EXPECT_EQ(dib.top_down.size(), size_t(box.right) * box.bottom * 4);
    }
}

TEST(FramePicture, MovieWithoutVideoGivesNoPicture) {
    std::string path = scratch_path("sound_only.mov");
    run_command("ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a pcm_s16be '" + path + "'");
    const EngineClient& engine = EngineClient::get();
    OpenedMovie movie(engine.open_path(path));
    ASSERT_NE(movie.get(), 0u);
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(engine.movie(MO::GetMovieBox, movie.get(), &box), 0u);
    EXPECT_EQ(box.right - box.left, 0);
    EXPECT_EQ(engine.movie(MO::GetFramePicture, movie.get(), ULONG(0)), 0u);
    EXPECT_EQ(engine.movie(MO::MakeDibFromPicture, ULONG(0)), 0u);
    EXPECT_NE(engine.movie(MO::FreePicture, ULONG(0)), 0u);
}

TEST(FramePicture, MovieBoxIsTheNaturalSizeUntilSet) {
    const EngineClient& engine = EngineClient::get();
    OpenedMovie movie(engine.open_path(movie_path(TestMovie::MjpegPcm)));
    RECT box{};
    ASSERT_EQ(engine.movie(MO::GetMovieBox, movie.get(), &box), 0u);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 160);
    EXPECT_EQ(box.bottom, 120);
    RECT stretched{0, 0, 320, 100};
    EXPECT_EQ(engine.movie(MO::SetMovieBox, movie.get(), &stretched), 0u);
    ASSERT_EQ(engine.movie(MO::GetMovieBox, movie.get(), &box), 0u);
    EXPECT_EQ(box.right, 320);
    EXPECT_EQ(box.bottom, 100);
    RECT inverted{10, 10, 0, 0};
    EXPECT_NE(engine.movie(MO::SetMovieBox, movie.get(), &inverted), 0u);
}

} // namespace
} // namespace media_test
