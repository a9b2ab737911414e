#include "tools/medium_pack/image.h"

#include "platform/unicode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace medium_pack {
namespace {

const size_t kSector = 2048;
const size_t kFirstDescriptor = 16;  // the sector of the first volume descriptor
const size_t kMostDescriptors = 64;  // far more than any image has before its terminator

std::string Reason() { return std::strerror(errno); }

std::string TrimEnd(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

// "=" and "\" escaped, as -graft-points reads a path.
std::string GraftEscaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' || c == '=') out += '\\';
        out += c;
    }
    return out;
}

// A word in single quotes; a single quote itself in double quotes between.
std::string Quoted(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\"'\"'") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string WriteWhole(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return "cannot write " + path + ": " + Reason();
    std::string failed;
    for (size_t done = 0; done < bytes.size() && failed.empty();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failed = "cannot write " + path + ": " + (n < 0 ? Reason() : "nothing written");
        else done += static_cast<size_t>(n);
    }
    if (close(fd) != 0 && failed.empty()) failed = "cannot write " + path + ": " + Reason();
    return failed;
}

std::string Flush(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "cannot write " + path + ": " + Reason();
    std::string failed;
    if (fsync(fd) != 0) failed = "cannot write " + path + ": " + Reason();
    if (close(fd) != 0 && failed.empty()) failed = "cannot write " + path + ": " + Reason();
    return failed;
}

std::string PathList(const std::vector<Graft>& grafts) {
    std::string list;
    for (const Graft& g : grafts)
        list += Quoted(GraftEscaped(g.onDisc) + "=" + GraftEscaped(g.from)) + "\n";
    return list;
}

bool ReadLabels(const std::string& path, ImageLabels& labels) {
    std::ifstream in(path, std::ios::binary);
    labels = ImageLabels();
    bool primary = false;
    for (size_t i = 0; i < kMostDescriptors; ++i) {
        std::string sector(kSector, '\0');
        in.seekg(static_cast<std::streamoff>((kFirstDescriptor + i) * kSector));
        if (!in.read(&sector[0], kSector) || sector.compare(1, 5, "CD001") != 0 || sector[6] != 1)
            break;
        const unsigned char type = static_cast<unsigned char>(sector[0]);
        const std::string id = sector.substr(40, 32);
        if (type == 1 && !primary) {
            primary = true;
            labels.volume = TrimEnd(id);
        } else if (type == 2 && sector[88] == '%' && sector[89] == '/' &&
                   (sector[90] == '@' || sector[90] == 'C' || sector[90] == 'E')) {
            std::u32string text = unicode::FromUtf16(id, true);
            while (!text.empty() && (text.back() == U' ' || text.back() == 0)) text.pop_back();
            labels.joliet = unicode::ToUtf8(text);
        } else if (type == 255) {
            break;
        }
        if (i == 0 && !primary) break;  // the first one is the primary
    }
    return primary;
}

}  // namespace medium_pack
