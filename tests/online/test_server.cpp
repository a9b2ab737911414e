#include "test_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using socket_t = SOCKET;
using socklen_type = int;
static void CloseSocket(socket_t s) { closesocket(s); }
static const int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
using socket_t = int;
using socklen_type = socklen_t;
static const socket_t INVALID_SOCKET = -1;
static void CloseSocket(socket_t s) { close(s); }
static const int kSendFlags = MSG_NOSIGNAL;
#endif

namespace online_test {

namespace {

socket_t Sock(std::intptr_t s) { return static_cast<socket_t>(s); }

bool SendAll(socket_t s, const char* data, std::size_t size) {
    while (size > 0) {
        int chunk = size > (1 << 20) ? (1 << 20) : static_cast<int>(size);
        int sent = send(s, data, chunk, kSendFlags);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Sends `count` body bytes starting at body offset `from`.
bool SendBody(socket_t s, std::uint64_t from, std::uint64_t count) {
    // 261 periods of the pattern: any slice of it continues the body.
    static const std::string block = [] {
        std::string b(251 * 261, '\0');
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>(BodyByte(i));
        return b;
    }();
    while (count > 0) {
        std::size_t offset = static_cast<std::size_t>(from % 251);
        std::size_t n = block.size() - offset;
        if (n > count) n = static_cast<std::size_t>(count);
        if (!SendAll(s, block.data() + offset, n)) return false;
        from += n;
        count -= n;
    }
    return true;
}

const char* Reason(int code) {
    switch (code) {
    case 200: return "OK";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string Header(int code, std::uint64_t length) {
    std::string h = "HTTP/1.1 " + std::to_string(code) + " " + Reason(code) + "\r\n";
    h += "Content-Type: application/octet-stream\r\n";
    h += "Content-Length: " + std::to_string(length) + "\r\n";
    h += "Connection: close\r\n\r\n";
    return h;
}

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::uint64_t Number(const std::vector<std::string>& parts, std::size_t i) {
    return i < parts.size() ? std::strtoull(parts[i].c_str(), nullptr, 10) : 0;
}

}  // namespace

bool IsBodyPrefix(const std::string& data) {
    for (std::size_t i = 0; i < data.size(); ++i)
        if (static_cast<unsigned char>(data[i]) != BodyByte(i)) return false;
    return true;
}

TestServer::TestServer(int port) {
#ifdef _WIN32
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
    socket_t s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("socket");
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<unsigned short>(port));
    socklen_type len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        CloseSocket(s);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_listener = static_cast<std::intptr_t>(s);
    m_port = ntohs(addr.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

TestServer::~TestServer() {
    m_stop = true;
    m_acceptor.join();
    CloseSocket(Sock(m_listener));
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        workers.swap(m_workers);
    }
    for (std::thread& t : workers) t.join();
#ifdef _WIN32
    WSACleanup();
#endif
}

std::string TestServer::LastUserAgent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_userAgent;
}

void TestServer::SetFile(const std::string& body) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file = body;
}

std::string TestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void TestServer::AcceptLoop() {
    while (!m_stop) {
        // Wake up now and then to see whether the server is to stop.
        fd_set set;
        FD_ZERO(&set);
        FD_SET(Sock(m_listener), &set);
        timeval tv = {0, 50 * 1000};
        if (select(static_cast<int>(Sock(m_listener)) + 1, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        socket_t c = accept(Sock(m_listener), nullptr, nullptr);
        if (c == INVALID_SOCKET) continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workers.emplace_back([this, c] { Serve(static_cast<std::intptr_t>(c)); });
    }
}

void TestServer::Serve(std::intptr_t connection) {
    socket_t c = Sock(connection);
#ifdef _WIN32
    DWORD timeout = 5000;
#else
    timeval timeout = {5, 0};
#endif
    setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof timeout);
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        int n = recv(c, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
    }
    std::string path;
    if (request.compare(0, 4, "GET ") == 0) {
        std::size_t end = request.find(' ', 4);
        if (end != std::string::npos) path = request.substr(4, end - 4);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::size_t at = request.find("\r\nUser-Agent: ");
        if (at != std::string::npos) {
            at += 14;
            m_userAgent = request.substr(at, request.find("\r\n", at) - at);
        }
    }
    ++m_requests;
    std::vector<std::string> parts = path.empty() ? std::vector<std::string>() : Split(path);
    const std::string kind = parts.empty() ? "" : parts[0];
    bool reset = false;
    if (kind == "bytes") {
        std::uint64_t n = Number(parts, 1);
        std::string h = Header(200, n);
        if (SendAll(c, h.data(), h.size())) SendBody(c, 0, n);
    } else if (kind == "file") {
        std::string body;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            body = m_file;
        }
        std::string h = Header(200, body.size()) + body;
        SendAll(c, h.data(), h.size());
    } else if (kind == "status") {
        int code = static_cast<int>(Number(parts, 1));
        std::string body = "<html><body><h1>" + std::to_string(code) + " " + Reason(code) +
                           "</h1></body></html>\n";
        std::string h = Header(code, body.size()) + body;
        SendAll(c, h.data(), h.size());
    } else if (kind == "short" || kind == "reset") {
        std::string h = Header(200, Number(parts, 1));
        if (SendAll(c, h.data(), h.size())) SendBody(c, 0, Number(parts, 2));
        reset = kind == "reset";
    } else if (kind == "trickle") {
        std::uint64_t n = Number(parts, 1);
        auto pause = std::chrono::milliseconds(Number(parts, 2));
        std::string h = Header(200, n);
        bool ok = SendAll(c, h.data(), h.size());
        for (std::uint64_t sent = 0; ok && sent < n && !m_stop; sent += 1024) {
            std::this_thread::sleep_for(pause);
            ok = SendBody(c, sent, n - sent < 1024 ? n - sent : 1024);
        }
    } else {
        std::string body = "no such test path\n";
        std::string h = Header(404, body.size()) + body;
        SendAll(c, h.data(), h.size());
    }
    if (reset) {
        // A close with a zero linger time resets the connection.
        linger l = {1, 0};
        setsockopt(c, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    } else {
#ifdef _WIN32
        shutdown(c, SD_SEND);
#else
        shutdown(c, SHUT_WR);
#endif
        // Let the client read to the end before the socket goes.
        while (recv(c, buf, sizeof buf, 0) > 0) {
        }
    }
    CloseSocket(c);
}

}  // namespace online_test
