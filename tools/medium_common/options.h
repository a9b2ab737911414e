// The command lines of the authors' tools: options written "--name value",
// "--name=value" or "-x value", switches, help, and the operands among them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace medium_common {

enum class OptionKind {
    Switch,  // given or not
    Value,   // takes the next argument, or what follows "=" in "--name=value"
    Help,    // asks for the usage: the rest is not read
};

struct OptionSpec {
    const char* name;  // "--label", "-o", "/?"
    OptionKind kind;
};

struct CommandLine {
    bool help = false;
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;  // the last value of each option given
    std::set<std::string> switches;

    bool Has(const std::string& name) const;
    // The option's value; `otherwise` when it was not given.
    std::string Value(const std::string& name, const std::string& otherwise = "") const;
};

// Reads `args` (without the program's name) in order, and stops at the
// first of: a help option (`line.help` set), an option without its value
// ("-o needs a value"), an option `specs` does not name ("unknown option
// --x"), an operand past `maxOperands` ("one medium folder at a time (a, b)",
// with `operand` naming it). Returns that error; empty when there is none.
// An argument of one character, or one that does not begin with '-', is an
// operand.
std::string ParseCommandLine(const std::vector<std::string>& args,
                             const std::vector<OptionSpec>& specs, size_t maxOperands,
                             const std::string& operand, CommandLine& line);

}  // namespace medium_common
