#include "stream_source.h"

#include "host_services.h"
#include "local_file.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace browser {

namespace {

// A transfer stops taking data while this much waits for the plug-in, and goes on once
// less than a quarter of it is left, so a slow plug-in holds back the network, not memory.
constexpr size_t kHighWater = 1 << 20;
constexpr size_t kLowWater = kHighWater / 4;
constexpr size_t kFileBlock = 64 * 1024;

uint32_t clamp_length(uint64_t length) {
    return length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length);
}

size_t write_callback(char* data, size_t size, size_t count, void* source) {
    return static_cast<HttpSource*>(source)->receive(data, size * count);
}

} // namespace

// ---- Files ------------------------------------------------------------------------------

FileSource::FileSource(const std::string& path) {
    uint64_t size = 0;
    std::string error;
    int fd = open_regular_file(path, size, error);
    if (fd < 0) {
        fail(error);
        return;
    }
    m_file = ::fdopen(fd, "rb");
    if (!m_file) {
        ::close(fd);
        fail(std::string(std::strerror(errno)));
        return;
    }
    m_remaining = size;
    open(clamp_length(m_remaining));
    if (m_remaining == 0) finish();
}

FileSource::~FileSource() {
    if (m_file) std::fclose(m_file);
}

std::string_view FileSource::peek(size_t max) {
    if (m_buffer.size() < max && m_remaining > 0 && m_file) {
        size_t want = std::min<uint64_t>(std::max(max, kFileBlock) - m_buffer.size(), m_remaining);
        size_t old = m_buffer.size();
        m_buffer.resize(old + want);
        size_t got = std::fread(m_buffer.data() + old, 1, want, m_file);
        m_buffer.resize(old + got);
        m_remaining -= got;
        if (got < want) {
            // The file shrank while it was read.
            m_remaining = 0;
            fail("read error");
        } else if (m_remaining == 0) {
            finish();
        }
    }
    return std::string_view(m_buffer).substr(0, max);
}

void FileSource::consume(size_t count) {
    m_buffer.erase(0, std::min(count, m_buffer.size()));
}

// ---- HTTP -------------------------------------------------------------------------------

HttpClient::HttpClient() : m_multi(curl_multi_init()) {}

HttpClient::~HttpClient() {
    curl_multi_cleanup(m_multi);
}

std::unique_ptr<HttpSource> HttpClient::start(const std::string& url, uint64_t limit) {
    return std::make_unique<HttpSource>(*this, url, limit);
}

void HttpClient::advance() {
    curl_multi_perform(m_multi, &m_running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        HttpSource* source = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &source);
        if (source) source->transfer_done(message->data.result);
    }
}

bool HttpClient::wait(int timeout_ms) {
    if (m_running == 0) return false;
    int events = 0;
    curl_multi_poll(m_multi, nullptr, 0, timeout_ms, &events);
    return true;
}

HttpSource::HttpSource(HttpClient& client, const std::string& url, uint64_t limit)
    : m_client(client), m_limit(limit), m_easy(curl_easy_init()) {
    curl_easy_setopt(m_easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, write_callback);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(m_easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, user_agent());
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_multi_add_handle(client.multi(), m_easy);
}

HttpSource::~HttpSource() {
    curl_multi_remove_handle(m_client.multi(), m_easy);
    curl_easy_cleanup(m_easy);
}

void HttpSource::take_headers() {
    if (state() != State::Waiting) return;
    curl_off_t length = -1;
    curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length > 0 && static_cast<uint64_t>(length) > m_limit) {
        fail_too_large();
        return;
    }
    open(length > 0 ? clamp_length(static_cast<uint64_t>(length)) : 0);
}

void HttpSource::fail_too_large() {
    std::string size = m_limit >= (1u << 20) ? std::to_string(m_limit >> 20) + " MB"
                                             : std::to_string(m_limit) + " bytes";
    fail("the download is larger than " + size + ", the most the viewer takes");
}

size_t HttpSource::receive(const char* data, size_t size) {
    if (m_buffer.size() - m_start >= kHighWater) {
        m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    take_headers();
    // A count other than the one given makes libcurl end the transfer.
    if (state() == State::Failed) return 0;
    m_received += size;
    if (m_received > m_limit) {
        fail_too_large();
        return 0;
    }
    m_buffer.append(data, size);
    return size;
}

void HttpSource::transfer_done(int result) {
    m_done = true;
    // A transfer this side broke off has already said why.
    if (state() == State::Failed) return;
    if (result == CURLE_OK) {
        take_headers();
        finish();
        return;
    }
    if (result == CURLE_HTTP_RETURNED_ERROR) {
        long code = 0;
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code);
        fail("HTTP error " + std::to_string(code));
        return;
    }
    fail(curl_easy_strerror(static_cast<CURLcode>(result)));
}

std::string_view HttpSource::peek(size_t max) {
    return std::string_view(m_buffer).substr(m_start, max);
}

void HttpSource::consume(size_t count) {
    m_start = std::min(m_buffer.size(), m_start + count);
    // Taken bytes are dropped in large steps rather than on every block.
    if (m_start > kLowWater) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    if (m_paused && m_buffer.size() - m_start < kLowWater) {
        m_paused = false;
        curl_easy_pause(m_easy, CURLPAUSE_CONT);
    }
}

} // namespace browser
