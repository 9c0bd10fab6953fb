#include "test_movies.h"

#include "media/movie_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace media_test {

namespace {

struct Recipe {
    TestMovie movie;
    const char* name;
    const char* arguments; // ffmpeg arguments between the inputs and the output
    const char* inputs;
};

const char* const video_source = "-f lavfi -i testsrc=size=160x120:rate=25:duration=4";
const char* const audio_source = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=4";

const Recipe recipes[] = {
    {TestMovie::H264AacFirst, "h264_aac_first",
     "-c:v libx264 -preset ultrafast -g 25 -pix_fmt yuv420p -c:a aac -b:a 64k -movflags +faststart",
     nullptr},
    {TestMovie::H264AacLast, "h264_aac_last",
     "-c:v libx264 -preset ultrafast -g 25 -pix_fmt yuv420p -c:a aac -b:a 64k", nullptr},
    {TestMovie::RawPcm, "raw_pcm", "-c:v rawvideo -pix_fmt rgb24 -c:a pcm_s16be", nullptr},
    {TestMovie::QtrleIma, "qtrle_ima", "-c:v qtrle -c:a adpcm_ima_qt", nullptr},
    {TestMovie::CinepakPcm, "cinepak_pcm", "-c:v cinepak -c:a pcm_s16be", nullptr},
    {TestMovie::MjpegPcm, "mjpeg_pcm", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16be",
     nullptr},
    {TestMovie::Pal8Raw, "pal8_raw", "-c:v rawvideo -pix_fmt pal8 -an", nullptr},
};

const Recipe& recipe(TestMovie movie) {
    for (const Recipe& r : recipes)
        if (r.movie == movie) return r;
    return recipes[0];
}

} // namespace

const char* movie_name(TestMovie movie) {
    return recipe(movie).name;
}

std::vector<TestMovie> all_movies() {
    std::vector<TestMovie> movies;
    for (const Recipe& r : recipes)
        movies.push_back(r.movie);
    return movies;
}

std::string make_movie(const std::string& name, const std::string& arguments) {
    std::string path = std::string(LXTEST_MOVIE_DIR) + "/" + name + ".mov";
    std::string errors;
    if (!test_support::make_movie_file(path, arguments, &errors)) {
        ADD_FAILURE() << "ffmpeg could not make " << name << ": " << errors;
        return {};
    }
    return path;
}

std::string movie_path(TestMovie movie) {
    const Recipe& r = recipe(movie);
    bool with_sound = std::string(r.arguments).find("-an") == std::string::npos;
    return make_movie(r.name, std::string(video_source) + " " +
                                  (with_sound ? std::string(audio_source) + " " : std::string()) +
                                  r.arguments);
}

double psnr_bgra(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double squares = 0;
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 4 == 3) continue; // alpha
        double difference = double(a[i]) - double(b[i]);
        squares += difference * difference;
        ++count;
    }
    if (squares == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 / (squares / double(count)));
}

std::vector<ProbedPacket> probe_packets(const std::string& path) {
    std::istringstream lines(run_command(
        "ffprobe -v error -show_entries packet=stream_index,dts_time,pos,size -of csv=p=0 '" +
        path + "'"));
    std::vector<ProbedPacket> packets;
    std::string line;
    while (std::getline(lines, line)) {
        ProbedPacket packet;
        unsigned long long offset = 0;
        if (std::sscanf(line.c_str(), "%d,%lf,%u,%llu", &packet.stream, &packet.decode_time,
                        &packet.size, &offset) == 4) {
            packet.offset = offset;
            packets.push_back(packet);
        }
    }
    return packets;
}

std::vector<std::string> probe_time_bases(const std::string& path) {
    std::istringstream lines(
        run_command("ffprobe -v error -show_entries stream=time_base -of csv=p=0 '" + path + "'"));
    std::vector<std::string> bases;
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty()) bases.push_back(line);
    return bases;
}

double probe_duration_seconds(const std::string& path) {
    return std::stod("0" + run_command("ffprobe -v error -show_entries format=duration -of "
                                       "csv=p=0 '" +
                                       path + "'"));
}

std::vector<uint8_t> ffmpeg_frame(const std::string& path, double seconds, int width, int height) {
    std::string output = scratch_path("ffmpeg_frame.bgra");
    char time[32];
    std::snprintf(time, sizeof time, "%.6f", seconds);
    // Decoded from the start and picked by time, so no seek imprecision enters the reference.
    run_command("ffmpeg -v error -y -i '" + path + "' -vf \"select='gte(t," + time +
                ")',scale=" + std::to_string(width) + ":" + std::to_string(height) +
                ":flags=bicubic\" -frames:v 1 -f rawvideo -pix_fmt bgra '" + output + "' 2>&1");
    return read_file(output);
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string scratch_path(const std::string& name) {
    std::string dir = std::string(LXTEST_MOVIE_DIR) + "/scratch-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    return dir + "/" + name;
}

void write_partial_file(const std::string& path, const std::vector<uint8_t>& bytes,
                        size_t received) {
    std::vector<uint8_t> grown(bytes.size(), 0);
    std::copy(bytes.begin(), bytes.begin() + std::min(received, bytes.size()), grown.begin());
    uint32_t missing = static_cast<uint32_t>(bytes.size() - received);
    if (bytes.size() >= 4 && missing > 0)
        for (int i = 0; i < 4; ++i)
            grown[bytes.size() - 4 + i] = uint8_t(missing >> (8 * i));
    write_file(path, grown);
}

std::pair<size_t, size_t> movie_atom_extent(const std::vector<uint8_t>& bytes) {
    size_t offset = 0;
    while (offset + 8 <= bytes.size()) {
        uint64_t size = uint64_t(bytes[offset]) << 24 | uint64_t(bytes[offset + 1]) << 16 |
                        uint64_t(bytes[offset + 2]) << 8 | bytes[offset + 3];
        if (size == 1) {
            size = 0;
            for (int i = 0; i < 8; ++i)
                size = size << 8 | bytes[offset + 8 + i];
        }
        if (size < 8) break;
        if (std::string(bytes.begin() + offset + 4, bytes.begin() + offset + 8) == "moov")
            return {offset, offset + size};
        offset += size;
    }
    return {0, 0};
}

} // namespace media_test
