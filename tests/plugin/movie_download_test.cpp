// The download into the cache file, driven through the exported entry points with the
// recording engine and the manual clock: when the movie is opened early, the file on disk
// block by block, the re-open at the stream's end call by call, a full disk, and what happens
// to the file when the instance goes.
#include "support/streaming_fixture.h"

#include <winapi/desktop.h>

#include <dirent.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

using namespace plugin_test;

namespace {

const char Examining[] = "Examining movie...";
const char Streaming[] = "Streaming movie...";
const char Downloading[] = "Downloading (Non streamable or VR)...";
const char CannotCreate[] = "Could not create movie file.";

// The placeholder that grows a file still arriving: the count of bytes still to come,
// little-endian, in the 4 bytes that end at the announced length.
std::string placeholder(uint32_t remaining) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(remaining >> (8 * i));
    return bytes;
}

class DownloadTest : public StreamingFixture {
  protected:
    void open_with_status() { open_instance({{"SRC", kAddress}, {"STATUSMSG", "TRUE"}}); }

    size_t opens() const {
        return engine_count("NewMovieFromOpenFile") + engine_count("OpenMovieFile");
    }
};

// ---- The cache file --------------------------------------------------------------------------

TEST_F(DownloadTest, CacheFileIsNamedFromTheTickCountInTenths) {
    open_with_status();
    begin_stream(100);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"LX000042.mov"});
    EXPECT_EQ(read_file("LX000042.mov"), "") << "expected a new, empty file";
    EXPECT_EQ(status_line(), Examining);
}

TEST_F(DownloadTest, StreamsBeginningInTheSameTenthGetFilesOfTheirOwn) {
    open_with_status();
    NPP_t second{};
    ASSERT_EQ(new_instance(&second, {{"SRC", "other.mov"}}), NPERR_NO_ERROR);
    begin_stream(100);
    NPStream other{};
    other.url = "http://example.invalid/other.mov";
    other.end = 4;
    char type[] = "video/quicktime";
    uint16 stype = 0;
    ASSERT_EQ(funcs.newstream(&second, type, &other, 0, &stype), NPERR_NO_ERROR);
    std::vector<std::string> expected = {"LX000042.mov", "LX000043.mov"};
    EXPECT_EQ(cache_files(), expected);
    // Each instance writes into its own file.
    char mine[] = "abcd", theirs[] = "wxyz";
    ASSERT_EQ(funcs.write(&npp, &stream, 0, 4, mine), 4);
    ASSERT_EQ(funcs.write(&second, &other, 0, 4, theirs), 4);
    EXPECT_EQ(read_file("LX000042.mov"), "abcd");
    EXPECT_EQ(read_file("LX000043.mov"), "wxyz");
    EXPECT_EQ(destroy_instance(&second), NPERR_NO_ERROR);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"LX000042.mov"});
}

TEST_F(DownloadTest, AFileOfTheSameNameIsNeverEmptied) {
    // A movie kept under that name while the library runs (a file left from an earlier run
    // would be a stale cache file, removed at start-up).
    open_with_status();
    write_file("LX000042.mov", "someone's movie");
    begin_stream(100);
    EXPECT_EQ(read_file("LX000042.mov"), "someone's movie");
    std::vector<std::string> expected = {"LX000042.mov", "LX000043.mov"};
    EXPECT_EQ(cache_files(), expected);
}

TEST_F(DownloadTest, CacheDirectoryTooLongForThePathIsRefused) {
    // An existing directory whose path leaves no room for "\LX000042.mov" in 255 characters.
    std::string directory = folders.temp_directory();
    while (directory.size() < 250) {
        directory += std::string(std::min<size_t>(60, 250 - directory.size()), 'd');
        ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        directory += "/";
    }
    directory.pop_back();
    set_preference("CacheDirectory", directory.c_str());
    open_with_status();
    begin_stream(100);
    EXPECT_EQ(status_line(), CannotCreate);
    // The instance is out of service: blocks are refused and the end changes nothing.
    char bytes[] = "moov";
    EXPECT_EQ(funcs.write(&npp, &stream, 0, 4, bytes), 0);
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_TRUE(engine_calls().empty());
    // Nothing was written anywhere: not in the cache directory, not in a shortened one.
    std::vector<std::string> leftovers = cache_files();
    EXPECT_EQ(leftovers.size(), 1u) << "expected only the long directory's first folder";
}

