#include "page_loader.h"

#include "host_services.h"
#include "local_file.h"
#include "url.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace browser {

namespace {

constexpr size_t kMaxPage = 16 << 20;

size_t append(char* data, size_t size, size_t count, void* target) {
    auto* html = static_cast<std::string*>(target);
    if (html->size() + size * count > kMaxPage) return 0;
    html->append(data, size * count);
    return size * count;
}

PageFetch fetch_file(const std::string& url, const std::string& path) {
    PageFetch fetch;
    fetch.url = url;
    uint64_t size = 0;
    int fd = open_regular_file(path, size, fetch.error);
    if (fd < 0) {
        fetch.error = path + ": " + fetch.error;
        return fetch;
    }
    // A local page has the same limit as one from the network: a page that large is not
    // meant to be read, and reading it would only fill the memory.
    if (size > kMaxPage) {
        ::close(fd);
        fetch.error = path + ": the page is larger than " + std::to_string(kMaxPage >> 20) + " MB";
        return fetch;
    }
    fetch.html.resize(static_cast<size_t>(size));
    size_t got = 0;
    while (got < fetch.html.size()) {
        ssize_t n = ::read(fd, fetch.html.data() + got, fetch.html.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    // A file that shrank while it was read gives what it still had.
    fetch.html.resize(got);
    fetch.ok = true;
    return fetch;
}

PageFetch fetch_http(const std::string& url, long time_limit_ms) {
    PageFetch fetch;
    fetch.url = url;
    std::unique_ptr<CURL, void (*)(CURL*)> easy(curl_easy_init(), curl_easy_cleanup);
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, append);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &fetch.html);
    curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, user_agent());
    long limit = std::clamp(time_limit_ms, 1L, kPageTimeLimitMs);
    curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT_MS, std::min(limit, 10000L));
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, limit);
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    CURLcode result = curl_easy_perform(easy.get());
    if (result == CURLE_HTTP_RETURNED_ERROR) {
        long code = 0;
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &code);
        fetch.error = url + ": HTTP error " + std::to_string(code);
        return fetch;
    }
    if (result == CURLE_OPERATION_TIMEDOUT) {
        fetch.error = url + ": no answer within " + std::to_string((limit + 500) / 1000) + " s";
        return fetch;
    }
    if (result != CURLE_OK) {
        fetch.error = url + ": " + curl_easy_strerror(result);
        return fetch;
    }
    char* effective = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        fetch.url = effective;
    fetch.ok = true;
    return fetch;
}

} // namespace

PageFetch fetch_page(const std::string& url, long time_limit_ms) {
    if (auto path = url_to_path(url)) return fetch_file(url, *path);
    std::string scheme = url_scheme(url);
    if (scheme == "http" || scheme == "https") return fetch_http(url, time_limit_ms);
    PageFetch fetch;
    fetch.url = url;
    fetch.error =
        url + ": the viewer cannot open " + (scheme.empty() ? "this" : scheme) + " addresses";
    return fetch;
}

} // namespace browser
