#include "tools/medium_common/options.h"

namespace medium_common {

bool CommandLine::Has(const std::string& name) const {
    return values.count(name) != 0 || switches.count(name) != 0;
}

std::string CommandLine::Value(const std::string& name, const std::string& otherwise) const {
    const auto it = values.find(name);
    return it == values.end() ? otherwise : it->second;
}

std::string ParseCommandLine(const std::vector<std::string>& args,
                             const std::vector<OptionSpec>& specs, size_t maxOperands,
                             const std::string& operand, CommandLine& line) {
    const auto find = [&](const std::string& name) -> const OptionSpec* {
        for (const OptionSpec& s : specs)
            if (name == s.name) return &s;
        return nullptr;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        const OptionSpec* spec = find(arg);
        bool haveValue = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            spec = find(arg);
            haveValue = true;
        } else if (spec && spec->kind == OptionKind::Value) {
            if (i + 1 == args.size()) return arg + " needs a value";
            value = args[++i];
            haveValue = true;
        }
        if (spec) {
            switch (spec->kind) {
                case OptionKind::Help:
                    line.help = true;
                    return std::string();
                case OptionKind::Switch:
                    line.switches.insert(arg);
                    break;
                case OptionKind::Value:
                    if (haveValue) line.values[arg] = value;
                    break;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (line.operands.size() < maxOperands) {
            line.operands.push_back(arg);
        } else {
            return "one " + operand + " at a time (" + line.operands.front() + ", " + arg + ")";
        }
    }
    return std::string();
}

}  // namespace medium_common
