#include "url.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

namespace browser {

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct CurlText {
    char* text = nullptr;
    ~CurlText() { curl_free(text); }
};

std::optional<std::string> url_part(CURLU* url, CURLUPart part, unsigned flags = 0) {
    CurlText value;
    if (curl_url_get(url, part, &value.text, flags) != CURLUE_OK || !value.text)
        return std::nullopt;
    return std::string(value.text);
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether the address starts with a scheme ("x:"), not counting one-letter schemes, which
// are more likely drive letters than schemes.
bool has_scheme(const std::string& address) {
    size_t colon = address.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    if (!std::isalpha(static_cast<unsigned char>(address[0]))) return false;
    return std::all_of(address.begin(), address.begin() + static_cast<long>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

std::optional<std::string> without_fragment(CURLU* url) {
    curl_url_set(url, CURLUPART_FRAGMENT, nullptr, 0);
    return url_part(url, CURLUPART_URL);
}

} // namespace

std::optional<std::string> address_to_url(const std::string& address) {
    if (address.empty()) return std::nullopt;
    UrlHandle url(curl_url());
    if (has_scheme(address)) {
        if (curl_url_set(url.get(), CURLUPART_URL, address.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
            CURLUE_OK)
            return std::nullopt;
        return without_fragment(url.get());
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(address, error);
    if (error) return std::nullopt;
    std::string text = path.lexically_normal().string();
    if (curl_url_set(url.get(), CURLUPART_SCHEME, "file", 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PATH, text.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return std::nullopt;
    return url_part(url.get(), CURLUPART_URL);
}

std::optional<std::string> resolve_url(const std::string& base, const std::string& reference) {
    UrlHandle url(curl_url());
    if (curl_url_set(url.get(), CURLUPART_URL, base.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return std::nullopt;
    // Spaces are common in hand-written pages; they are escaped rather than refused.
    if (curl_url_set(url.get(), CURLUPART_URL, reference.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE) != CURLUE_OK)
        return std::nullopt;
    return without_fragment(url.get());
}

std::string url_scheme(const std::string& url) {
    size_t colon = url.find(':');
    if (colon == std::string::npos || !has_scheme(url)) return {};
    return lower(url.substr(0, colon));
}

std::optional<std::string> url_to_path(const std::string& url) {
    if (url_scheme(url) != "file") return std::nullopt;
    UrlHandle handle(curl_url());
    if (curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
    return url_part(handle.get(), CURLUPART_PATH, CURLU_URLDECODE);
}

bool may_reach(const std::string& origin, const std::string& target) {
    std::string from = url_scheme(origin);
    if (from != "http" && from != "https") return true;
    std::string to = url_scheme(target);
    return to == "http" || to == "https";
}

std::string url_extension(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    // The host name is not a file name: only what follows it counts.
    if (size_t authority = path.find("://"); authority != std::string::npos) {
        size_t start = path.find('/', authority + 3);
        path = start == std::string::npos ? std::string() : path.substr(start);
    }
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {};
    return lower(name.substr(dot + 1));
}

} // namespace browser
