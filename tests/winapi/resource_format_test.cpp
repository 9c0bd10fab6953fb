// The .res parser and the resource section lookup, on built and on damaged data.
#include "resource/ansi_text.h"
#include "resource/elf_section.h"
#include "resource/res_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using winapi::resource::parse_res;
using winapi::resource::ResEntry;
using winapi::resource::ResName;
using winapi::resource::ResParse;

namespace {

// Writes .res data: the empty marker entry first, then the entries added.
class ResBuilder {
  public:
    ResBuilder() { add(ResName::from_id(0), ResName::from_id(0), 0, ""); }

    ResBuilder& add(const ResName& type, const ResName& name, uint16_t language,
                    const std::string& data) {
        std::vector<uint8_t> header;
        put_name(header, type);
        put_name(header, name);
        while (header.size() % 4)
            header.push_back(0);
        put32(header, 0);      // data version
        put16(header, 0x1030); // memory flags
        put16(header, language);
        put32(header, 0); // version
        put32(header, 0); // characteristics
        put32(m_bytes, static_cast<uint32_t>(data.size()));
        put32(m_bytes, static_cast<uint32_t>(header.size() + 8));
        m_bytes.insert(m_bytes.end(), header.begin(), header.end());
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        return *this;
    }
    std::vector<uint8_t> bytes() const { return m_bytes; }

