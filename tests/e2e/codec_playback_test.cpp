// Movies of codecs that need more of the engine than the common ones, shown by the viewer with
// the real plug-in and engine: the first frame of a movie at rest, and the frame playing about
// 1.5 seconds after AUTOPLAY started it, each against ffmpeg's own decode of the file.
#include "support/e2e_fixture.h"

#include "media/command_output.h"

#include <cmath>
#include <cstdio>

using namespace e2e_test;

namespace {

constexpr int kBarHeight = 18;
constexpr int kWidth = 352;
constexpr int kHeight = 288;

struct CodecMovie {
    const char* name;
    const char* codec; // ffmpeg's options for the video
};

const CodecMovie codec_movies[] = {
    {"mpeg4", "-c:v mpeg4 -q:v 4"}, // sizes left to the decoder by the demuxer
    {"h263", "-c:v h263"},
    {"h261", "-c:v h261"},
    {"smc", "-c:v smc -pix_fmt pal8"},                            // a palette
    {"svq1", "-c:v svq1"},                                        // 4:1:0 chroma
    {"dnxhd", "-c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p"}, // BT.709
};

double psnr(const Picture& a, const Picture& b) {
    if (a.pixels.empty() || a.pixels.size() != b.pixels.size()) return 0;
    double squares = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            double difference =
                double((a.pixels[i] >> shift) & 0xff) - double((b.pixels[i] >> shift) & 0xff);
            squares += difference * difference;
        }
    if (squares == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 / (squares / (3.0 * a.pixels.size())));
}

class CodecPlaybackTest : public EndToEndTest, public ::testing::WithParamInterface<CodecMovie> {
  protected:
    // Makes the movie (at 25 frames a second, 3 seconds) and a page that embeds it.
    std::string make_page(const std::string& attributes) {
        m_path = page_path(std::string(GetParam().name) + ".mov");
        std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=size=352x288:rate=25:"
                              "duration=3 " +
                              std::string(GetParam().codec) + " '" + m_path + "' 2>&1";
        test_support::run_command(command);
        return write("page.html", "<body><embed src=\"" + m_path +
                                      "\" width=" + std::to_string(kWidth) +
                                      " height=" + std::to_string(kHeight + kBarHeight) + " " +
                                      attributes + "></body>");
    }

    // The movie's area of the only embed.
    Picture movie_area() {
        std::vector<HWND> embeds = embed_windows();
        EXPECT_EQ(embeds.size(), 1u);
        return embeds.empty() ? Picture{} : window_picture(embeds[0], RECT{0, 0, kWidth, kHeight});
    }

    std::string m_path;
};

TEST_P(CodecPlaybackTest, FirstFrameAtRestMatchesFfmpeg) {
    std::string page = make_page("");
    Picture shown;
    at(0.5, [&] { shown = movie_area(); });
    ViewerRun result = run({"--at", "0.6", page});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_GE(psnr(shown, ffmpeg_frame(m_path, 0, kWidth, kHeight)), 40);
}

TEST_P(CodecPlaybackTest, FramePlayingAfterAutoplayMatchesFfmpeg) {
    std::string page = make_page("autoplay=true");
    Picture shown;
    at(1.5, [&] { shown = movie_area(); });
    ViewerRun result = run({"--at", "1.6", page});
    EXPECT_EQ(result.code, 0) << result.err;
    // The movie starts a little after the page: the frame shown is one of those a little
    // before 1.5 s.
    double best = 0;
    for (int frame = 25; frame <= 38; ++frame)
        best = std::max(best,
                        psnr(shown, ffmpeg_frame(m_path, frame / 25.0 - 0.001, kWidth, kHeight)));
    EXPECT_GE(best, 40);
}

INSTANTIATE_TEST_SUITE_P(Codecs, CodecPlaybackTest, ::testing::ValuesIn(codec_movies),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
