#include "tools/medium_check/manifest.h"

#include "platform/system.h"

#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

namespace medium_check {
namespace {

const std::uint32_t kManifestType = 24;     // RT_MANIFEST
const std::uint32_t kProcessManifest = 1;   // the one Windows reads for a process
const unsigned kMostSections = 96;          // what Windows loads at most
const std::size_t kLargestManifest = 1 << 20;
const std::size_t kDeepestElement = 256;
const std::uint32_t kHighBit = 0x80000000u;

std::uint32_t U16(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8);
}
std::uint32_t U32(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

// The sections of a program, to find where an address of the loaded image
// (an RVA) lies in the file.
class Image {
public:
    explicit Image(const ReadAt& read) : m_read(read) {}

    // Reads the headers; false for a file that is no PE program.
    bool Open(std::uint32_t& resources) {
        char dos[64];
        if (!m_read(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
        const std::uint32_t pe = U32(dos + 0x3C);
        char head[24];  // the signature and the file header
        if (!m_read(pe, sizeof head, head) || std::string(head, 4) != std::string("PE\0\0", 4))
            return false;
        const unsigned sections = U16(head + 6);
        const std::uint32_t optionalSize = U16(head + 20);
        std::vector<char> optional(optionalSize);
        if (sections > kMostSections ||
            !m_read(std::uint64_t(pe) + 24, optionalSize, optional.data()))
            return false;
        // The data directories follow the fields of PE32 or of PE32+; the
        // resources are the third.
        const std::uint32_t magic = optionalSize >= 2 ? U16(optional.data()) : 0;
        const std::uint32_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
        if (!directories || optionalSize < directories + 3 * 8 ||
            U32(optional.data() + directories - 4) < 3)
            return false;
        resources = U32(optional.data() + directories + 16);
        m_sections.resize(sections * 40u);
        return resources != 0 &&
               m_read(std::uint64_t(pe) + 24 + optionalSize, m_sections.size(), m_sections.data());
    }

    // Reads `size` bytes of the image at `rva`, all from one section.
    bool Read(std::uint64_t rva, std::size_t size, char* out) const {
        for (std::size_t s = 0; s + 40 <= m_sections.size(); s += 40) {
            const char* h = m_sections.data() + s;
            const std::uint64_t start = U32(h + 12), raw = U32(h + 16), at = U32(h + 20);
            if (rva >= start && rva - start <= raw && size <= raw - (rva - start))
                return m_read(at + (rva - start), size, out);
        }
        return false;
    }

private:
    const ReadAt& m_read;
    std::vector<char> m_sections;
};

// The entry of a resource directory (at `directory`, an offset into the
// resources) whose id is `id`, or its first entry for kFirst: what the
// entry points at.
const std::uint32_t kFirst = kHighBit;
bool DirectoryEntry(const Image& image, std::uint32_t resources, std::uint32_t directory,
                    std::uint32_t id, std::uint32_t& target) {
    char head[16];
    const std::uint64_t at = std::uint64_t(resources) + directory;
    if (!image.Read(at, sizeof head, head)) return false;
    const std::size_t count = U16(head + 12) + U16(head + 14);
    std::vector<char> entries(count * 8);
    if (!image.Read(at + sizeof head, entries.size(), entries.data())) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t name = U32(entries.data() + i * 8);
        if (id == kFirst || name == id) {
            target = U32(entries.data() + i * 8 + 4);
            return true;
        }
    }
    return false;
}

// The manifest's text with its byte order mark read: UTF-16 becomes bytes,
// each character beyond ASCII a "?" (only names and quotes matter here).
std::string AsBytes(const std::string& raw) {
    if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) return raw.substr(3);
    const bool little = raw.compare(0, 2, "\xFF\xFE") == 0;
    if (!little && raw.compare(0, 2, "\xFE\xFF") != 0) return raw;
    std::string text;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
        const unsigned char a = raw[i], b = raw[i + 1];
        const unsigned c = little ? a | b << 8 : b | a << 8;
        text += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return text;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// An element's name without its namespace prefix.
std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Walks the manifest as an XML document: comments, processing
// instructions, a declaration before the root, CDATA, elements with quoted
// attributes that close in order, one root, nothing but blanks outside it.
// Gives the level of the first requestedExecutionLevel; false when the text
// is no well-formed document.
bool ReadLevel(std::string_view xml, std::string& level) {
    std::vector<std::string_view> open;
    bool rooted = false;
    const std::size_t n = xml.size(), npos = std::string_view::npos;
    std::size_t i = 0;
    const auto skipTo = [&](std::string_view end, std::size_t from) {
        const std::size_t e = xml.find(end, from);
        if (e == npos) return false;
        i = e + end.size();
        return true;
    };
    while (i < n) {
        if (xml[i] != '<') {
            if (open.empty() && !Blank(xml[i])) return false;
            ++i;
            continue;
        }
        if (xml.compare(i, 4, "<!--") == 0) {
            if (!skipTo("-->", i + 4)) return false;
        } else if (xml.compare(i, 2, "<?") == 0) {
            if (!skipTo("?>", i + 2)) return false;
        } else if (xml.compare(i, 9, "<![CDATA[") == 0) {
            if (open.empty() || !skipTo("]]>", i + 9)) return false;
        } else if (xml.compare(i, 2, "<!") == 0) {
            if (rooted || !skipTo(">", i + 2)) return false;
        } else {
            const bool closing = xml.compare(i, 2, "</") == 0;
            std::size_t j = i + (closing ? 2 : 1);
            const auto word = [&] {
                const std::size_t from = j;
                while (j < n && !Blank(xml[j]) && !std::strchr("<>/=\"'", xml[j]))
                    ++j;
                return xml.substr(from, j - from);
            };
            const auto blanks = [&] {
                while (j < n && Blank(xml[j])) ++j;
            };
            const std::string_view name = word();
            if (name.empty()) return false;
            if (closing) {
                blanks();
                if (j >= n || xml[j] != '>' || open.empty() || open.back() != name) return false;
                open.pop_back();
                i = j + 1;
                continue;
            }
            if (open.empty() && rooted) return false;  // a second root
            rooted = true;
            for (;;) {
                blanks();
                if (j >= n) return false;
                if (xml[j] == '>') {
                    open.push_back(name);
                    ++j;
                    break;
                }
                if (xml.compare(j, 2, "/>") == 0) {
                    j += 2;
                    break;
                }
                const std::string_view attribute = word();
                blanks();
                if (attribute.empty() || j >= n || xml[j] != '=') return false;
                ++j;
                blanks();
                if (j >= n || (xml[j] != '"' && xml[j] != '\'')) return false;
                const std::size_t end = xml.find(xml[j], j + 1);
                if (end == npos) return false;
                const std::string_view value = xml.substr(j + 1, end - j - 1);
                if (value.find('<') != npos) return false;
                if (level.empty() && attribute == "level" &&
                    LocalName(name) == "requestedExecutionLevel")
                    level.assign(value);
                j = end + 1;
                if (j < n && !Blank(xml[j]) && xml[j] != '>' && xml[j] != '/') return false;
            }
            if (open.size() > kDeepestElement) return false;
            i = j;
        }
    }
    return rooted && open.empty();
}

}  // namespace

bool ProgramManifest(const ReadAt& read, std::string& manifest) {
    Image image(read);
    std::uint32_t resources = 0, types = 0, names = 0, language = 0;
    // Type, id and language: the first two are directories, the last the
    // data's place and size.
    if (!image.Open(resources) ||
        !DirectoryEntry(image, resources, 0, kManifestType, types) || !(types & kHighBit) ||
        !DirectoryEntry(image, resources, types & ~kHighBit, kProcessManifest, names) ||
        !(names & kHighBit) ||
        !DirectoryEntry(image, resources, names & ~kHighBit, kFirst, language) ||
        (language & kHighBit))
        return false;
    char data[16];
    if (!image.Read(std::uint64_t(resources) + language, sizeof data, data)) return false;
    const std::uint32_t size = U32(data + 4);
    if (size > kLargestManifest) return false;
    manifest.assign(size, '\0');
    return image.Read(U32(data), size, &manifest[0]);
}

Elevation ManifestElevation(const std::string& manifest) {
    std::string xml = AsBytes(manifest);
    // A resource may end in NULs after the text.
    while (!xml.empty() && xml.back() == '\0') xml.pop_back();
    if (xml.find_first_not_of(" \t\r\n") == std::string::npos) return Elevation::None;
    std::string level;
    if (!ReadLevel(xml, level)) return Elevation::Broken;
    if (level == "requireAdministrator") return Elevation::Administrator;
    if (level == "highestAvailable") return Elevation::Highest;
    return Elevation::None;
}

Elevation ProgramElevation(const std::string& path) {
    std::ifstream file(platform::NativePath(path), std::ios::binary);
    if (!file) return Elevation::None;
    const ReadAt read = [&file](std::uint64_t offset, std::size_t size, char* out) {
        file.clear();
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(out, static_cast<std::streamsize>(size));
        return !file.fail() && static_cast<std::size_t>(file.gcount()) == size;
    };
    std::string manifest;
    return ProgramManifest(read, manifest) ? ManifestElevation(manifest) : Elevation::None;
}

const char* ElevationLevel(Elevation elevation) {
    switch (elevation) {
    case Elevation::Administrator: return "requireAdministrator";
    case Elevation::Highest: return "highestAvailable";
    case Elevation::None:
    case Elevation::Broken: break;
    }
    return "";
}

}  // namespace medium_check
