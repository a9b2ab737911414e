#include "test_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifdef ONLINE_TEST_TLS
#include <openssl/err.h>
#include <openssl/ssl.h>
#endif

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

// One client's connection, in TLS when the server speaks it.
struct Conn {
    socket_t s;
    const std::atomic<bool>& stop;  // the server's end
    void* tls = nullptr;            // the SSL of the connection
};

int Send(Conn& c, const char* data, int size) {
#ifdef ONLINE_TEST_TLS
    if (c.tls) return SSL_write(static_cast<SSL*>(c.tls), data, size);
#endif
    return send(c.s, data, size, kSendFlags);
}

int Recv(Conn& c, char* data, int size) {
#ifdef ONLINE_TEST_TLS
    if (c.tls) return SSL_read(static_cast<SSL*>(c.tls), data, size);
#endif
    return recv(c.s, data, size, 0);
}

bool SendAll(Conn& s, const char* data, std::size_t size) {
    while (size > 0) {
        int chunk = size > (1 << 20) ? (1 << 20) : static_cast<int>(size);
        int sent = Send(s, data, chunk);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Sends `count` body bytes starting at body offset `from`.
bool SendBody(Conn& s, std::uint64_t from, std::uint64_t count) {
    // 261 periods of the pattern: any slice of it continues the body.
    static const std::string block = [] {
        std::string b(251 * 261, '\0');
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>(BodyByte(i));
        return b;
    }();
    while (count > 0 && !s.stop) {
        std::size_t offset = static_cast<std::size_t>(from % 251);
        std::size_t n = block.size() - offset;
        if (n > count) n = static_cast<std::size_t>(count);
        if (!SendAll(s, block.data() + offset, n)) return false;
        from += n;
        count -= n;
    }
    return count == 0;
}

const char* Reason(int code) {
    switch (code) {
    case 200: return "OK";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

// The head of an answer; `fields` end with "\r\n" each.
std::string Header(int code, std::uint64_t length, const std::string& fields = "") {
    std::string h = "HTTP/1.1 " + std::to_string(code) + " " + Reason(code) + "\r\n";
    h += "Content-Type: application/octet-stream\r\n" + fields;
    h += "Content-Length: " + std::to_string(length) + "\r\n";
    h += "Connection: close\r\n\r\n";
    return h;
}

// A 302 to `location`, with a page that links it.
std::string Redirect(const std::string& location) {
    const std::string body =
        "<html><body>Moved to <a href=\"" + location + "\">here</a></body></html>\n";
    return Header(302, body.size(), "Location: " + location + "\r\n") + body;
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

// Waits up to `ms` milliseconds (forever for -1) for the client to hang up
// or the server to stop; true when the client hung up. The request has been
// read, so anything readable now is the end of the connection.
bool WaitForHangUp(Conn& s, const std::atomic<bool>& stop, long long ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
    while (!stop && (ms < 0 || std::chrono::steady_clock::now() < until)) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s.s, &set);
        timeval tv = {0, 50 * 1000};
        if (select(static_cast<int>(s.s) + 1, &set, nullptr, nullptr, &tv) > 0) {
            char c;
            if (Recv(s, &c, 1) <= 0) return true;
        }
    }
    return false;
}

std::string Hex(std::uint64_t n) {
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(n));
    return text;
}

}  // namespace

bool IsBodyPrefix(const std::string& data) {
    for (std::size_t i = 0; i < data.size(); ++i)
        if (static_cast<unsigned char>(data[i]) != BodyByte(i)) return false;
    return true;
}

TestServer::TestServer(int port, const std::string& certificate, const std::string& key) {
    if (!certificate.empty()) {
#ifdef ONLINE_TEST_TLS
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        if (!context || SSL_CTX_use_certificate_chain_file(context, certificate.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, key.c_str(), SSL_FILETYPE_PEM) != 1) {
            if (context) SSL_CTX_free(context);
            throw std::runtime_error("cannot load " + certificate + " and " + key);
        }
        m_tls = context;
#else
        (void)key;
        throw std::runtime_error("this server speaks no TLS");
#endif
    }
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
#ifdef ONLINE_TEST_TLS
    if (m_tls) SSL_CTX_free(static_cast<SSL_CTX*>(m_tls));
#endif
#ifdef _WIN32
    WSACleanup();
#endif
}

std::string TestServer::LastUserAgent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_userAgent;
}

std::vector<std::string> TestServer::Heard() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heard;
}

void TestServer::SetFile(const std::string& body) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file = body;
}

