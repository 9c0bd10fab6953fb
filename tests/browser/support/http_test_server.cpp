#include "support/http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace browser_test {

namespace {

bool send_all(int connection, const char* data, size_t size) {
    while (size > 0) {
        ssize_t sent = ::send(connection, data, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

std::string read_request(int connection) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd poller{connection, POLLIN, 0};
        if (poll(&poller, 1, 2000) <= 0) break;
        ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
    }
    return request;
}

std::string header_value(const std::string& request, const std::string& name) {
    std::string lowered = request;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), ::tolower);
    size_t at = lowered.find("\r\n" + name + ":");
    if (at == std::string::npos) return {};
    size_t start = request.find_first_not_of(' ', at + name.size() + 3);
    return request.substr(start, request.find("\r\n", start) - start);
}

const char* reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    default:
        return "Error";
    }
}

} // namespace

HttpTestServer::HttpTestServer(size_t bytes_per_second) : m_rate(bytes_per_second) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0)
        throw std::runtime_error("the test server cannot listen");
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

HttpTestServer::~HttpTestServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

void HttpTestServer::add(const std::string& path, HttpDocument document) {
    std::lock_guard lock(m_mutex);
    m_documents[path] = std::move(document);
}

std::string HttpTestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> HttpTestServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<std::string> HttpTestServer::user_agents() const {
    std::lock_guard lock(m_mutex);
    return m_agents;
}

void HttpTestServer::serve() {
    while (!m_stop) {
        pollfd poller{m_listener, POLLIN, 0};
        if (poll(&poller, 1, 50) <= 0) continue;
        int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0) continue;
        answer(connection);
        ::close(connection);
    }
}

void HttpTestServer::answer(int connection) {
    std::string request = read_request(connection);
    std::string line = request.substr(0, request.find("\r\n"));
    std::string path = line.substr(line.find(' ') + 1);
    path = path.substr(0, path.find(' '));
    HttpDocument document;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(line);
        m_agents.push_back(header_value(request, "user-agent"));
        auto it = m_documents.find(path);
        if (it == m_documents.end())
            document = HttpDocument{"not here", "text/plain", 404};
        else
            document = it->second;
    }
    std::string head = "HTTP/1.1 " + std::to_string(document.status) + " " +
                       reason(document.status) + "\r\nContent-Type: " + document.type +
                       "\r\nConnection: close\r\n";
    if (document.announce_length)
        head += "Content-Length: " + std::to_string(document.body.size()) + "\r\n";
    head += "\r\n";
    if (!send_all(connection, head.data(), head.size())) return;
    send_body(connection, document, 0, std::min(document.body.size(), document.cut_after));
}

void HttpTestServer::send_body(int connection, const HttpDocument& document, size_t start,
                               size_t end) {
    // A limited rate goes out in twentieths of a second.
    size_t chunk = m_rate ? std::max<size_t>(m_rate / 20, 1) : end - start;
    for (size_t at = start; at < end && !m_stop; at += chunk) {
        size_t count = std::min(chunk, end - at);
        if (!send_all(connection, document.body.data() + at, count)) return;
        if (m_rate) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace browser_test
