// Cache files and kept copies when several instances, or several processes, share one cache
// folder: every movie gets a file of its own, and a kept copy never replaces a file, whoever
// made it; a taken name gets a number, "clip (2).mov".
#include "support/streaming_fixture.h"

#include <gmock/gmock.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace plugin_test;
using ::testing::ElementsAre;

namespace {

class KeptCopyTest : public StreamingFixture {
  protected:
    void SetUp() override {
        StreamingFixture::SetUp();
        set_preference("DontDeleteMovies", "1");
    }

    // A second instance on the same page, with its own stream.
    struct Other {
        NPP_t npp{};
        NPStream stream{};
        std::string url;
    };
    void open_other(Other& other, const std::string& url) {
        other.url = url;
        ASSERT_EQ(new_instance(&other.npp, {{"SRC", url}}), NPERR_NO_ERROR);
        other.stream.url = other.url.c_str();
        char type[] = "video/quicktime";
        uint16 stype = 0;
        ASSERT_EQ(funcs.newstream(&other.npp, type, &other.stream, 0, &stype), NPERR_NO_ERROR);
    }
    void stream_other(Other& other, const std::string& movie) {
        other.stream.end = static_cast<uint32>(movie.size());
        std::string block = movie;
        ASSERT_EQ(funcs.write(&other.npp, &other.stream, 0, static_cast<int32>(block.size()),
                              block.data()),
                  static_cast<int32>(movie.size()));
        ASSERT_EQ(funcs.destroystream(&other.npp, &other.stream, NPRES_DONE), NPERR_NO_ERROR);
    }
    void stream_mine(const std::string& movie) {
        begin_stream(static_cast<uint32_t>(movie.size()));
        ASSERT_EQ(write(movie, 0, movie.size()), static_cast<int32>(movie.size()));
        ASSERT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    }