// The root folder's entries whose names start with "LX": where a cache file would land if
// its path were built from an empty cache directory.
std::vector<std::string> cache_names_in_root() {
    std::vector<std::string> names;
    DIR* root = opendir("/");
    if (!root) return names;
    while (dirent* entry = readdir(root))
        if (std::strncmp(entry->d_name, "LX", 2) == 0) names.push_back(entry->d_name);
    closedir(root);
    return names;
}

TEST_F(DownloadTest, TempFolderTooLongForTheBufferLeavesNoCacheDirectory) {
    // A temporary folder longer than a path may be: GetTempPathA cannot give it, so the
    // library has no cache directory, and must not fall back on the root of the file system.
    ScopedEnvironment temp("TMPDIR", "/" + std::string(322, 't'));
    std::vector<std::string> before = cache_names_in_root();
    set_preference("DontDeleteMovies", "1");
    open_with_status();
    begin_stream(100);
    EXPECT_EQ(status_line(), CannotCreate);
    std::string movie = movie_bytes(100, 100, "moov");
    EXPECT_EQ(write(movie, 0, 100), 0);
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(cache_names_in_root(), before);
    EXPECT_EQ(GetFileAttributesA("\\clip.mov"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DownloadTest, StoredCacheDirectoryTooLongForTheFieldIsNotCutShort) {
    // The first 254 characters of the stored path name an existing folder of their own; the
    // whole path does not fit, and the shorter one must not be used in its place.
    std::string shorter = folders.path(std::string(254 - folders.path().size() - 1, 's'));
    ASSERT_EQ(shorter.size(), 254u);
    ASSERT_TRUE(CreateDirectoryA(shorter.c_str(), nullptr));
    set_preference("CacheDirectory", (shorter + "/more").c_str());
    open_with_status();
    begin_stream(100);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"LX000042.mov"})
        << "expected the file in the temporary folder, the default cache directory";
}

// ---- Opening early ---------------------------------------------------------------------------

TEST_F(DownloadTest, MovieFirstOpensAfter8000BytesAnd120Milliseconds) {
    open_with_status();
    std::string movie = movie_bytes(20000, 5000, "moov");
    begin_stream(20000);
    // Quickly more than 8000 bytes: too soon to open.
    write_blocks(movie, 0, 12001, 4000, 30);
    EXPECT_EQ(status_line(), Streaming);
    EXPECT_EQ(opens(), 0u);
    winapi::desktop::set_clock(kStartTick + 120);
    ASSERT_EQ(write(movie, 12001, 1), 1);
    EXPECT_EQ(opens(), 0u) << "expected no open at exactly 120 ms";
    winapi::desktop::set_clock(kStartTick + 121);
    ASSERT_EQ(write(movie, 12002, 1), 1);
    ASSERT_EQ(engine_count("NewMovieFromOpenFile"), 1u);
    // The engine saw the file grown to the announced length, every received byte unchanged.
    std::string seen(recording_engine::state().open_file_contents.begin(),
                     recording_engine::state().open_file_contents.end());
    ASSERT_EQ(seen.size(), 20000u);
    EXPECT_EQ(seen.substr(0, 12002), movie.substr(0, 12002));
    EXPECT_EQ(seen.substr(19996), placeholder(20000 - 12002));
    // The block that came with the open is in too, and later ones overwrite the placeholder.
    EXPECT_EQ(read_file("LX000042.mov").substr(0, 12003), movie.substr(0, 12003));
    EXPECT_EQ(status_line(), "") << "expected the status line cleared by the open";
    write_blocks(movie, 12003, 20000, 2000);
    EXPECT_EQ(read_file("LX000042.mov"), movie);
    EXPECT_EQ(opens(), 1u) << "expected the movie opened once";
}

TEST_F(DownloadTest, OtherFirstAtomWaitsForItselfAndAMargin) {
    open_with_status();
    // 00 01 23 45: a first atom of 74565 bytes, opened once more than 107333 bytes are in.
    std::string movie = movie_bytes(200000, 0x12345, "mdat");
    begin_stream(200000);
    winapi::desktop::advance_clock(500);
    write_blocks(movie, 0, 108000, 1000);
    EXPECT_EQ(status_line(), Downloading);
    EXPECT_EQ(opens(), 0u) << "expected no open with 107000 bytes in before the last block";
    ASSERT_EQ(write(movie, 108000, 1000), 1000);
    EXPECT_EQ(opens(), 1u) << "expected the open with 108000 bytes in";
}

