// Version information read from library files: GetFileVersionInfoSizeA, GetFileVersionInfoA,
// VerQueryValueA.
#include <windows.h>

#include "lxmod_test_support.h"
#include "resource/elf_section.h"
#include "resource/res_format.h"
#include "resource/version_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using lxtest::module_path;

namespace {

std::vector<uint8_t> version_block(const std::string& path) {
    DWORD handle = 0xdead;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<uint8_t> block(size);
    if (size) {
        EXPECT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    }
    return block;
}

std::string query_string(const std::vector<uint8_t>& block, const char* path, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueA(block.data(), path, &value, length)) return "(missing)";
    return static_cast<const char*>(value);
}

TEST(ResourceVersion, ReadsTheFixedInformation) {
    std::vector<uint8_t> block = version_block(LXTEST_RES_MODULE);
    ASSERT_FALSE(block.empty()) << "error " << GetLastError();
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileFlagsMask, DWORD(VS_FFI_FILEFLAGSMASK));
    EXPECT_EQ(fixed.dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed.dwFileType, DWORD(VFT_DLL));

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "one language and code page pair";
    WORD pair[2];
    std::memcpy(pair, value, sizeof pair);
    EXPECT_EQ(pair[0], 0x0409);
    EXPECT_EQ(pair[1], 1252);
}

TEST(ResourceVersion, ReadsStringsInTheAnsiCodePage) {
    std::vector<uint8_t> block = version_block(LXTEST_RES_MODULE);
    ASSERT_FALSE(block.empty());
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"\\StringFileInfo\\040904e4\\MIMEType",
         "video/x-lanternix-test|application/x-lanternix-test"},
        {"\\StringFileInfo\\040904e4\\FileExtents", "lxt|lxu"},
        {"\\StringFileInfo\\040904e4\\FileDescription", "Lanternix module test library"},
        {"\\StringFileInfo\\040904e4\\Comments", "Cr\xe8me"},
        {"\\stringfileinfo\\040904E4\\mimetype",
         "video/x-lanternix-test|application/x-lanternix-test"},
        {"StringFileInfo\\040904e4\\FileExtents", "lxt|lxu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        UINT length = 0;
        EXPECT_EQ(query_string(block, c.path, &length), c.expected);
        EXPECT_EQ(length, std::strlen(c.expected) + 1) << "characters, with the terminating zero";
    }
}

TEST(ResourceVersion, ReportsMissingValues) {
    std::vector<uint8_t> block = version_block(LXTEST_RES_MODULE);
    ASSERT_FALSE(block.empty());
    const char* missing[] = {"\\StringFileInfo\\040904e4\\NoSuchKey",
                             "\\StringFileInfo\\040704b0\\MIMEType", "\\NoBlock",
                             "\\StringFileInfo\\040904e4\\MIMEType\\Deeper",
                             "\\StringFileInfo\\040904e4\\MIME"};
    for (const char* path : missing) {
        SCOPED_TRACE(path);
        void* value = reinterpret_cast<void*>(1);
        UINT length = 7;
        SetLastError(0);
        EXPECT_FALSE(VerQueryValueA(block.data(), path, &value, &length));
        EXPECT_EQ(value, nullptr);
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
    }
    void* value = nullptr;
    UINT length = 0;
    SetLastError(0);
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &value, &length));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(VerQueryValueA(block.data(), nullptr, &value, &length));
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\", nullptr, &length));
}

TEST(ResourceVersion, FindsFilesAsLoadLibraryDoesWithoutLoadingThem) {
    const DWORD size = GetFileVersionInfoSizeA(LXTEST_RES_MODULE, nullptr);
    ASSERT_NE(size, 0u);
    lxtest::ScopedLibraryPath path(lxtest::module_dir());
    const std::string backslashed = lxtest::with_backslashes(LXTEST_RES_MODULE);
    const char* names[] = {"lxmod_res.dll", "LXMOD_RES.DLL", backslashed.c_str()};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetFileVersionInfoSizeA(name, nullptr), size);
    }
    EXPECT_EQ(GetModuleHandleA("lxmod_res.dll"), nullptr)
        << "reading version information loaded the library";
}

