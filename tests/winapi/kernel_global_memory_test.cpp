// Conformance tests of global memory: GlobalAlloc, GlobalLock, GlobalUnlock, GlobalSize and
// GlobalFree, for fixed and moveable blocks and for handles that are not blocks.

#include "kernel_test_support.h"

#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

using kernel_test::error_of;
using kernel_test::untouched;

namespace {

TEST(KernelGlobalMemory, MoveableBlockKeepsALockCount) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 16);
    ASSERT_NE(block, nullptr);
    void* first = GlobalLock(block);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, static_cast<void*>(block)) << "a moveable handle is not the address";
    std::memcpy(first, "clipboard text", 15);
    EXPECT_EQ(GlobalLock(block), first) << "a second lock gives the same address";
    // Two locks: the first unlock leaves it locked, the second unlocks with NO_ERROR, a
    // third finds it unlocked already.
    struct Step {
        BOOL result;
        DWORD error;
    };
    const Step steps[] = {{TRUE, untouched}, {FALSE, NO_ERROR}, {FALSE, ERROR_NOT_LOCKED}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(testing::Message() << "unlock " << i + 1);
        BOOL result = -1;
        EXPECT_EQ(error_of([&] { result = GlobalUnlock(block); }), steps[i].error);
        EXPECT_EQ(result, steps[i].result);
    }
    char* again = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again, "clipboard text") << "the contents did not survive unlocking";
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(KernelGlobalMemory, FixedBlockHandleIsTheAddress) {
    HGLOBAL block = GlobalAlloc(GPTR, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalLock(block), static_cast<void*>(block));
    const char* bytes = static_cast<const char*>(block);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bytes[i], 0) << "GPTR memory at " << i;
    EXPECT_TRUE(GlobalUnlock(block)) << "unlocking a fixed block has no effect and succeeds";
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_EQ(GlobalSize(block), 8u);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(KernelGlobalMemory, ZeroInitAndSize) {
    const UINT flags[] = {GMEM_FIXED, GMEM_MOVEABLE, GHND, GPTR};
    for (UINT f : flags) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << f);
        HGLOBAL block = GlobalAlloc(f, 1000);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(GlobalSize(block), 1000u);
        auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
        ASSERT_NE(bytes, nullptr);
        if (f & GMEM_ZEROINIT) {
            int nonzero = 0;
            for (int i = 0; i < 1000; ++i)
                nonzero += bytes[i] != 0;
            EXPECT_EQ(nonzero, 0) << "zero-initialised memory has nonzero bytes";
        }
        std::memset(bytes, 0xa5, 1000); // the whole size is usable
        GlobalUnlock(block);
        EXPECT_EQ(GlobalFree(block), nullptr);
    }
}

TEST(KernelGlobalMemory, EmptyMoveableBlockCannotBeLocked) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(GlobalLock(block), nullptr); }), DWORD(ERROR_DISCARDED));
    EXPECT_EQ(GlobalFree(block), nullptr);
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 0);
    ASSERT_NE(fixed, nullptr) << "a fixed block of size 0 still has an address";
    EXPECT_EQ(GlobalSize(fixed), 0u);
    EXPECT_EQ(GlobalFree(fixed), nullptr);
}

TEST(KernelGlobalMemory, FreedAndForeignHandlesAreRefused) {
    HGLOBAL freed_moveable = GlobalAlloc(GHND, 4);
    HGLOBAL freed_fixed = GlobalAlloc(GPTR, 4);
    ASSERT_EQ(GlobalFree(freed_moveable), nullptr);
    ASSERT_EQ(GlobalFree(freed_fixed), nullptr);
    int on_stack = 0;
    HGLOBAL live = GlobalAlloc(GHND, 4);
    struct Case {
        const char* label;
        HGLOBAL handle;
    };
    const Case cases[] = {
        {"freed moveable", freed_moveable},
        {"freed fixed", freed_fixed},
        {"small number", reinterpret_cast<HGLOBAL>(uintptr_t{1})},
        {"stack address", &on_stack},
        {"inside a live block", static_cast<char*>(GlobalLock(live)) + 1},
        {"near a live handle",
         reinterpret_cast<HGLOBAL>(reinterpret_cast<uintptr_t>(live) + 0x1000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(error_of([&] { EXPECT_EQ(GlobalLock(c.handle), nullptr); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_FALSE(GlobalUnlock(c.handle)); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(GlobalSize(c.handle), 0u); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(GlobalFree(c.handle), c.handle); }),
                  DWORD(ERROR_INVALID_HANDLE))
            << "a failed free returns the handle";
    }
    EXPECT_EQ(on_stack, 0);
    EXPECT_EQ(GlobalSize(live), 4u) << "the bad handles disturbed a live block";
    GlobalUnlock(live);
    GlobalFree(live);
}

TEST(KernelGlobalMemory, NullHandle) {
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    EXPECT_EQ(error_of([] { EXPECT_EQ(GlobalLock(nullptr), nullptr); }),
              DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(error_of([] { EXPECT_EQ(GlobalSize(nullptr), 0u); }), DWORD(ERROR_INVALID_HANDLE));
}

TEST(KernelGlobalMemory, LockedBlockCanBeFreed) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 32);
    ASSERT_NE(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
}

TEST(KernelGlobalMemory, UnknownFlagsAreRefused) {
    EXPECT_EQ(error_of([] { EXPECT_EQ(GlobalAlloc(0x8000, 4), nullptr); }),
              DWORD(ERROR_INVALID_PARAMETER));
}

} // namespace
