// Fetching a page's HTML: from a file, or over HTTP. Pages are small and the viewer shows
// nothing until the page is there, so the page itself is fetched at once (with a time
// limit); only the plug-ins' streams go through the message loop.
#pragma once

#include <string>

namespace browser {

struct PageFetch {
    bool ok = false;
    std::string html;
    std::string url;   // where the page came from, after redirections
    std::string error; // why it failed, for a one-line message
};

// The longest a page fetch over the network may take, in milliseconds.
constexpr long kPageTimeLimitMs = 30000;

// Fetches the page at `url`, giving up after `time_limit_ms` of real time (at most
// kPageTimeLimitMs) when it comes over the network.
PageFetch fetch_page(const std::string& url, long time_limit_ms = kPageTimeLimitMs);

} // namespace browser
