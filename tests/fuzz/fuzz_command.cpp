// The command rules on any command and temporary folder: a download always
// lands directly in the temporary folder, under a name a file can have; a
// working folder is a beginning of the path; a command line with a blank
// comes quoted.
#include "catalog/command.h"
#include "fuzz_support.h"

namespace {
const unsigned kPages[] = {1252, 932, 936, 949, 950};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const platform::CodePage page(kPages[data[0] % (sizeof kPages / sizeof kPages[0])]);
    const std::vector<std::string> parts = fuzz::Parts(data + 1, size - 1, 2);
    const std::string& cmd = parts[0];
    const std::string& temp = parts[1];

    const command::Kind kind = command::Classify(cmd, page);
    if (kind == command::Kind::Download || kind == command::Kind::Shell)
        fuzz::Check(command::IsAddress(cmd, page), "a download or shell command is an address");

    std::string folder = temp.substr(0, temp.find('\0'));
    if (folder.empty()) folder = "C:";
    if (!command::EndsWithBackslash(folder, page)) folder += '\\';
    const std::string dest = command::DownloadDestination(temp, cmd, page);
    fuzz::Check(dest.compare(0, folder.size(), folder) == 0,
                "a download goes to the temporary folder");
    const std::string name = dest.substr(folder.size());
    for (size_t at = 0; at < name.size();) {
        const size_t n = page.CharLength(name, at);
        if (n == 1) {
            const unsigned char b = static_cast<unsigned char>(name[at]);
            fuzz::Check(b >= 0x20 && std::string("\\/:*?\"<>|").find(name[at]) == std::string::npos,
                        "the file name holds no separator nor reserved character");
        }
        at += n;
    }
    if (kind == command::Kind::Download)
        fuzz::Check(!name.empty() && name != "." && name != "..",
                    "a download has a file name of its own");

    const std::string working = command::WorkingFolder(cmd, page);
    if (!working.empty())
        fuzz::Check(cmd.compare(0, working.size(), working) == 0 ||
                        (working.size() == 3 && cmd.compare(0, 2, working, 0, 2) == 0),
                    "the working folder begins the path");
    const std::string line = command::CommandLine(cmd);
    if (cmd.find_first_of(" \t") != std::string::npos)
        fuzz::Check(line == "\"" + cmd + "\"", "a path with a blank is quoted");
    command::LaunchFailureText(cmd.c_str(), size);
    return 0;
}