TEST_F(DownloadTest, HeaderSplitOverTinyBlocksIsExaminedOnceNineBytesAreIn) {
    open_with_status();
    std::string movie = movie_bytes(50000, 30000, "moov");
    begin_stream(50000);
    winapi::desktop::advance_clock(200);
    // Until the header is examined both thresholds are 0: any block after the first may try
    // to open. These opens fail: the engine reports an error.
    recording_engine::set_result(recording_engine::Library::Movie, 94, 1);
    ASSERT_EQ(write(movie, 0, 3), 3);
    EXPECT_EQ(opens(), 0u);
    ASSERT_EQ(write(movie, 3, 3), 3);
    ASSERT_EQ(write(movie, 6, 2), 2);
    EXPECT_EQ(status_line(), "") << "expected the early open's clearing, no header verdict";
    EXPECT_EQ(opens(), 2u);
    ASSERT_EQ(write(movie, 8, 1), 1);
    EXPECT_EQ(status_line(), Streaming);
    EXPECT_EQ(opens(), 3u);
    // Now the 8000-byte threshold holds.
    clear_engine_calls();
    write_blocks(movie, 9, 8009, 1000);
    EXPECT_EQ(opens(), 0u);
    ASSERT_EQ(write(movie, 8009, 1000), 1000);
    EXPECT_EQ(opens(), 1u);
}

TEST_F(DownloadTest, UnknownLengthTriesEveryBlockUntilTheMovieOpens) {
    open_with_status();
    std::string movie = movie_bytes(3000, 3000, "moov");
    begin_stream(0);
    recording_engine::set_result(recording_engine::Library::Movie, 94, 1);
    write_blocks(movie, 0, 2000, 500);
    // A file that is all there (nothing announced is missing) is opened as a complete file.
    EXPECT_EQ(engine_count("OpenMovieFile"), 4u);
    EXPECT_EQ(engine_count("NewMovieFromOpenFile"), 0u);
    recording_engine::set_result(recording_engine::Library::Movie, 94, 0);
    write_blocks(movie, 2000, 3000, 500);
    EXPECT_EQ(engine_count("OpenMovieFile"), 5u) << "expected no try after the open";
    EXPECT_EQ(engine_count("NewController"), 1u);
    clear_engine_calls();
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_EQ(engine_count("DetachMovie"), 1u) << "expected the re-open at the end";
    EXPECT_EQ(read_file("LX000042.mov"), movie);
}

TEST_F(DownloadTest, FewerThanFourBytesToComeGrowWithoutTouchingReceivedBytes) {
    open_with_status();
    std::string movie = movie_bytes(9002, 9002, "moov");
    begin_stream(9002);
    write_blocks(movie, 0, 9000, 3000);
    winapi::desktop::advance_clock(500);
    ASSERT_EQ(write(movie, 9000, 1), 1);
    ASSERT_EQ(engine_count("NewMovieFromOpenFile"), 1u);
    std::string seen(recording_engine::state().open_file_contents.begin(),
                     recording_engine::state().open_file_contents.end());
    ASSERT_EQ(seen.size(), 9002u);
    EXPECT_EQ(seen.substr(0, 9000), movie.substr(0, 9000));
    EXPECT_EQ(seen.substr(9000), std::string("\x02\x00", 2));
    ASSERT_EQ(write(movie, 9001, 1), 1);
    EXPECT_EQ(read_file("LX000042.mov"), movie);
}

TEST_F(DownloadTest, BlocksBeyondTheAnnouncedLengthAreAppended) {
    open_with_status();
    std::string movie = movie_bytes(12000, 100, "moov");
    begin_stream(10000);
    write_blocks(movie, 0, 12000, 3000, 100);
    EXPECT_EQ(read_file("LX000042.mov"), movie);
}

// ---- The stream's end ------------------------------------------------------------------------

TEST_F(DownloadTest, EndOpensAMovieThatWasNotOpenedEarly) {
    open_with_status();
    std::string movie = movie_bytes(5000, 5000, "moov");
    begin_stream(5000);
    write_blocks(movie, 0, 5000, 1000);
    EXPECT_EQ(opens(), 0u) << "expected every block within the first 120 ms";
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    std::vector<std::string> expected = {"OpenMovieFile", "NewMovieFromFile", "CloseMovieFile",
                                         "GetLastError"};
    std::vector<std::string> calls = engine_calls();
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 4), expected);
    EXPECT_EQ(engine_count("NewController"), 1u);
    EXPECT_TRUE(recording_engine::state().active) << "expected a complete movie made active";
    EXPECT_EQ(status_line(), "");
}