  private:
    static void put16(std::vector<uint8_t>& out, unsigned v) {
        out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
    static void put32(std::vector<uint8_t>& out, uint32_t v) {
        put16(out, v & 0xffff);
        put16(out, v >> 16);
    }
    static void put_name(std::vector<uint8_t>& out, const ResName& name) {
        if (name.is_id) {
            put16(out, 0xffff);
            put16(out, name.id);
            return;
        }
        for (char16_t c : name.text)
            put16(out, c);
        put16(out, 0);
    }
    std::vector<uint8_t> m_bytes;
};

ResName text(const char* value) {
    return ResName::from_text(winapi::resource::utf16_from_ansi(value));
}

std::string data_of(const ResEntry& entry) {
    return std::string(reinterpret_cast<const char*>(entry.data), entry.size);
}

TEST(ResourceFormat, ParsesEntriesOfEveryNameKind) {
    std::vector<uint8_t> bytes =
        ResBuilder()
            .add(ResName::from_id(6), ResName::from_id(251), 0x409, "strings")
            .add(text("LxData"), text("Greeting"), 0x407, "odd")
            .add(ResName::from_id(10), text("x"), 0, "")
            .bytes();
    ResParse parsed = parse_res(bytes.data(), bytes.size());
    EXPECT_TRUE(parsed.complete);
    ASSERT_EQ(parsed.entries.size(), 3u) << "the empty marker entry is not a resource";
    EXPECT_EQ(parsed.entries[0].type, ResName::from_id(6));
    EXPECT_EQ(parsed.entries[0].name, ResName::from_id(251));
    EXPECT_EQ(parsed.entries[0].language, 0x409);
    EXPECT_EQ(data_of(parsed.entries[0]), "strings");
    // String names are kept in upper case, so lookups ignore case.
    EXPECT_EQ(parsed.entries[1].type, text("LXDATA"));
    EXPECT_EQ(parsed.entries[1].name, text("greeting"));
    EXPECT_EQ(parsed.entries[1].language, 0x407);
    EXPECT_EQ(data_of(parsed.entries[1]), "odd");
    EXPECT_EQ(parsed.entries[2].size, 0u);
}

TEST(ResourceFormat, RefusesImpossibleHeaders) {
    std::vector<uint8_t> good =
        ResBuilder().add(ResName::from_id(10), ResName::from_id(1), 0, "abcd").bytes();
    const size_t entry = 32; // the second entry starts after the 32-byte marker
    struct Case {
        const char* name;
        size_t offset;
        std::vector<uint8_t> value;
    } cases[] = {
        {"header smaller than its fixed part", entry + 4, {16, 0, 0, 0}},
        {"header beyond the data", entry + 4, {0xff, 0xff, 0, 0}},
        {"data size beyond the end", entry, {0xff, 0xff, 0xff, 0xff}},
        {"type name without its end", entry + 8, {'A', 0, 'B', 0, 'C', 0, 'D', 0, 'E', 0, 'F', 0,
                                                  'G', 0, 'H', 0, 'I', 0, 'J', 0, 'K', 0, 'L', 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bad = good;
        std::copy(c.value.begin(), c.value.end(), bad.begin() + static_cast<long>(c.offset));
        ResParse parsed = parse_res(bad.data(), bad.size());
        EXPECT_FALSE(parsed.complete);
        EXPECT_TRUE(parsed.entries.empty());
    }
}

// The compiled resources of the test module, read from its file.
std::vector<uint8_t> module_resources() {
    winapi::resource::ElfSection section;
    if (winapi::resource::find_elf_section(LXTEST_RES_MODULE, ".lxrsrc", &section) !=
        winapi::resource::ElfLookup::Found)
        return {};
    return winapi::resource::read_file_range(LXTEST_RES_MODULE, section.offset, section.size)
        .value_or(std::vector<uint8_t>());
}

TEST(ResourceFormat, TruncatedDataGivesAPrefixOfTheEntries) {
    std::vector<uint8_t> full = module_resources();
    ASSERT_FALSE(full.empty());
    ResParse whole = parse_res(full.data(), full.size());
    ASSERT_TRUE(whole.complete);
    ASSERT_GE(whole.entries.size(), 15u);
    for (size_t size = 0; size < full.size(); ++size) {
        // An exact-size copy, so that any read past the end is caught by the sanitizer.
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
        ResParse parsed = parse_res(cut.data(), cut.size());
        ASSERT_LE(parsed.entries.size(), whole.entries.size()) << "at size " << size;
        for (size_t i = 0; i < parsed.entries.size(); ++i) {
            const ResEntry& got = parsed.entries[i];
            const ResEntry& expected = whole.entries[i];
            ASSERT_TRUE(got.type == expected.type && got.name == expected.name &&
                        got.size == expected.size &&
                        got.data - cut.data() == expected.data - full.data())
                << "at size " << size << ", entry " << i << " differs from the whole parse";
            ASSERT_LE(got.data + got.size, cut.data() + cut.size());
        }
    }
}

TEST(ResourceFormat, SectionLookupRefusesOtherFiles) {
    winapi::resource::ElfSection section;
    using winapi::resource::ElfLookup;
    using winapi::resource::find_elf_section;
    EXPECT_EQ(find_elf_section(LXTEST_MODULE_DIR "/lxmod_missing.so", ".lxrsrc", &section),
              ElfLookup::NoFile);
    EXPECT_EQ(find_elf_section(LXTEST_MODULE_DIR "/lxmod_broken.so", ".lxrsrc", &section),
              ElfLookup::NotElf);
    EXPECT_EQ(find_elf_section(LXTEST_MODULE_DIR "/lxmod_plain.so", ".lxrsrc", &section),
              ElfLookup::NoSection);
    ASSERT_EQ(find_elf_section(LXTEST_RES_MODULE, ".lxrsrc", &section), ElfLookup::Found);
    EXPECT_NE(section.address, 0u) << "the section must be loaded with the module";
    EXPECT_EQ(section.address % 4, 0u) << "resource data is DWORD aligned";
}

TEST(ResourceAnsiText, ConvertsToCodePage1252) {
    struct Case {
        std::u16string text;
        std::string expected;
    } cases[] = {
        {u"plain", "plain"},
        {u"caf\u00e9", "caf\xe9"},
        {u"\u20ac\u0160\u2122\u0178", "\x80\x8a\x99\x9f"},
        {u"\u0100\u4e2d", "??"},
        {u"\U0001F600", "?"},
        {u"\xd800x", "?x"}, // a lone surrogate
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        for (char16_t unit : c.text)
            bytes.insert(bytes.end(), {uint8_t(unit), uint8_t(unit >> 8)});
        EXPECT_EQ(winapi::resource::ansi_from_utf16le(bytes.data(), c.text.size()), c.expected);
        SCOPED_TRACE(c.expected);
    }
    EXPECT_EQ(winapi::resource::utf16_from_ansi("\x80\xe9"), u"\u20ac\u00e9");
}

} // namespace
