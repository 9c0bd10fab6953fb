#include "support/streaming_fixture.h"

#include "movie/movie_instance.h"

#include "support/page_windows.h"

#include <winapi/desktop.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace plugin_test {

namespace {

const char ProfileFile[] = "NPLant32.INI";
const char ProfileSection[] = "Lanternix Plugin";

std::string call_name(const recording_engine::Call& call) {
    using recording_engine::Library;
    static const std::map<int, const char*> movie_names = {
        {2, "CloseMovieFile"},     {7, "DisposeMovie"},          {13, "IsMovieActive"},
        {15, "GetMovieBox"},       {17, "GetSpanDataSize"},      {18, "GetMovieDuration"},
        {20, "GetFramePicture"},   {40, "FreePicture"},          {46, "MakeDibFromPicture"},
        {28, "GetMovieTimeScale"}, {41, "NewMovieFromOpenFile"}, {42, "NewMovieFromFile"},
        {44, "OpenMovieFile"},     {49, "SetMovieActive"},       {50, "SetMovieBox"},
        {54, "GetMovieTime"},      {55, "DisposeController"},    {56, "NewController"},
        {61, "GetTrackByIndex"},   {62, "GetTrackCount"},        {72, "GetTrackMedia"},
        {94, "GetLastError"},      {102, "GetSampleLocation"}};
    static const std::map<int, const char*> component_names = {
        {0, "ActivateController"},     {1, "ControllerAction"}, {2, "DrawController"},
        {4, "GetControllerBounds"},    {9, "IdleController"},   {11, "ControllerEvent"},
        {15, "DetachMovie"},           {16, "SetActionFilter"}, {19, "ControllerSetMovie"},
        {22, "ControllerMovieChanged"}};
    const auto& names = call.library == Library::Movie ? movie_names : component_names;
    auto found = names.find(call.index);
    std::string name =
        found != names.end() ? found->second : "operation " + std::to_string(call.index);
    if (call.library == Library::Component && call.index == 1 && call.args.size() > 1)
        name += " " + std::to_string(call.args[1]);
    return name;
}

} // namespace

std::string movie_bytes(size_t total, uint32_t atom_size, const char* type) {
    std::string bytes(total, '\0');
    for (size_t i = 0; i < total; ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xff);
    const unsigned char header[8] = {
        static_cast<unsigned char>(atom_size >> 24), static_cast<unsigned char>(atom_size >> 16),
        static_cast<unsigned char>(atom_size >> 8),  static_cast<unsigned char>(atom_size),
        static_cast<unsigned char>(type[0]),         static_cast<unsigned char>(type[1]),
        static_cast<unsigned char>(type[2]),         static_cast<unsigned char>(type[3])};
    std::copy(header, header + std::min<size_t>(8, total), bytes.begin());
    return bytes;
}

void StreamingFixture::SetUp() {
    PluginFixture::SetUp();
    winapi::desktop::use_manual_clock(kStartTick);
}

void StreamingFixture::TearDown() {
    if (m_live) destroy();
    if (page) DestroyWindow(page);
    PluginFixture::TearDown();
}

void StreamingFixture::set_preference(const char* key, const char* value) {
    ASSERT_TRUE(write_profile_value(ProfileFile, ProfileSection, key, value));
}

void StreamingFixture::open_instance(const Attributes& attributes, int width, int height) {
    start();
    recording_engine::reset();
    page = make_page_window(width + 40, height + 40);
    embed = make_embed_window(page, 'a', 10, 10, width, height);
    ASSERT_EQ(new_instance(&npp, attributes), NPERR_NO_ERROR);
    m_live = true;
    if (width == 0) return;
    window_record.window = embed;
    window_record.width = static_cast<uint32>(width);
    window_record.height = static_cast<uint32>(height);
    window_record.clipRect = NPRect{0, 0, static_cast<uint16>(height), static_cast<uint16>(width)};
    ASSERT_EQ(funcs.setwindow(&npp, &window_record), NPERR_NO_ERROR);
    clear_engine_calls();
}

void StreamingFixture::begin_stream(uint32_t announced_length) {
    stream.url = kAddress;
    stream.end = announced_length;
    char type[] = "video/quicktime";
    uint16 stype = 0;
    ASSERT_EQ(funcs.newstream(&npp, type, &stream, 0, &stype), NPERR_NO_ERROR);
}

int32 StreamingFixture::write(const std::string& movie, size_t from, size_t count) {
    std::string block = movie.substr(from, count);
    return funcs.write(&npp, &stream, static_cast<int32>(from), static_cast<int32>(block.size()),
                       block.data());
}

void StreamingFixture::write_blocks(const std::string& movie, size_t from, size_t to, size_t block,
                                    uint64_t step_ms) {
    for (size_t at = from; at < to; at += block) {
        winapi::desktop::advance_clock(step_ms);
        size_t count = std::min(block, to - at);
        ASSERT_EQ(write(movie, at, count), static_cast<int32>(count)) << "block at " << at;
    }
}

NPError StreamingFixture::end_stream(NPReason reason) {
    return funcs.destroystream(&npp, &stream, reason);
}

NPError StreamingFixture::destroy() {
    m_live = false;
    return destroy_instance(&npp);
}

void StreamingFixture::close_page() {
    if (m_live) destroy();
    shutdown();
    DestroyWindow(page);
    page = nullptr;
    npp = NPP_t{};
}

std::vector<std::string> StreamingFixture::cache_files() const {
    std::vector<std::string> names;
    DIR* folder = opendir(folders.temp_directory().c_str());
    if (!folder) return names;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::string StreamingFixture::read_file(const std::string& name) const {
    std::ifstream file(folders.temp_directory() + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void StreamingFixture::write_file(const std::string& name, const std::string& contents) const {
    std::ofstream file(folders.temp_directory() + name, std::ios::binary);
    file << contents;
}

std::vector<std::string> StreamingFixture::engine_calls() const {
    std::vector<std::string> names;
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    for (size_t i = m_calls_seen; i < calls.size(); ++i)
        names.push_back(call_name(calls[i]));
    return names;
}

size_t StreamingFixture::engine_count(const std::string& name) const {
    std::vector<std::string> names = engine_calls();
    return static_cast<size_t>(std::count(names.begin(), names.end(), name));
}

void StreamingFixture::clear_engine_calls() {
    m_calls_seen = recording_engine::calls().size();
}

void StreamingFixture::stream_whole(const std::string& movie) {
    begin_stream(static_cast<uint32_t>(movie.size()));
    ASSERT_EQ(write(movie, 0, movie.size()), static_cast<int32>(movie.size()));
    ASSERT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
}

const MovieInstance* StreamingFixture::instance() const {
    return static_cast<const MovieInstance*>(npp.pdata);
}

std::string StreamingFixture::status_line() const {
    const MovieInstance* movie = instance();
    return movie && movie->StatusText ? movie->StatusText : "";
}

} // namespace plugin_test
