// Every video codec ffmpeg can write into a movie file, decoded by the engine and compared with
// ffmpeg's own decode and conversion of the same file: the first frame, the frame shown at
// 1.5 s reached by a jump, and the first frame again after jumping back. Then the colours:
// movies tagged with other colour matrices and ranges than the common BT.601 limited range.
#include "media/engine_client.h"
#include "test_movies.h"

#include <cmath>
#include <cstdio>

namespace media_test {
namespace {

using MO = MovieOperation;

constexpr int frame_rate = 25;

struct VideoCase {
    const char* name;
    const char* codec;            // ffmpeg's options for the video
    const char* size = "352x288"; // H.261 and H.263 take only their standard sizes
};

const VideoCase video_cases[] = {
    {"h264", "-c:v libx264 -preset ultrafast -g 12 -pix_fmt yuv420p"},
    {"hevc", "-c:v libx265 -preset ultrafast -g 12 -tag:v hvc1 -x265-params log-level=error"},
    {"mpeg4", "-c:v mpeg4 -g 12 -q:v 4"},
    {"h263", "-c:v h263 -g 12"},
    {"h261", "-c:v h261 -g 12"},
    {"flv1", "-c:v flv1 -g 12"},
    {"svq1", "-c:v svq1 -g 12"}, // 4:1:0 chroma
    {"cinepak", "-c:v cinepak"},
    // ffmpeg's encoder of this codec fails at some sizes (it crashes at 352x288).
    {"rpza", "-c:v rpza", "176x144"},
    {"smc", "-c:v smc -pix_fmt pal8"},
    {"qtrle", "-c:v qtrle -g 12"},
    {"png", "-c:v png"},
    {"tiff", "-c:v tiff"},
    {"jpeg2000", "-c:v jpeg2000"},
    {"mjpeg", "-c:v mjpeg -q:v 3"},
    {"prores", "-c:v prores"},
    {"dnxhd", "-c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p"},
    {"mpeg2video", "-c:v mpeg2video -g 12"},
    {"raw_rgb24", "-c:v rawvideo -pix_fmt rgb24"},
    {"raw_uyvy422", "-c:v rawvideo -pix_fmt uyvy422"},
};

std::string make_video_movie(const VideoCase& c) {
    return make_movie(std::string("codec_") + c.name, std::string("-f lavfi -i testsrc2=size=") +
                                                          c.size + ":rate=25:duration=2 " +
                                                          c.codec);
}

// The start of the frame shown at `seconds`, less a little, so that ffmpeg's frame selection
// by time picks that frame whatever the rounding of its time.
double reference_time(double seconds) {
    double start = std::floor(seconds * frame_rate + 1e-6) / frame_rate;
    return std::max(0.0, start - 0.001);
}

// Compares the engine's frame at `seconds` with ffmpeg's; the PSNR in dB.
double frame_psnr(const std::string& path, ULONG movie, double seconds, int width, int height) {
    EnginePicture picture = engine_picture(movie, seconds);
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    std::vector<uint8_t> expected = ffmpeg_frame(path, reference_time(seconds), width, height);
    EXPECT_EQ(expected.size(), size_t(width) * height * 4) << "ffmpeg gave no frame";
    return psnr_bgra(picture.top_down, expected);
}

class VideoCodecTest : public ::testing::TestWithParam<VideoCase> {};

TEST_P(VideoCodecTest, FramesMatchFfmpegsDecodeAfterJumps) {
    const VideoCase& c = GetParam();
    std::string path = make_video_movie(c);
    ASSERT_FALSE(path.empty());
    const EngineClient& engine = EngineClient::get();
    OpenedMovie movie(engine.open_path(path));
    ASSERT_NE(movie.get(), 0u);
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(c.size, "%dx%d", &width, &height), 2);
    // The movie's box is its pictures' size, which some codecs leave to their decoder.
    RECT box{};
    ASSERT_EQ(engine.movie(MO::GetMovieBox, movie.get(), &box), 0u);
    EXPECT_EQ(box.right - box.left, width);
    EXPECT_EQ(box.bottom - box.top, height);
    for (double seconds : {0.0, 1.5, 0.0}) {
        SCOPED_TRACE(testing::Message() << "at " << seconds << " s");
        EXPECT_GE(frame_psnr(path, movie.get(), seconds, width, height), 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoCodecTest, ::testing::ValuesIn(video_cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ColourCase {
    const char* name;
    const char* arguments;
    const char* probed; // what ffprobe must say of the stream (space and range)
};

// Each is converted wrongly by a conversion that takes every movie as BT.601 limited range:
// the tags must reach the conversion.
const ColourCase colour_cases[] = {
    {"bt709_dnxhd",
     "-f lavfi -i smptehdbars=size=1280x720:rate=25:duration=0.4 -c:v dnxhd -profile:v dnxhr_sq "
     "-pix_fmt yuv422p -colorspace bt709 -color_primaries bt709 -color_trc bt709",
     "tv,bt709"},
    {"bt2020_h264",
     "-f lavfi -i smptehdbars=size=640x360:rate=25:duration=0.4 -c:v libx264 -preset ultrafast "
     "-pix_fmt yuv420p -colorspace bt2020nc -color_primaries bt2020 -color_trc bt2020-10",
     "tv,bt2020nc"},
    {"full_range_h264",
     "-f lavfi -i testsrc2=size=320x240:rate=25:duration=0.4 -c:v libx264 -preset ultrafast "
     "-pix_fmt yuv420p -color_range pc",
     "pc,"},
    {"full_range_mjpeg",
     "-f lavfi -i testsrc2=size=320x240:rate=25:duration=0.4 -c:v mjpeg -q:v 2 -pix_fmt "
     "yuvj422p",
     "pc,"},
};

class ColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourTest, ColoursMatchFfmpegsConversion) {
    const ColourCase& c = GetParam();
    std::string path = make_movie(std::string("colour_") + c.name, c.arguments);
    ASSERT_FALSE(path.empty());
    std::string probed = run_command(
        "ffprobe -v error -show_entries stream=color_range,color_space -of csv=p=0 '" + path + "'");
    ASSERT_EQ(probed.rfind(c.probed, 0), 0u) << "the movie is tagged " << probed;
    const EngineClient& engine = EngineClient::get();
    OpenedMovie movie(engine.open_path(path));
    ASSERT_NE(movie.get(), 0u);
    RECT box{};
    ASSERT_EQ(engine.movie(MO::GetMovieBox, movie.get(), &box), 0u);
    EXPECT_GE(frame_psnr(path, movie.get(), 0.0, box.right, box.bottom), 40);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColourTest, ::testing::ValuesIn(colour_cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace media_test
