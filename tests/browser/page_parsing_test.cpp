// The pieces under the viewer: addresses, page parsing, the flow layout and the rate limit.
#include "page_document.h"
#include "page_layout.h"
#include "plugin_stream.h"
#include "url.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace browser;
using ::testing::ElementsAre;

namespace {

TEST(Url, ResolvesRelativeReferencesAgainstThePage) {
    EXPECT_EQ(resolve_url("http://h/a/b/page.html", "movie.mov"), "http://h/a/b/movie.mov");
    EXPECT_EQ(resolve_url("http://h/a/b/page.html", "../m.mov"), "http://h/a/m.mov");
    EXPECT_EQ(resolve_url("http://h/a/b/page.html", "/m.mov"), "http://h/m.mov");
    EXPECT_EQ(resolve_url("http://h/a/page.html", "//other/m.mov"), "http://other/m.mov");
    EXPECT_EQ(resolve_url("http://h/a/page.html", "file:///tmp/x.mov"), "file:///tmp/x.mov");
    EXPECT_EQ(resolve_url("file:///srv/page.html", "m.mov#t=3"), "file:///srv/m.mov");
    EXPECT_EQ(resolve_url("file:///srv/page.html", "my movie.mov"), "file:///srv/my%20movie.mov");
}

TEST(Url, CommandLineAddressesBecomeUrls) {
    EXPECT_EQ(address_to_url("/tmp/a b.html"), "file:///tmp/a%20b.html");
    EXPECT_EQ(address_to_url("http://h:81/p"), "http://h:81/p");
    EXPECT_EQ(address_to_url("/x/../y/./p.html"), "file:///y/p.html");
    EXPECT_EQ(address_to_url(""), std::nullopt);
    ASSERT_TRUE(address_to_url("relative.html"));
    EXPECT_EQ(address_to_url("relative.html")->rfind("file:///", 0), 0u);
}

TEST(Url, PartsOfAddresses) {
    EXPECT_EQ(url_scheme("HTTP://h/"), "http");
    EXPECT_EQ(url_scheme("/plain/path"), "");
    EXPECT_EQ(url_to_path("file:///tmp/a%20b.mov"), "/tmp/a b.mov");
    EXPECT_EQ(url_to_path("http://h/a.mov"), std::nullopt);
    EXPECT_EQ(url_extension("http://h/dir/Movie.MOV?x=1.txt#y"), "mov");
    EXPECT_EQ(url_extension("http://example.com"), "");
    EXPECT_EQ(url_extension("http://h/dir.d/file"), "");
    EXPECT_EQ(url_extension("file:///a/b."), "");
}

TEST(PageDocument, KeepsWordsBreaksEmbedsAndLinks) {
    PageDocument page =
        parse_page("<html><head><title>The\ntitle</title><style>p{}</style></head>"
                   "<body bgcolor=navy text=#ff0000><b>Big</b> text<br>"
                   "<a href=next.html target=_new>go</a><script>x()</script>"
                   "<p><EMBED SRC=m.mov Width=10 height=\"20\" hidden></p></body></html>");
    EXPECT_EQ(page.title, "The title");
    EXPECT_EQ(page.background, RGB(0, 0, 128));
    EXPECT_EQ(page.text_color, RGB(255, 0, 0));
    std::vector<std::string> kinds;
    for (const PageItem& item : page.items) {
        switch (item.kind) {
        case PageItem::Kind::Word:
            kinds.push_back(item.text + (item.bold ? "(b)" : "") +
                            (item.link.empty() ? "" : "->" + item.link + "@" + item.target));
            break;
        case PageItem::Kind::Break:
            kinds.push_back("BR");
            break;
        case PageItem::Kind::Paragraph:
            kinds.push_back("P");
            break;
        case PageItem::Kind::Embed:
            kinds.push_back("EMBED");
            break;
        }
    }
    EXPECT_THAT(kinds,
                ElementsAre("Big(b)", "text", "BR", "go->next.html@_new", "P", "EMBED", "P"));
    ASSERT_EQ(page.embeds.size(), 1u);
    EXPECT_THAT(page.embeds[0].attributes,
                ElementsAre(std::pair<std::string, std::string>("SRC", "m.mov"),
                            std::pair<std::string, std::string>("Width", "10"),
                            std::pair<std::string, std::string>("height", "20"),
                            std::pair<std::string, std::string>("hidden", "")));
    EXPECT_TRUE(page.embeds[0].hidden());
    EXPECT_EQ(page.embeds[0].width(0), 10);
    EXPECT_EQ(page.embeds[0].height(0), 20);
}

TEST(PageDocument, EmbedSizesFallBackWhenMissingOrBad) {
    PageDocument page = parse_page("<embed width=abc height=-5><embed width=99999>");
    ASSERT_EQ(page.embeds.size(), 2u);
    EXPECT_EQ(page.embeds[0].width(160), 160);
    EXPECT_EQ(page.embeds[0].height(120), 120);
    EXPECT_EQ(page.embeds[1].width(160), 4096);
    EXPECT_FALSE(page.embeds[0].hidden());
    EXPECT_FALSE(parse_page("<embed hidden=false>").embeds[0].hidden());
}

TEST(PageDocument, Colours) {
    EXPECT_EQ(parse_color("#0A0B0c", 1), RGB(10, 11, 12));
    EXPECT_EQ(parse_color("ffffff", 1), RGB(255, 255, 255));
    EXPECT_EQ(parse_color("Teal", 1), RGB(0, 128, 128));
    EXPECT_EQ(parse_color("#12345", 7), 7u);
    EXPECT_EQ(parse_color("#12345g", 7), 7u);
}

TEST(PageLayout, WrapsAtTheWidthAndAlignsBottoms) {
    PageDocument page = parse_page("aaaa bbbb <embed width=50 height=30> cccc");
    // Every character is 10 pixels wide and words 12 high.
    auto measure = [](const std::string& text, bool) {
        return SIZE{static_cast<LONG>(text.size() * 10), 12};
    };
    PageLayout layout = layout_page(page, 8 + 105 + 8, measure);
    ASSERT_EQ(layout.words.size(), 3u);
    ASSERT_EQ(layout.embeds.size(), 1u);
    // aaaa and bbbb do not fit together (40 + 10 + 40 = 90 fits; + 10 + 50 does not).
    EXPECT_EQ(layout.words[0].rect.left, 8);
    EXPECT_EQ(layout.words[1].rect.left, 58);
    EXPECT_EQ(layout.words[0].rect.top, 8);
    // The embed starts the second line, with cccc beside it on the same bottom.
    EXPECT_EQ(layout.embeds[0].rect.left, 8);
    EXPECT_EQ(layout.embeds[0].rect.top, 20);
    EXPECT_EQ(layout.words[2].rect.left, 68);
    EXPECT_EQ(layout.words[2].rect.bottom, layout.embeds[0].rect.bottom);
    EXPECT_EQ(layout.height, 20 + 30 + 8);
}

TEST(RateLimiter, GivesTheRateOverTimeAndCapsSavedCredit) {
    RateLimiter limiter(1000);
    EXPECT_EQ(limiter.allowance(5000), 0u);
    EXPECT_EQ(limiter.allowance(5010), 10u);
    limiter.spend(10);
    EXPECT_EQ(limiter.allowance(5013), 3u);
    // A long quiet spell saves at most a fifth of a second.
    EXPECT_EQ(limiter.allowance(9000), 200u);
    RateLimiter unlimited;
    EXPECT_FALSE(unlimited.limited());
    EXPECT_EQ(unlimited.allowance(0), UINT64_MAX);
}

TEST(RateLimiter, KeepsFractionsOfSlowRates) {
    RateLimiter limiter(3); // three bytes per second
    uint64_t total = 0;
    limiter.allowance(0);
    for (uint64_t ms = 10; ms <= 10000; ms += 10) {
        uint64_t now = limiter.allowance(ms);
        limiter.spend(now);
        total += now;
    }
    EXPECT_EQ(total, 30u);
}

} // namespace
