// A small HTTP/1.1 server on the loopback interface, run on a thread of its own by a test.
// It serves the documents it was given, one connection at a time, optionally at a limited
// rate, and can break a response off after a number of bytes, as a failing network does.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace browser_test {

struct HttpDocument {
    std::string body;
    std::string type = "application/octet-stream";
    int status = 200;
    bool announce_length = true; // false: no Content-Length, the end of the body is the close
    size_t cut_after = std::string::npos; // close the connection after this many body bytes
};

class HttpTestServer {
  public:
    // bytes_per_second 0: as fast as the socket takes them.
    explicit HttpTestServer(size_t bytes_per_second = 0);
    ~HttpTestServer();

    void add(const std::string& path, HttpDocument document);
    int port() const { return m_port; }
    std::string url(const std::string& path) const;
    // The request lines ("GET /x HTTP/1.1") and User-Agent values seen so far.
    std::vector<std::string> requests() const;
    std::vector<std::string> user_agents() const;

  private:
    void serve();
    void answer(int connection);
    void send_body(int connection, const HttpDocument& document, size_t start, size_t end);

    size_t m_rate;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::map<std::string, HttpDocument> m_documents;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_agents;
    std::thread m_thread;
};

} // namespace browser_test
