// Runs the loopback test server on its own, for the benchmark and for trying
// things by hand: prints the port, then serves until its input closes.
// Usage: online_test_server [PORT]
#include "test_server.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    online_test::TestServer server(argc > 1 ? std::atoi(argv[1]) : 0);
    std::printf("%d\n", server.Port());
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
