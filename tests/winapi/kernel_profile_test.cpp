// Conformance tests of the private-profile functions: GetPrivateProfileStringA,
// GetPrivateProfileIntA and WritePrivateProfileStringA on INI files.

#include "kernel_test_support.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

using kernel_test::exists;
using kernel_test::read_file;
using kernel_test::ScopedEnv;
using kernel_test::ScratchDir;
using kernel_test::write_file;

using kernel_test::error_of;
using kernel_test::untouched;

namespace {

// The value of a key as GetPrivateProfileStringA returns it, with the returned length
// checked against the string.
std::string get(const char* section, const char* key, const char* fallback,
                const std::string& file) {
    char buffer[256];
    DWORD length =
        GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(length, std::strlen(buffer)) << "the result is not the length of the string";
    return std::string(buffer, length);
}

// A nul-separated list as GetPrivateProfileStringA returns it, split into its names.
std::vector<std::string> get_list(const char* section, const std::string& file) {
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    DWORD length =
        GetPrivateProfileStringA(section, nullptr, "unused", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(buffer[length], '\0') << "the list is not ended by a second nul";
    std::vector<std::string> names;
    for (DWORD i = 0; i < length; i += static_cast<DWORD>(names.back().size()) + 1)
        names.emplace_back(buffer + i);
    return names;
}

TEST(KernelProfile, WriteThenRead) {
    ScratchDir dir;
    std::string file = dir.win_path("prefs.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("Lanternix Plugin", "LoopCount", "3", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Lanternix Plugin", "CacheDirectory", "C:\\TEMP\\",
                                           file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "Key", "v", file.c_str()));
    EXPECT_EQ(read_file(dir.path("prefs.ini")),
              "[Lanternix Plugin]\r\nLoopCount=3\r\nCacheDirectory=C:\\TEMP\\\r\n"
              "\r\n[Other]\r\nKey=v\r\n");
    EXPECT_EQ(get("Lanternix Plugin", "CacheDirectory", "", file), "C:\\TEMP\\");
    EXPECT_EQ(GetPrivateProfileIntA("Lanternix Plugin", "LoopCount", 9, file.c_str()), 3u);
    ASSERT_TRUE(WritePrivateProfileStringA("Lanternix Plugin", "LoopCount", "12", file.c_str()));
    EXPECT_EQ(get("Lanternix Plugin", "LoopCount", "", file), "12");
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"prefs.ini"})
        << "a rewrite left a temporary file behind";
}

TEST(KernelProfile, NamesIgnoreCase) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, "[Lanternix Plugin]\nAutoPlay=1\n");
    EXPECT_EQ(get("LANTERNIX PLUGIN", "autoplay", "d", file), "1");
    EXPECT_EQ(get("lanternix plugin", "AUTOPLAY", "d", file), "1");
    ASSERT_TRUE(WritePrivateProfileStringA("lanternix PLUGIN", "AUTOPLAY", "0", file.c_str()));
    EXPECT_EQ(read_file(file), "[Lanternix Plugin]\nAutoPlay=0\n")
        << "the key is rewritten in place, spelt as in the file";
}

TEST(KernelProfile, DefaultsWhenMissing) {
    ScratchDir dir;
    std::string missing = dir.path("missing.ini");
    SetLastError(untouched);
    EXPECT_EQ(get("S", "k", "fallback", missing), "fallback");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(get("S", "k", "trailing  \t ", missing), "trailing")
        << "trailing blanks of the default are cut";
    EXPECT_EQ(get("S", "k", "  leading", missing), "  leading");
    EXPECT_EQ(get("S", "k", nullptr, missing), "");
    EXPECT_EQ(GetPrivateProfileIntA("S", "k", 77, missing.c_str()), 77u);
    std::string file = dir.path("p.ini");
    write_file(file, "[S]\nk=v\n");
    EXPECT_EQ(get("S", "other", "dflt", file), "dflt") << "missing key";
    EXPECT_EQ(get("T", "k", "dflt", file), "dflt") << "missing section";
    EXPECT_FALSE(exists(missing)) << "reading created the file";
}

TEST(KernelProfile, ValuesAreKeptAsWritten) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    struct Case {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"k=plain", "plain"},
        {"k =  spaced out  ", "spaced out"},
        {"\tk\t=\tx y\t", "x y"},
        {"k=a=b=c", "a=b=c"},
        {"k=\" quoted \"", " quoted "},
        {"k=' single '", " single "},
        {"k=\"unbalanced", "\"unbalanced"},
        {"k=\"", "\""},
        {"k=", ""},
        {"k=; not a comment", "; not a comment"},
        {"k=C:\\Program Files\\Play32.exe", "C:\\Program Files\\Play32.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        write_file(file, std::string("[S]\r\n") + c.line + "\r\n");
        EXPECT_EQ(get("S", "k", "default", file), c.value);
    }
}