TEST_F(DownloadTest, EndOneByteShortOpensNothing) {
    open_with_status();
    std::string movie = movie_bytes(5000, 5000, "moov");
    begin_stream(5000);
    write_blocks(movie, 0, 4999, 1000);
    EXPECT_EQ(end_stream(NPRES_NETWORK_ERR), NPERR_NO_ERROR);
    EXPECT_EQ(opens(), 0u);
    EXPECT_EQ(status_line(), Streaming) << "expected the last status line kept";
}

TEST_F(DownloadTest, EarlyOpenedMovieIsReopenedFromTheWholeFileCallByCall) {
    open_with_status();
    recording_engine::State& engine = recording_engine::state();
    engine.duration = 6000;
    engine.movie_box = {0, 0, 160, 120};
    std::string movie = movie_bytes(30000, 5000, "moov");
    begin_stream(30000);
    winapi::desktop::advance_clock(200);
    write_blocks(movie, 0, 18000, 9000);
    ASSERT_NE(engine.filter, nullptr) << "expected the movie opened early";
    write_blocks(movie, 18000, 30000, 6000);
    // The user has been watching: a time, a volume and a rate to keep.
    engine.movie_time = 1234;
    engine.volume = 0x00c0;
    engine.rate = 0x18000;
    engine.movie_box = {4, 6, 164, 126};
    engine.selection_start = 0;
    engine.selection_length = 600;
    clear_engine_calls();
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    std::vector<std::string> expected = {
        "ControllerAction 15", "ControllerAction 42", "ControllerAction 8", "GetMovieTime",
        "GetMovieBox", "DetachMovie", "DisposeMovie", "OpenMovieFile", "NewMovieFromFile",
        "CloseMovieFile", "GetLastError", "GetMovieDuration", "GetMovieTimeScale", "GetTrackCount",
        "SetMovieBox", "ControllerSetMovie", "ControllerMovieChanged", "ControllerAction 12",
        "ControllerAction 14", "ControllerAction 8",
        // The action filter checks the data ahead of the time the play starts from.
        "GetMovieTime", "ControllerAction 53", "ControllerAction 29", "ControllerAction 30",
        "SetMovieActive"};
    EXPECT_EQ(engine_calls(), expected);
    EXPECT_EQ(engine.movie_time, 1234u) << "expected the same time";
    EXPECT_EQ(engine.volume, 0x00c0) << "expected the same volume";
    EXPECT_EQ(engine.rate, 0x18000u) << "expected playing at the same rate";
    EXPECT_EQ(engine.movie_box.left, 4);
    EXPECT_EQ(engine.movie_box.bottom, 126);
    EXPECT_EQ(engine.selection_start, 0u);
    EXPECT_EQ(engine.selection_length, 6000u) << "expected the whole movie selected";
    EXPECT_TRUE(engine.active);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(embed, &update, FALSE)) << "expected nothing left to repaint";
    // The controller is placed at the box's corner in the instance window.
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    const recording_engine::Call& set_movie = calls[calls.size() - 10];
    ASSERT_EQ(set_movie.index, 19);
    EXPECT_EQ(set_movie.args[2], reinterpret_cast<uintptr_t>(embed));
    EXPECT_EQ(set_movie.args[3], 4u);
    EXPECT_EQ(set_movie.args[4], 6u);
}

// ---- A full disk -----------------------------------------------------------------------------

// Limits the size of files this process may write until the end of the scope; a write beyond
// it fails as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_previous_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previous_handler);
    }
    bool set() const { return m_set; }

  private:
    rlimit m_previous{};
    void (*m_previous_handler)(int) = nullptr;
    bool m_set = false;
};

TEST_F(DownloadTest, NoRoomToGrowTheFileStopsTheDownloadWithAMessage) {
    open_with_status();
    std::string movie = movie_bytes(40000, 5000, "moov");
    begin_stream(4u << 20);
    {
        FileSizeLimit limit(1 << 20);
        ASSERT_TRUE(limit.set());
        winapi::desktop::advance_clock(200);
        write_blocks(movie, 0, 9000, 9000);
        // This block finds the threshold passed: growing to 4 MiB fails, the block itself is
        // still written.
        EXPECT_EQ(write(movie, 9000, 1000), 1000);
    }
    std::vector<winapi::desktop::MessageBoxRecord> boxes = winapi::desktop::message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Lanternix Error: Out of disk space.");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(opens(), 0u) << "expected the engine never to see the file";
    EXPECT_EQ(read_file("LX000042.mov"), movie.substr(0, 10000));
    // Later blocks and the end are ignored; the message is not repeated.
    EXPECT_EQ(write(movie, 10000, 1000), 0);
    EXPECT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_EQ(winapi::desktop::message_boxes().size(), 1u);
    EXPECT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_TRUE(cache_files().empty()) << "expected the cache file deleted";
}