    std::string mine = movie_bytes(10000, 10000, "moov");
    std::string theirs = movie_bytes(12000, 300, "mdat");
};

TEST_F(KeptCopyTest, AnOlderFileOfTheNameIsKeptAndTheCopyIsNumbered) {
    write_file("clip.mov", "an older copy");
    open_instance({{"SRC", kAddress}});
    stream_mine(mine);
    ASSERT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_THAT(cache_files(), ElementsAre("clip (2).mov", "clip.mov"));
    EXPECT_EQ(read_file("clip.mov"), "an older copy");
    EXPECT_EQ(read_file("clip (2).mov"), mine);
}

TEST_F(KeptCopyTest, AMovieNamedLikeALiveCacheFileLeavesThatFileAlone) {
    // The page's first movie is called LX000043.mov, which is the name the second movie's
    // cache file gets; the first ends while the second still downloads.
    open_instance({{"SRC", "http://example.invalid/LX000043.mov"}});
    begin_stream(static_cast<uint32_t>(mine.size()));
    Other other;
    open_other(other, "http://example.invalid/mjpeg.mov");
    EXPECT_THAT(cache_files(), ElementsAre("LX000042.mov", "LX000043.mov"));
    ASSERT_EQ(write(mine, 0, mine.size()), static_cast<int32>(mine.size()));
    ASSERT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    ASSERT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(read_file("LX000043 (2).mov"), mine);
    // The live cache file was not touched, and the second movie is kept with its own bytes.
    stream_other(other, theirs);
    EXPECT_EQ(read_file("LX000043.mov"), theirs);
    ASSERT_EQ(destroy_instance(&other.npp), NPERR_NO_ERROR);
    EXPECT_THAT(cache_files(), ElementsAre("LX000043 (2).mov", "mjpeg.mov"));
    EXPECT_EQ(read_file("LX000043 (2).mov"), mine);
    EXPECT_EQ(read_file("mjpeg.mov"), theirs);
}

TEST_F(KeptCopyTest, TwoMoviesOfOneNameAreBothKept) {
    open_instance({{"SRC", kAddress}});
    Other other;
    open_other(other, "http://example.invalid/other/clip.mov");
    stream_mine(mine);
    stream_other(other, theirs);
    ASSERT_EQ(destroy_instance(&other.npp), NPERR_NO_ERROR);
    ASSERT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_THAT(cache_files(), ElementsAre("clip (2).mov", "clip.mov"));
    EXPECT_EQ(read_file("clip.mov"), theirs);
    EXPECT_EQ(read_file("clip (2).mov"), mine);
}

TEST_F(KeptCopyTest, NumberedNamesWithoutAnExtension) {
    write_file("clip", "an older copy");
    open_instance({{"SRC", "http://example.invalid/clip"}});
    stream_mine(mine);
    ASSERT_EQ(destroy(), NPERR_NO_ERROR);
    EXPECT_THAT(cache_files(), ElementsAre("clip", "clip (2)"));
    EXPECT_EQ(read_file("clip (2)"), mine);
}

// Two processes of one user, with one cache folder, whose streams begin at the same tick:
// both reach for LX000042.mov at once. Each must end up with a file of its own, holding only
// its own movie, and both copies must be kept.
TEST_F(KeptCopyTest, TwoProcessesStartingOnTheSameTickGetFilesOfTheirOwn) {
    int start[2], ready[2], finish[2];
    ASSERT_EQ(pipe(start), 0);
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    const char* urls[2] = {"http://example.invalid/a.mov", "http://example.invalid/b.mov"};
    const std::string* movies[2] = {&mine, &theirs};
    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = fork();
        ASSERT_GE(children[i], 0);
        if (children[i] != 0) continue;
        // The child: the clock stands at 4200 ms in both, so both streams get the same number.
        // Whatever happens in it, it ends here and never returns into the test runner.
        close(start[1]);
        close(finish[1]);
        close(ready[0]);
        bool wrote = false;
        [&] {
            open_instance({{"SRC", urls[i]}});
            char byte = 0;
            (void)!read(start[0], &byte, 1); // both go when the parent closes the pipe
            begin_stream(static_cast<uint32_t>(movies[i]->size()));
            wrote =
                write(*movies[i], 0, movies[i]->size()) == static_cast<int32>(movies[i]->size());
            (void)!::write(ready[1], "r", 1);
            (void)!read(finish[0], &byte, 1);
            end_stream(NPRES_DONE);
            destroy();
        }();
        _exit(wrote && !HasFailure() ? 0 : 1);
    }
    close(start[0]);
    close(start[1]);
    close(ready[1]);
    // Both children have written their whole movie once two bytes have come.
    size_t signals = 0;
    char byte = 0;
    while (signals < 2 && read(ready[0], &byte, 1) == 1)
        ++signals;
    ASSERT_EQ(signals, 2u);
    // While both stream, there are two cache files, each with one movie's bytes.
    EXPECT_THAT(cache_files(), ElementsAre("LX000042.mov", "LX000043.mov"));
    std::vector<std::string> live = {read_file("LX000042.mov"), read_file("LX000043.mov")};
    EXPECT_THAT(live, ::testing::UnorderedElementsAre(mine, theirs));
    close(finish[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    close(ready[0]);
    close(finish[0]);
    EXPECT_THAT(cache_files(), ElementsAre("a.mov", "b.mov"));
    EXPECT_EQ(read_file("a.mov"), mine);
    EXPECT_EQ(read_file("b.mov"), theirs);
}

// A process killed during a download leaves its cache file behind. The next start-up
// removes such files, but never one that a live process still writes: that one is held open.
TEST_F(KeptCopyTest, StartUpRemovesStaleCacheFilesButNotLiveOnes) {
    write_file("LX000001.mov", "left by a process that was killed");
    write_file("lx0000017.MOV", "another");
    write_file("clip.mov", "a kept copy");
    write_file("LX1.mov", "not a cache file's name");
    int ready[2], finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process, downloading into its cache file as the library does.
        close(ready[0]);
        close(finish[1]);
        std::string live = folders.temp_directory() + "LX000002.mov";
        HANDLE file = CreateFileA(live.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        (void)!::write(ready[1], file == INVALID_HANDLE_VALUE ? "n" : "y", 1);
        char byte;
        (void)!read(finish[0], &byte, 1);
        _exit(0);
    }
    close(ready[1]);
    close(finish[0]);
    char opened = 0;
    ASSERT_EQ(read(ready[0], &opened, 1), 1);
    ASSERT_EQ(opened, 'y');
    open_instance({{"SRC", kAddress}});
    EXPECT_THAT(cache_files(), ElementsAre("LX000002.mov", "LX1.mov", "clip.mov"));
    close(finish[1]);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    close(ready[0]);
}

} // namespace