TEST(KernelProfile, WrittenValuesComeBackUnchanged) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    for (const char* value : {"with spaces inside", "x=y", "C:\\dir\\file.exe", "", "a;b"}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(WritePrivateProfileStringA("S", "k", value, file.c_str()));
        EXPECT_EQ(get("S", "k", "default", file), value);
    }
}

// The file every editing test starts from: comments, blank lines and malformed lines
// around two sections.
const std::string kMixed = "; leading comment\r\n"
                           "orphan=before any section\r\n"
                           "[First]\r\n"
                           "a=1\r\n"
                           "no equals sign here\r\n"
                           "; commented=out\r\n"
                           "b = 2\r\n"
                           "\r\n"
                           "[broken header\r\n"
                           "[Second]\r\n"
                           "c=3\r\n";

TEST(KernelProfile, MalformedLinesAreToleratedAndKept) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, kMixed);
    EXPECT_EQ(get("First", "b", "", file), "2");
    EXPECT_EQ(get("First", "no equals sign here", "dflt", file), "dflt");
    EXPECT_EQ(get("First", "; commented", "dflt", file), "dflt") << "a comment is no entry";
    EXPECT_EQ(get("Second", "c", "", file), "3");
    EXPECT_EQ(get("First", "orphan", "dflt", file), "dflt") << "lines before any section";
    EXPECT_EQ(get("broken header", "c", "dflt", file), "dflt");
    ASSERT_TRUE(WritePrivateProfileStringA("First", "a", "one", file.c_str()));
    std::string expected = kMixed;
    expected.replace(expected.find("a=1"), 3, "a=one");
    EXPECT_EQ(read_file(file), expected);
}

TEST(KernelProfile, NewKeyGoesAfterTheSectionsLastEntry) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, kMixed);
    ASSERT_TRUE(WritePrivateProfileStringA("First", "new", "n", file.c_str()));
    std::string expected = kMixed;
    expected.insert(expected.find("\r\n[broken"), "new=n\r\n");
    EXPECT_EQ(read_file(file), expected);
}

TEST(KernelProfile, DeletingAKeyKeepsOtherLines) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, kMixed);
    ASSERT_TRUE(WritePrivateProfileStringA("first", "B", nullptr, file.c_str()));
    std::string expected = kMixed;
    expected.erase(expected.find("b = 2\r\n"), 7);
    EXPECT_EQ(read_file(file), expected);
    EXPECT_EQ(get("First", "b", "gone", file), "gone");
    EXPECT_TRUE(WritePrivateProfileStringA("First", "b", nullptr, file.c_str()))
        << "deleting a missing key succeeds";
    EXPECT_EQ(read_file(file), expected);
}

TEST(KernelProfile, DeletingASectionKeepsOtherLines) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, kMixed);
    ASSERT_TRUE(WritePrivateProfileStringA("FIRST", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(read_file(file), "; leading comment\r\n"
                               "orphan=before any section\r\n"
                               "[Second]\r\n"
                               "c=3\r\n");
    EXPECT_EQ(get("First", "a", "gone", file), "gone");
    EXPECT_EQ(get("Second", "c", "", file), "3");
}

TEST(KernelProfile, DeletingFromAMissingFileCreatesNothing) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, file.c_str()));
    EXPECT_FALSE(exists(file));
}

TEST(KernelProfile, LineEndingsOfTheFileAreKept) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, "[S]\nk=v"); // no line ending at the end of the file
    ASSERT_TRUE(WritePrivateProfileStringA("S", "n", "w", file.c_str()));
    EXPECT_EQ(read_file(file), "[S]\nk=v\nn=w\n");
    ASSERT_TRUE(WritePrivateProfileStringA("T", "x", "y", file.c_str()));
    EXPECT_EQ(read_file(file), "[S]\nk=v\nn=w\n\n[T]\nx=y\n");
}

TEST(KernelProfile, EnumeratesSectionsAndKeys) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, kMixed + "[first]\r\nd=4\r\n");
    EXPECT_EQ(get_list(nullptr, file), (std::vector<std::string>{"First", "Second"}))
        << "a repeated section is listed once";
    EXPECT_EQ(get_list("first", file), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(get_list("Second", file), std::vector<std::string>{"c"});
    EXPECT_EQ(get_list("Missing", file), std::vector<std::string>{});
    EXPECT_EQ(get_list(nullptr, dir.path("missing.ini")), std::vector<std::string>{});
}

