#include "page_loader.h"

#include "host_services.h"
#include "url.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

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
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        fetch.error = path + ": " + std::strerror(errno);
        return fetch;
    }
    if (S_ISDIR(info.st_mode)) {
        fetch.error = path + ": is a folder";
        return fetch;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        fetch.error = path + ": " + std::strerror(errno);
        return fetch;
    }
    std::ostringstream content;
    content << file.rdbuf();
    fetch.html = content.str();
    fetch.ok = true;
    return fetch;
}

PageFetch fetch_http(const std::string& url) {
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
    curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    CURLcode result = curl_easy_perform(easy.get());
    if (result == CURLE_HTTP_RETURNED_ERROR) {
        long code = 0;
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &code);
        fetch.error = url + ": HTTP error " + std::to_string(code);
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

PageFetch fetch_page(const std::string& url) {
    if (auto path = url_to_path(url)) return fetch_file(url, *path);
    std::string scheme = url_scheme(url);
    if (scheme == "http" || scheme == "https") return fetch_http(url);
    PageFetch fetch;
    fetch.url = url;
    fetch.error =
        url + ": the viewer cannot open " + (scheme.empty() ? "this" : scheme) + " addresses";
    return fetch;
}

} // namespace browser