std::string TestServer::Url(const std::string& path) const {
    // The Internet client checks a certificate's name only against names.
    if (m_tls) return "https://localhost:" + std::to_string(m_port) + path;
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
    Conn c{Sock(connection), m_stop};
#ifdef _WIN32
    DWORD timeout = 5000;
#else
    timeval timeout = {5, 0};
#endif
    for (int option : {SO_RCVTIMEO, SO_SNDTIMEO})
        setsockopt(c.s, SOL_SOCKET, option, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
#ifdef ONLINE_TEST_TLS
    if (m_tls) {
        SSL* ssl = SSL_new(static_cast<SSL_CTX*>(m_tls));
        SSL_set_fd(ssl, static_cast<int>(c.s));
        c.tls = ssl;
        if (SSL_accept(ssl) != 1) {
            // The client refused the certificate, as it should for most.
            SSL_free(ssl);
            CloseSocket(c.s);
            return;
        }
    }
#endif
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        int n = Recv(c, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
    }
    std::string path, version;
    if (request.compare(0, 4, "GET ") == 0) {
        std::size_t end = request.find(' ', 4);
        if (end != std::string::npos) {
            path = request.substr(4, end - 4);
            version = request.substr(end + 1, request.find("\r\n") - end - 1);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string agent;
        std::size_t at = request.find("\r\nUser-Agent: ");
        if (at != std::string::npos) {
            at += 14;
            m_userAgent = agent = request.substr(at, request.find("\r\n", at) - at);
        }
        m_heard.push_back(version + " " + agent);
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
    } else if (kind == "silent") {
        // Takes the request, says nothing and hangs up.
        WaitForHangUp(c, m_stop, static_cast<long long>(Number(parts, 1)));
    } else if (kind == "late") {
        // Nothing for MS milliseconds, then the header and N bytes.
        if (!WaitForHangUp(c, m_stop, static_cast<long long>(Number(parts, 1))) && !m_stop) {
            std::string h = Header(200, Number(parts, 2));
            if (SendAll(c, h.data(), h.size())) SendBody(c, 0, Number(parts, 2));
        }
    } else if (kind == "stall") {
        // The header, SENT bytes of the announced N, then nothing until the
        // client gives up.
        std::string h = Header(200, Number(parts, 1));
        if (SendAll(c, h.data(), h.size()) && SendBody(c, 0, Number(parts, 2)))
            WaitForHangUp(c, m_stop, -1);
    } else if (kind == "drip") {
        // N bytes, one every MS milliseconds.
        std::uint64_t n = Number(parts, 1);
        long long pause = static_cast<long long>(Number(parts, 2));
        std::string h = Header(200, n);
        bool ok = SendAll(c, h.data(), h.size());
        for (std::uint64_t sent = 0; ok && sent < n; ++sent)
            ok = !WaitForHangUp(c, m_stop, pause) && !m_stop && SendBody(c, sent, 1);
    } else if (kind == "dynamic" && version != "HTTP/1.1") {
        // Made on the fly, so of no length known beforehand.
        std::string h = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
        if (SendAll(c, h.data(), h.size())) SendBody(c, 0, Number(parts, 1));
    } else if (kind == "chunked" || kind == "dynamic") {
        // N bytes in chunks of 1,000; "cut" hangs up after CUT bytes of them,
        // "bad" sends a chunk size that is no number after CUT bytes.
        std::uint64_t n = Number(parts, 1);
        const std::string how = parts.size() > 2 && kind == "chunked" ? parts[2] : "";
        std::uint64_t cut = how.empty() ? n : Number(parts, 3);
        std::string h = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                        "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
        bool ok = SendAll(c, h.data(), h.size());
        for (std::uint64_t sent = 0; ok && sent < n && sent < cut; sent += 1000) {
            std::uint64_t size = n - sent < 1000 ? n - sent : 1000;
            if (sent + size > cut) size = cut - sent;
            std::string line = Hex(how == "cut" ? 1000 : size) + "\r\n";
            ok = SendAll(c, line.data(), line.size()) && SendBody(c, sent, size) &&
                 (how == "cut" && sent + size == cut ? true : SendAll(c, "\r\n", 2));
        }
        if (ok && how == "bad") SendAll(c, "zz\r\n", 5);
        if (ok && how.empty()) SendAll(c, "0\r\n\r\n", 5);
    } else if (kind == "compressed") {
        std::uint64_t n = Number(parts, 1);
        std::string h = Header(200, n, "Content-Encoding: gzip\r\n");
        if (SendAll(c, h.data(), h.size())) SendBody(c, 0, n);
    } else if (kind == "goto" || kind == "moved" || kind == "loop") {
        std::string location = path;
        if (kind == "goto") {
            location = path.substr(6);
        } else if (kind == "moved") {
            const std::uint64_t hops = Number(parts, 1);
            const std::size_t rest = path.find('/', 7);
            location = rest == std::string::npos ? "/" : path.substr(rest);
            if (hops > 1) location = "/moved/" + std::to_string(hops - 1) + location;
        } else if (WaitForHangUp(c, m_stop, static_cast<long long>(Number(parts, 1))) || m_stop) {
            location.clear();
        }
        std::string h = Redirect(location);
        if (!location.empty()) SendAll(c, h.data(), h.size());
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
        setsockopt(c.s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    } else {
#ifdef ONLINE_TEST_TLS
        if (c.tls) SSL_shutdown(static_cast<SSL*>(c.tls));
#endif
#ifdef _WIN32
        shutdown(c.s, SD_SEND);
#else
        shutdown(c.s, SHUT_WR);
#endif
        // Let the client read to the end before the socket goes.
        while (Recv(c, buf, sizeof buf) > 0) {
        }
    }
#ifdef ONLINE_TEST_TLS
    if (c.tls) SSL_free(static_cast<SSL*>(c.tls));
#endif
    CloseSocket(c.s);
}

}  // namespace online_test
