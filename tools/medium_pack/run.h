// Running the programs medium-pack leaves work to (xorriso, osslsigncode):
// without a shell, from an argument vector.
#pragma once

#include <string>
#include <vector>

namespace medium_pack {

// Runs `program` (found through PATH) with `args` and waits for it. What
// it prints goes to the file `log`; its standard input is `input`, through
// a pipe (a password, which no other process can read there), at most
// kLargestInput bytes. With `seconds`, it is stopped when it has not
// finished by then. Empty when it exited with 0; else the reason, with the
// end of what it said.
std::string RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& log, const std::string& input = std::string(),
                       unsigned seconds = 0);

const size_t kLargestInput = 4096;

}  // namespace medium_pack