TEST(KernelProfile, ListsReturnTheirFullLength) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, "[S]\nalpha=1\nbeta=2\n");
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    // "alpha\0beta\0" and the closing nul: 12 bytes, of which 11 are counted.
    EXPECT_EQ(GetPrivateProfileStringA("S", nullptr, "", buffer, 12, file.c_str()), 11u);
    EXPECT_EQ(std::string(buffer, 12), std::string("alpha\0beta\0\0", 12));
}

TEST(KernelProfile, TruncationResults) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    write_file(file, "[S]\nalpha=1\nbeta=2\n[T]\nvalue=0123456789\n");
    struct Case {
        const char* label;
        const char* section;
        const char* key;
        DWORD size;
        DWORD result;
        std::string bytes; // the buffer's first `size` bytes afterwards
    };
    const Case cases[] = {
        {"value cut", "T", "value", 5, 4, std::string("0123\0", 5)},
        {"value exactly fits", "T", "value", 11, 10, std::string("0123456789\0", 11)},
        {"value, one byte", "T", "value", 1, 0, std::string("\0", 1)},
        {"default cut", "T", "none", 4, 3, std::string("dfl\0", 4)},
        {"keys cut", "S", nullptr, 8, 6, std::string("alpha\0\0\0", 8)},
        {"keys cut in a name", "S", nullptr, 10, 8, std::string("alpha\0be\0\0", 10)},
        {"keys one short", "S", nullptr, 11, 9, std::string("alpha\0bet\0\0", 11)},
        {"sections cut", nullptr, nullptr, 3, 1, std::string("S\0\0", 3)},
        {"sections, two bytes", nullptr, nullptr, 2, 0, std::string("\0\0", 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetPrivateProfileStringA(c.section, c.key, "dflt", buffer, c.size, file.c_str()),
                  c.result);
        EXPECT_EQ(std::string(buffer, c.size), c.bytes);
        EXPECT_EQ(buffer[c.size], '#') << "written past the buffer's size";
    }
}

TEST(KernelProfile, BadArgumentsDoNotCrash) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    char buffer[8] = "#######";
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", nullptr, 8, file.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", buffer, 0, file.c_str()), 0u);
    EXPECT_EQ(buffer[0], '#') << "a buffer of size 0 was written to";
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", buffer, 8, nullptr), 0u);
    SetLastError(untouched);
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", file.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", nullptr));
    EXPECT_EQ(GetPrivateProfileIntA("S", nullptr, 5, file.c_str()), 5u);
    EXPECT_FALSE(exists(file));
}

TEST(KernelProfile, IntegerValues) {
    ScratchDir dir;
    std::string file = dir.path("p.ini");
    struct Case {
        const char* value;
        UINT expected;
    };
    const Case cases[] = {
        {"12abc", 12}, {"-5", static_cast<UINT>(-5)},
        {"", 42},      {"x", 0},
        {"+7", 7},     {"  19  ", 19},
        {"\"8\"", 8},  {"4294967295", 4294967295u},
        {"-", 0},      {"0012", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value \"" << c.value << "\"");
        write_file(file, std::string("[S]\nn=") + c.value + "\n");
        EXPECT_EQ(GetPrivateProfileIntA("S", "n", 42, file.c_str()), c.expected);
    }
    EXPECT_EQ(GetPrivateProfileIntA("S", "missing", -1, file.c_str()), static_cast<UINT>(-1));
}

TEST(KernelProfile, BareFileNameLivesInTheWindowsDirectory) {
    ScratchDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.path());
    ASSERT_TRUE(WritePrivateProfileStringA("Lanternix Plugin", "Flags", "5", "NPLant32.INI"));
    EXPECT_EQ(read_file(dir.path("lanternix/NPLant32.INI")), "[Lanternix Plugin]\r\nFlags=5\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("Lanternix Plugin", "Flags", 0, "NPLant32.INI"), 5u);
}

TEST(KernelProfile, WriteFailures) {
    ScratchDir dir;
    SetLastError(untouched);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", dir.path("no/p.ini").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    std::string file = dir.path("ro.ini");
    write_file(file, "[S]\r\nk=v\r\n");
    ::chmod(file.c_str(), 0444);
    SetLastError(untouched);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "w", file.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read_file(file), "[S]\r\nk=v\r\n");
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"ro.ini"});
}

TEST(KernelProfile, RewriteKeepsPermissionsAndLinks) {
    ScratchDir dir;
    std::string real = dir.path("real.ini");
    std::string link = dir.path("link.ini");
    write_file(real, "[S]\nk=v\n");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "w", link.c_str()));
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(read_file(real), "[S]\nk=w\n");
}

} // namespace
