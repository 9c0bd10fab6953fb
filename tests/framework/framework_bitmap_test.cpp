// CGdiObject and CBitmap: loading the poster bitmap from the resources, reading its size,
// and who deletes the GDI object.
#include <afxwin.h>

#include <gtest/gtest.h>

#include "framework_test_ids.h"

namespace {

TEST(FrameworkBitmap, LoadBitmapAndReadItsSize) {
    CBitmap picture;
    EXPECT_EQ(nullptr, picture.m_hObject);
    ASSERT_TRUE(picture.LoadBitmap(IDB_POSTER));
    ASSERT_NE(nullptr, static_cast<HBITMAP>(picture));
    BITMAP info = {};
    EXPECT_EQ(static_cast<int>(sizeof(BITMAP)), picture.GetBitmap(&info));
    EXPECT_EQ(POSTER_WIDTH, info.bmWidth);
    EXPECT_EQ(POSTER_HEIGHT, info.bmHeight);
    EXPECT_NE(0, info.bmBitsPixel);

    EXPECT_FALSE(picture.LoadBitmap(IDB_POSTER)) << "already holds a bitmap";
    HGDIOBJ handle = picture.m_hObject;
    EXPECT_TRUE(picture.DeleteObject());
    EXPECT_EQ(0u, GetObjectType(handle)) << "DeleteObject deletes the GDI object";
    EXPECT_EQ(nullptr, picture.m_hObject);
    EXPECT_FALSE(picture.DeleteObject());
    EXPECT_EQ(0, picture.GetBitmap(&info));
}

TEST(FrameworkBitmap, MissingBitmapLeavesTheObjectEmpty) {
    CBitmap picture;
    EXPECT_FALSE(picture.LoadBitmap(31000u));
    EXPECT_FALSE(picture.LoadBitmap("NO_SUCH_BITMAP"));
    EXPECT_EQ(nullptr, picture.m_hObject);
}

TEST(FrameworkBitmap, DestructorDeletesOnlyWhatItHolds) {
    HGDIOBJ handle = nullptr;
    {
        CBitmap picture;
        ASSERT_TRUE(picture.LoadBitmap(IDB_POSTER));
        handle = picture.m_hObject;
    }
    EXPECT_EQ(0u, GetObjectType(handle));

    HGDIOBJ kept = nullptr;
    {
        CBitmap picture;
        ASSERT_TRUE(picture.LoadBitmap(IDB_POSTER));
        kept = picture.Detach();
        EXPECT_EQ(nullptr, picture.m_hObject);
    }
    EXPECT_NE(0u, GetObjectType(kept)) << "a detached bitmap survives the object";
    {
        CBitmap picture;
        EXPECT_FALSE(picture.Attach(nullptr));
        EXPECT_TRUE(picture.Attach(kept));
        EXPECT_FALSE(picture.Attach(kept)) << "an object holds one handle at a time";
    }
    EXPECT_EQ(0u, GetObjectType(kept));
}

TEST(FrameworkBitmap, FromHandle) {
    EXPECT_EQ(nullptr, CBitmap::FromHandle(nullptr));
    CBitmap holder;
    ASSERT_TRUE(holder.LoadBitmap(IDB_POSTER));
    EXPECT_EQ(&holder, CBitmap::FromHandle(holder));
    EXPECT_EQ(&holder, CGdiObject::FromHandle(holder.m_hObject));

    HBITMAP loose = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_POSTER));
    ASSERT_NE(nullptr, loose);
    CBitmap* temporary = CBitmap::FromHandle(loose);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(temporary, CBitmap::FromHandle(loose));
    BITMAP info = {};
    EXPECT_NE(0, temporary->GetBitmap(&info));
    EXPECT_EQ(POSTER_WIDTH, info.bmWidth);
    DeleteObject(loose);
    // The next lookup reclaims the temporary object of the deleted bitmap.
    EXPECT_EQ(&holder, CBitmap::FromHandle(holder));
}

} // namespace
