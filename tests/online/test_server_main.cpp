// Runs the loopback test server on its own, for the benchmark, the TLS suite
// and for trying things by hand: prints the port of each server, one a line,
// then serves until its input closes.
// Usage: online_server [PORT]
//        online_server --tls CERT KEY [--tls CERT KEY ...]
//   With --tls: a plain server first, then one TLS server for each pair
//   (certificate chain and key, PEM).
#include "test_server.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    using online_test::TestServer;
    std::vector<std::unique_ptr<TestServer>> servers;
    try {
        if (argc > 1 && std::strcmp(argv[1], "--tls") == 0) {
            servers.emplace_back(new TestServer());
            for (int i = 1; i + 2 < argc && std::strcmp(argv[i], "--tls") == 0; i += 3)
                servers.emplace_back(new TestServer(0, argv[i + 1], argv[i + 2]));
        } else {
            servers.emplace_back(new TestServer(argc > 1 ? std::atoi(argv[1]) : 0));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "online_server: %s\n", e.what());
        return 1;
    }
    for (const auto& server : servers) std::printf("%d\n", server->Port());
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