// ---- Keeping a copy --------------------------------------------------------------------------

class KeepCopyTest : public DownloadTest {
  protected:
    // Streams `movie` whole or up to `received`, ends with `reason`, and tears down.
    void stream_and_leave(const std::string& movie, size_t received, uint32_t announced,
                          NPReason reason) {
        begin_stream(announced);
        write_blocks(movie, 0, received, 4096);
        ASSERT_EQ(end_stream(reason), NPERR_NO_ERROR);
        ASSERT_EQ(destroy(), NPERR_NO_ERROR);
    }
    std::string movie = movie_bytes(10000, 10000, "moov");
};

TEST_F(KeepCopyTest, WithoutThePreferenceTheFileIsDeleted) {
    open_with_status();
    stream_and_leave(movie, movie.size(), 10000, NPRES_DONE);
    EXPECT_TRUE(cache_files().empty());
}

TEST_F(KeepCopyTest, CompleteStreamIsKeptUnderItsOwnName) {
    set_preference("DontDeleteMovies", "1");
    open_with_status();
    stream_and_leave(movie, movie.size(), 10000, NPRES_DONE);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"clip.mov"});
    EXPECT_EQ(read_file("clip.mov"), movie);
}

TEST_F(KeepCopyTest, CutShortStreamNeverReplacesAnOlderCopy) {
    write_file("clip.mov", "an older copy");
    set_preference("DontDeleteMovies", "1");
    open_with_status();
    stream_and_leave(movie, 9999, 10000, NPRES_NETWORK_ERR);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"clip.mov"});
    EXPECT_EQ(read_file("clip.mov"), "an older copy");
}

TEST_F(KeepCopyTest, UnknownLengthIsKeptOnlyWhenTheHostFinishedIt) {
    set_preference("DontDeleteMovies", "1");
    open_with_status();
    stream_and_leave(movie, 6000, 0, NPRES_USER_BREAK);
    EXPECT_TRUE(cache_files().empty()) << "expected a broken-off stream not kept";

    npp = NPP_t{};
    ASSERT_EQ(new_instance(&npp, {{"SRC", kAddress}}), NPERR_NO_ERROR);
    ASSERT_EQ(funcs.setwindow(&npp, &window_record), NPERR_NO_ERROR);
    stream_and_leave(movie, movie.size(), 0, NPRES_DONE);
    EXPECT_EQ(cache_files(), std::vector<std::string>{"clip.mov"});
}

TEST_F(KeepCopyTest, StreamWithoutBlocksIsNotKept) {
    write_file("clip.mov", "an older copy");
    set_preference("DontDeleteMovies", "1");
    open_with_status();
    stream_and_leave(movie, 0, 10000, NPRES_DONE);
    EXPECT_EQ(read_file("clip.mov"), "an older copy");
    EXPECT_EQ(cache_files(), std::vector<std::string>{"clip.mov"});
}

TEST_F(KeepCopyTest, NamesThatWouldLeaveTheCacheDirectoryAreNotKept) {
    set_preference("DontDeleteMovies", "1");
    for (const char* address :
         {"http://example.invalid/a\\..\\..\\evil.mov", "http://example.invalid/movies/..",
          "http://example.invalid/CON", "http://example.invalid/nul.mov", "http://example.invalid/",
          "http://example.invalid/a?b.mov"}) {
        SCOPED_TRACE(address);
        if (!page)
            open_instance({{"SRC", address}});
        else {
            npp = NPP_t{};
            ASSERT_EQ(new_instance(&npp, {{"SRC", address}}), NPERR_NO_ERROR);
            ASSERT_EQ(funcs.setwindow(&npp, &window_record), NPERR_NO_ERROR);
        }
        stream_and_leave(movie, movie.size(), 10000, NPRES_DONE);
        EXPECT_TRUE(cache_files().empty());
    }
}

} // namespace