TEST(ResourceVersion, ReportsFilesWithoutVersionInformation) {
    struct Case {
        std::string path;
        DWORD error;
    } cases[] = {
        {module_path("lxmod_missing.so"), ERROR_FILE_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
        {module_path("lxmod_broken.so"), ERROR_BAD_FORMAT},
        {module_path("lxmod_plain.so"), ERROR_RESOURCE_DATA_NOT_FOUND},
        {module_path("lxmod_noversion.so"), ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DWORD handle = 0xdead;
        SetLastError(0);
        EXPECT_EQ(GetFileVersionInfoSizeA(c.path.c_str(), &handle), 0u);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
        EXPECT_EQ(handle, 0u);
        char buffer[64];
        SetLastError(0);
        EXPECT_FALSE(GetFileVersionInfoA(c.path.c_str(), 0, sizeof buffer, buffer));
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST(ResourceVersion, SmallBuffersGetACutBlock) {
    const DWORD size = GetFileVersionInfoSizeA(LXTEST_RES_MODULE, nullptr);
    ASSERT_GT(size, 100u);
    struct Case {
        DWORD length;
        bool has_comments; // the string value lies well inside the block
    } cases[] = {{4, false}, {20, false}, {40, false}, {80, false}, {size - 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::vector<uint8_t> block(c.length); // exact size: reading past it is caught
        ASSERT_TRUE(GetFileVersionInfoA(LXTEST_RES_MODULE, 0, c.length, block.data()));
        UINT length = 0;
        EXPECT_EQ(query_string(block, "\\StringFileInfo\\040904e4\\Comments", &length),
                  c.has_comments ? "Cr\xe8me" : "(missing)");
        void* value = nullptr;
        if (VerQueryValueA(block.data(), "\\", &value, &length)) {
            EXPECT_LE(static_cast<const uint8_t*>(value) + length, block.data() + c.length)
                << "a value reaches past the cut block";
        }
    }
    std::vector<uint8_t> tiny(3);
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoA(LXTEST_RES_MODULE, 0, 3, tiny.data()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoA(LXTEST_RES_MODULE, 0, size, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// The module's version resource, read straight from its file.
std::vector<uint8_t> raw_version_resource() {
    winapi::resource::ElfSection section;
    EXPECT_EQ(winapi::resource::find_elf_section(LXTEST_RES_MODULE, ".lxrsrc", &section),
              winapi::resource::ElfLookup::Found);
    auto bytes = winapi::resource::read_file_range(LXTEST_RES_MODULE, section.offset, section.size);
    if (!bytes) return {};
    for (const auto& entry : winapi::resource::parse_res(bytes->data(), bytes->size()).entries) {
        if (entry.type == winapi::resource::ResName::from_id(16))
            return std::vector<uint8_t>(entry.data, entry.data + entry.size);
    }
    return {};
}

TEST(ResourceVersionParser, DamagedResourcesAreReadSafely) {
    std::vector<uint8_t> full = raw_version_resource();
    ASSERT_GT(full.size(), 100u);
    ASSERT_TRUE(winapi::resource::ansi_version_block(full.data(), full.size()).has_value());
    for (size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
        // The root's length is larger than what is left, so the tree is refused.
        EXPECT_FALSE(winapi::resource::ansi_version_block(cut.data(), cut.size()).has_value());
    }
    // Lengths that point outside their parents: children are dropped, never followed out.
    for (size_t offset = 0; offset + 1 < full.size(); offset += 2) {
        std::vector<uint8_t> bad = full;
        bad[offset] = 0xff;
        bad[offset + 1] = 0xff;
        std::optional<std::vector<uint8_t>> block =
            winapi::resource::ansi_version_block(bad.data(), bad.size());
        if (!block) continue;
        const uint8_t* value = nullptr;
        unsigned length = 0;
        if (winapi::resource::query_version_block(
                block->data(), "\\StringFileInfo\\040904e4\\MIMEType", &value, &length)) {
            EXPECT_LE(value + length, block->data() + block->size());
        }
    }
}

} // namespace
