// What the authors' tools find wrong with a medium: the checker's findings,
// medium-pack's and medium-preview's alike.
#pragma once

#include <string>

namespace medium_common {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity;
    std::string code;     // the kind of finding, a fixed name for scripts
    std::string file;     // the file it comes from, relative to the medium
    unsigned line;        // its line in that file; 0 when it concerns no line
    std::string message;
};

}  // namespace medium_common
