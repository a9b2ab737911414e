// A small HTTP server on 127.0.0.1 for the download tests and the benchmark,
// on the host also over TLS.
// It builds for Windows (Winsock, inside the test program under Wine) and
// for the host (POSIX sockets, for curl and the benchmark). Every response
// closes its connection. Paths:
//   /bytes/N[/name]           200 with a body of N pattern bytes
//   /status/CODE[/name]       that status with a small HTML body
//   /short/ANNOUNCED/SENT     announces ANNOUNCED bytes, sends SENT, hangs up
//   /reset/ANNOUNCED/SENT     the same, but resets the connection
//   /trickle/N/MS[/name]      N pattern bytes in 1,024-byte pieces, MS apart
//   /file/anything            200 with the body given to SetFile
//   /silent/MS                takes the request, says nothing, hangs up after MS
//   /late/MS/N                says nothing for MS milliseconds, then 200
//                             with a body of N pattern bytes
//   /stall/N/SENT             announces N bytes, sends SENT, then waits for
//                             the client to hang up
//   /drip/N/MS                N pattern bytes, one every MS milliseconds
//   /chunked/N                N pattern bytes in chunks of 1,000
//   /chunked/N/cut/CUT        the same, hanging up in a chunk after CUT bytes
//   /chunked/N/bad/CUT        the same, a chunk size that is no number after CUT
//   /dynamic/N                N pattern bytes as a server that makes them on
//                             the fly: in chunks to HTTP/1.1, else until it
//                             hangs up
//   /compressed/N             N pattern bytes, said to be gzip
//   /goto/ADDRESS             302 to ADDRESS (the rest of the path), with a page
//   /moved/HOPS/PATH          302 to /moved/HOPS-1/PATH, the last to /PATH
//   /loop[/MS]                302 to itself (after MS milliseconds)
// Bodies of any size are made as they are sent; a client that stops reading
// for 5 s, or the server's end, ends any answer.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace online_test {

// Byte i of every body the server sends. Its period (251) is prime, so a
// lost, doubled or reordered block of 1,024 bytes changes what follows.
inline unsigned char BodyByte(std::uint64_t i) { return static_cast<unsigned char>(i % 251); }
// True when `data` is exactly the first data.size() bytes of a body.
bool IsBodyPrefix(const std::string& data);

class TestServer {
public:
    // Listens on 127.0.0.1 at a free port (or at `port` when not 0). With a
    // certificate (PEM, its chain after it) and its key it speaks TLS; only
    // the host's build can.
    explicit TestServer(int port = 0, const std::string& certificate = "",
                        const std::string& key = "");
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path; "https://localhost:PORT"
    // for TLS.
    std::string Url(const std::string& path) const;
    // Requests answered so far.
    int Requests() const { return m_requests; }
    // The User-Agent header of the last request.
    std::string LastUserAgent();
    // "VERSION AGENT" of every request so far ("HTTP/1.0 Online").
    std::vector<std::string> Heard();
    // The body of every /file/ path (a program to download, say).
    void SetFile(const std::string& body);

private:
    void AcceptLoop();
    void Serve(std::intptr_t connection);

    std::intptr_t m_listener;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::vector<std::thread> m_workers;
    std::string m_userAgent;
    std::vector<std::string> m_heard;
    std::string m_file;
    void* m_tls = nullptr;  // the SSL_CTX when it speaks TLS
    std::thread m_acceptor;
};

}  // namespace online_test
