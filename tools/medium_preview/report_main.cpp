// medium-preview-report: the host side of tools/medium-preview.
#include "tools/medium_preview/preview.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string out, err;
    const int status = medium_preview::Main(std::vector<std::string>(argv + 1, argv + argc), out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
