// CString: value semantics, buffer access, parts, searching, formatting and string
// resources.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework_test_ids.h"

namespace {

TEST(FrameworkString, ConstructionAndAssignment) {
    EXPECT_STREQ("", CString());
    EXPECT_STREQ("", CString(static_cast<LPCSTR>(nullptr)));
    EXPECT_STREQ("movie", CString("movie"));
    EXPECT_STREQ("xxx", CString('x', 3));
    EXPECT_STREQ("", CString('x', -1));
    EXPECT_STREQ("mov", CString("movie", 3));
    EXPECT_STREQ("ab", CString("ab", 10)) << "a count past the end stops at the end";

    CString a("first");
    CString b(a);
    b += "!";
    EXPECT_STREQ("first", a) << "copies must not share their text";
    EXPECT_STREQ("first!", b);
    CString c(std::move(b));
    EXPECT_STREQ("first!", c);
    a = "second";
    EXPECT_STREQ("second", a);
    a = 'z';
    EXPECT_STREQ("z", a);
    a = static_cast<LPCSTR>(nullptr);
    EXPECT_TRUE(a.IsEmpty());
}

TEST(FrameworkString, ConcatenationAndComparison) {
    CString base("Lanternix");
    EXPECT_STREQ("Lanternix Plugin", base + " Plugin");
    EXPECT_STREQ("The Lanternix", "The " + base);
    EXPECT_STREQ("Lanternix!", base + '!');
    EXPECT_STREQ("[Lanternix", '[' + base);
    EXPECT_STREQ("LanternixLanternix", base + base);

    EXPECT_TRUE(base == "Lanternix");
    EXPECT_TRUE("Lanternix" == base);
    EXPECT_TRUE(base != "lanternix");
    EXPECT_TRUE(base < CString("Lanterniy"));
    EXPECT_TRUE(CString("abc") < "abd");
    EXPECT_TRUE("abd" > CString("abc"));
    EXPECT_TRUE(CString("abc") <= "abc");
    EXPECT_TRUE(CString("abc") >= "abc");
    EXPECT_EQ(0, base.CompareNoCase("LANTERNIX"));
    EXPECT_GT(base.Compare(nullptr), 0) << "null compares as the empty text";
}

TEST(FrameworkString, LengthAndCharacters) {
    CString text("clip.mov");
    EXPECT_EQ(8, text.GetLength());
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_EQ('c', text[0]);
    EXPECT_EQ('v', text.GetAt(7));
    EXPECT_EQ('\0', text.GetAt(8));
    EXPECT_EQ('\0', text.GetAt(-1));
    text.SetAt(0, 'C');
    text.SetAt(99, 'x');
    EXPECT_STREQ("Clip.mov", text);
    text.MakeUpper();
    EXPECT_STREQ("CLIP.MOV", text);
    text.MakeLower();
    EXPECT_STREQ("clip.mov", text);
    text.Empty();
    EXPECT_EQ(0, text.GetLength());
    EXPECT_STREQ("", text);
}

TEST(FrameworkString, BufferAccess) {
    CString text("keep");
    char* buffer = text.GetBuffer(16);
    EXPECT_STREQ("keep", buffer) << "GetBuffer keeps the current text";
    strcpy(buffer, "written by C");
    text.ReleaseBuffer();
    EXPECT_EQ(12, text.GetLength());
    EXPECT_STREQ("written by C", text);

    buffer = text.GetBuffer(4);
    buffer[3] = '\0';
    text.ReleaseBuffer();
    EXPECT_STREQ("wri", text);

    buffer = text.GetBufferSetLength(5);
    memcpy(buffer, "abcde", 5);
    text.ReleaseBuffer(2);
    EXPECT_STREQ("ab", text);
    EXPECT_EQ(2, text.GetLength());
}

TEST(FrameworkString, PartsClampToTheText) {
    CString text("dir/sub/clip.mov");
    struct Case {
        const char* what;
        CString actual;
        const char* expected;
    };
    const Case cases[] = {
        {"Left(3)", text.Left(3), "dir"},
        {"Left(-1)", text.Left(-1), ""},
        {"Left(99)", text.Left(99), "dir/sub/clip.mov"},
        {"Mid(8)", text.Mid(8), "clip.mov"},
        {"Mid(4, 3)", text.Mid(4, 3), "sub"},
        {"Mid(-2, 3)", text.Mid(-2, 3), "dir"},
        {"Mid(14, 10)", text.Mid(14, 10), "ov"},
        {"Mid(99)", text.Mid(99), ""},
        {"Mid(3, -1)", text.Mid(3, -1), ""},
        {"Right(3)", text.Right(3), "mov"},
        {"Right(99)", text.Right(99), "dir/sub/clip.mov"},
        {"Right(0)", text.Right(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_STREQ(c.expected, c.actual);
    }
}

TEST(FrameworkString, FindAndReverseFind) {
    CString text("file:clip.mov.mov");
    EXPECT_EQ(4, text.Find(':'));
    EXPECT_EQ(9, text.Find('.'));
    EXPECT_EQ(13, text.Find('.', 10));
    EXPECT_EQ(-1, text.Find('/'));
    EXPECT_EQ(10, text.Find("mov"));
    EXPECT_EQ(14, text.Find("mov", 11));
    EXPECT_EQ(-1, text.Find("avi"));
    EXPECT_EQ(-1, text.Find(static_cast<LPCSTR>(nullptr)));
    EXPECT_EQ(-1, text.Find('f', 99));
    EXPECT_EQ(13, text.ReverseFind('.'));
    EXPECT_EQ(-1, text.ReverseFind('/'));
}

TEST(FrameworkString, Format) {
    CString text("old");
    text.Format("?%d,%d", 12, -3);
    EXPECT_STREQ("?12,-3", text);
    text.Format("%s=%u (%#x) %5.1f%%", "LoopCount", 3u, 255u, 12.25);
    EXPECT_STREQ("LoopCount=3 (0xff)  12.2%", text);
    text.Format("%s", std::string(5000, 'z').c_str());
    EXPECT_EQ(5000, text.GetLength()) << "formatting has no fixed length limit";
    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(FrameworkString, LoadStringOfAnyLength) {
    struct Case {
        UINT id;
        int length;
    };
    const Case cases[] = {{IDS_LENGTH_254, 254},
                          {IDS_LENGTH_255, 255},
                          {IDS_LENGTH_300, 300},
                          {IDS_LENGTH_4095, 4095}};
    const std::string pattern = "0123456789abcdef";
    for (const Case& c : cases) {
        SCOPED_TRACE("string " + std::to_string(c.id));
        CString text;
        EXPECT_TRUE(text.LoadString(c.id));
        ASSERT_EQ(c.length, text.GetLength())
            << "expected " << c.length << " characters, got " << text.GetLength();
        for (int i = 0; i < c.length; ++i) {
            if (text[i] != pattern[static_cast<size_t>(i) % 16]) {
                ADD_FAILURE() << "expected '" << pattern[static_cast<size_t>(i) % 16] << "' at "
                              << i << ", got '" << text[i] << "'";
                break;
            }
        }
    }
}

TEST(FrameworkString, LoadStringFindsTheProgramsStrings) {
    CString text("previous");
    EXPECT_TRUE(text.LoadString(IDS_ABOUT_URL));
    EXPECT_STREQ("http://lanternix.example/lanternix/plugins/about/", text);
    EXPECT_STREQ("the program's", CString(MAKEINTRESOURCEA(IDS_WHOSE)));

    text = "previous";
    EXPECT_FALSE(text.LoadString(IDS_MISSING));
    EXPECT_TRUE(text.IsEmpty()) << "a missing string leaves the empty text";
    // Only the fixture module has this one; the program's state does not look there.
    EXPECT_FALSE(text.LoadString(IDS_MODULE_ONLY));
}

} // namespace
