// Movies for the engine's tests, made by the ffmpeg tool from its synthetic sources the first
// time a test asks for them, and what ffprobe says about them.
#pragma once

#include "media/command_output.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace media_test {

enum class TestMovie {
    H264AacFirst, // H.264 and AAC, movie atom before the samples
    H264AacLast,  // the same, movie atom after the samples
    RawPcm,       // uncompressed video, 16-bit PCM
    QtrleIma,     // animation codec, IMA ADPCM
    CinepakPcm,
    MjpegPcm,
    Pal8Raw, // 8-bit palette video, no sound
};

// The movie's path, made on first use; the test fails (and the path is empty) when the
// ffmpeg tool cannot make it.
std::string movie_path(TestMovie movie);
std::vector<TestMovie> all_movies();
const char* movie_name(TestMovie movie);

// A movie made by `ffmpeg -v error -y ARGUMENTS FILE` (inputs and codec options), named
// NAME.mov in the movie folder and made on first use; empty (and the test failed) when the
// ffmpeg tool cannot make it.
std::string make_movie(const std::string& name, const std::string& arguments);

// The peak signal-to-noise ratio of two BGRA pictures of one size over their colour
// channels, in dB; 99 when they are identical, 0 when their sizes differ.
double psnr_bgra(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

using test_support::run_command;

struct ProbedPacket {
    int stream = 0;
    uint64_t offset = 0;
    uint32_t size = 0;
    double decode_time = 0; // seconds
};

// Every sample of the movie in the order the demuxer reads them, according to ffprobe.
std::vector<ProbedPacket> probe_packets(const std::string& path);
// Each stream's time base as "num/den", by stream index.
std::vector<std::string> probe_time_bases(const std::string& path);
double probe_duration_seconds(const std::string& path);

// ffmpeg's own decode of the frame at `seconds`, as BGRA rows at `width` x `height`.
std::vector<uint8_t> ffmpeg_frame(const std::string& path, double seconds, int width, int height);

std::vector<uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
std::string scratch_path(const std::string& name);

// Writes the first `received` bytes of `bytes` to `path`, grown to the full length the way the
// plug-in grows a file that is still arriving: zeros, then the count of bytes still to come
// in the last four bytes (little endian).
void write_partial_file(const std::string& path, const std::vector<uint8_t>& bytes,
                        size_t received);

// Where the movie atom lies in the file (offset, end).
std::pair<size_t, size_t> movie_atom_extent(const std::vector<uint8_t>& bytes);

} // namespace media_test
