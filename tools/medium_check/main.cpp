// medium-check: shows a medium's menu, page by page, and what is wrong with
// it, before the medium ships.
#include "tools/medium_check/check.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    const int status = medium_check::Run(args, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    std::fflush(stdout);
    return status;
}
