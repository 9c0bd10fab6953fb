// Where a stream's bytes come from: a local file or an HTTP transfer. A source collects
// bytes as they arrive; the plug-in stream (plugin_stream.h) takes them out as the plug-in
// is ready for them. Sources never block: HTTP transfers advance only when the viewer's
// network timer drives the HttpClient.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

typedef void CURLM;
typedef void CURL;

namespace browser {

class StreamSource {
  public:
    enum class State {
        Waiting,  // no answer yet: the length is not known
        Open,     // data is arriving; length() holds what was announced
        Complete, // every byte has arrived (some may still be waiting in the source)
        Failed,   // the transfer broke off; the bytes that did arrive can still be taken
    };

    virtual ~StreamSource() = default;

    State state() const { return m_state; }
    // The announced length in bytes; 0 when it is not known.
    uint32_t length() const { return m_length; }
    // Why the source failed, in words for the status bar; whether it failed before any
    // data (a missing file, an HTTP error status, an unreachable host).
    const std::string& error() const { return m_error; }
    bool failed_before_data() const { return m_state == State::Failed && !m_opened; }

    // Up to `max` of the bytes that have arrived and were not taken yet.
    virtual std::string_view peek(size_t max) = 0;
    // Drops the first `count` bytes of what peek gave.
    virtual void consume(size_t count) = 0;

  protected:
    void open(uint32_t length) {
        m_length = length;
        m_opened = true;
        m_state = State::Open;
    }
    void finish() { m_state = State::Complete; }
    void fail(std::string error) {
        m_error = std::move(error);
        m_state = State::Failed;
    }

  private:
    State m_state = State::Waiting;
    uint32_t m_length = 0;
    bool m_opened = false;
    std::string m_error;
};

// A local file, read in blocks as they are taken.
class FileSource final : public StreamSource {
  public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    std::string_view peek(size_t max) override;
    void consume(size_t count) override;

  private:
    std::FILE* m_file = nullptr;
    std::string m_buffer;
    uint64_t m_remaining = 0;
};

class HttpSource;

// The HTTP side of the viewer: one libcurl multi handle for every transfer, advanced
// without waiting from the network timer.
class HttpClient {
  public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Starts a transfer that fails once more than `limit` bytes would arrive (or are
    // announced).
    std::unique_ptr<HttpSource> start(const std::string& url, uint64_t limit);
    // Moves every transfer on as far as it can go now.
    void advance();
    // Waits up to `timeout_ms` of real time for network activity; false when no transfer
    // is running.
    bool wait(int timeout_ms);
    bool busy() const { return m_running > 0; }

    CURLM* multi() const { return m_multi; }

  private:
    CURLM* m_multi = nullptr;
    int m_running = 0;
};

class HttpSource final : public StreamSource {
  public:
    HttpSource(HttpClient& client, const std::string& url, uint64_t limit);
    ~HttpSource() override;
    std::string_view peek(size_t max) override;
    void consume(size_t count) override;

    // libcurl's callbacks and the client's completion report.
    size_t receive(const char* data, size_t size);
    void transfer_done(int result);

  private:
    void take_headers();
    void fail_too_large();

    HttpClient& m_client;
    uint64_t m_limit;
    uint64_t m_received = 0;
    CURL* m_easy = nullptr;
    std::string m_buffer;
    size_t m_start = 0; // bytes of m_buffer already taken
    bool m_paused = false;
    bool m_done = false;
};

} // namespace browser
