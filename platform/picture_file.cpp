#include "platform/picture_file.h"

#include "platform/system.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace platform {

namespace {

const char kNotAPicture[] = "is not a PNG, JPEG or BMP picture";
const char kCutShort[] = "is cut short";
const char kDamaged[] = "is damaged";

std::uint32_t Big32(const std::string& b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) | (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint8_t(b[at + 3]);
}
unsigned Big16(const std::string& b, std::size_t at) {
    return (unsigned(std::uint8_t(b[at])) << 8) | std::uint8_t(b[at + 1]);
}
std::uint32_t Little32(const std::string& b, std::size_t at) {
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 16) | (std::uint32_t(std::uint8_t(b[at + 3])) << 24);
}
unsigned Little16(const std::string& b, std::size_t at) {
    return std::uint8_t(b[at]) | (unsigned(std::uint8_t(b[at + 1])) << 8);
}

PictureFacts Facts(PictureKind kind, long long width, long long height, const char* problem = "") {
    PictureFacts f;
    f.kind = kind;
    f.width = width > 0 && width <= INT32_MAX ? static_cast<int>(width) : 0;
    f.height = height > 0 && height <= INT32_MAX ? static_cast<int>(height) : 0;
    f.problem = problem;
    if (f.problem.empty() && (width > kMostPictureSide || height > kMostPictureSide)) {
        // Formatted here rather than with std::to_string, which is large in
        // the program.
        char text[96];
        std::snprintf(text, sizeof text, "is %lu x %lu pixels, more than the %d a side the menu decodes",
                      static_cast<unsigned long>(width), static_cast<unsigned long>(height),
                      kMostPictureSide);
        f.problem = text;
    }
    return f;
}

PictureFacts InspectPng(const std::string& b) {
    // The header chunk comes first, whole.
    if (b.size() < 33) return Facts(PictureKind::Png, 0, 0, kCutShort);
    if (Big32(b, 8) != 13 || b.compare(12, 4, "IHDR") != 0)
        return Facts(PictureKind::Png, 0, 0, kDamaged);
    const long long width = Big32(b, 16), height = Big32(b, 20);
    if (width == 0 || height == 0) return Facts(PictureKind::Png, width, height, kDamaged);
    PictureFacts size = Facts(PictureKind::Png, width, height);
    if (!size.problem.empty()) return size;  // not worth reading further
    bool pixels = false;
    for (std::size_t at = 8;;) {
        if (b.size() - at < 12) return Facts(PictureKind::Png, width, height, kCutShort);
        const std::uint64_t length = Big32(b, at);
        if (length > b.size() - at - 12) return Facts(PictureKind::Png, width, height, kCutShort);
        const std::size_t end = at + 8 + static_cast<std::size_t>(length);
        if (Crc32(b.data() + at + 4, end - at - 4) != Big32(b, end))
            return Facts(PictureKind::Png, width, height, kDamaged);
        const std::string type = b.substr(at + 4, 4);
        if (type == "IDAT") pixels = true;
        if (type == "IEND") return Facts(PictureKind::Png, width, height, pixels ? "" : kDamaged);
        at = end + 4;
    }
}

bool IsFrameMarker(unsigned m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureFacts InspectJpeg(const std::string& b) {
    long long width = 0, height = 0;
    bool frame = false, scan = false;
    std::size_t at = 2;
    for (;;) {
        // A marker: 0xFF (any number of them), then its code.
        const std::size_t start = at;
        while (at < b.size() && std::uint8_t(b[at]) == 0xFF) ++at;
        if (at >= b.size()) return Facts(PictureKind::Jpeg, width, height, kCutShort);
        if (at == start) return Facts(PictureKind::Jpeg, width, height, kDamaged);
        const unsigned marker = std::uint8_t(b[at++]);
        if (marker == 0xD9)  // the end
            return Facts(PictureKind::Jpeg, width, height, frame && scan ? "" : kDamaged);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (b.size() - at < 2) return Facts(PictureKind::Jpeg, width, height, kCutShort);
        const std::size_t length = Big16(b, at);
        if (length < 2) return Facts(PictureKind::Jpeg, width, height, kDamaged);
        if (length > b.size() - at) return Facts(PictureKind::Jpeg, width, height, kCutShort);
        if (IsFrameMarker(marker) && !frame) {
            if (length < 7) return Facts(PictureKind::Jpeg, width, height, kDamaged);
            height = Big16(b, at + 3);
            width = Big16(b, at + 5);
            frame = true;
            if (width == 0 || height == 0) return Facts(PictureKind::Jpeg, width, height, kDamaged);
        }
        at += length;
        if (marker != 0xDA) continue;
        if (!frame) return Facts(PictureKind::Jpeg, width, height, kDamaged);
        scan = true;
        // The coded data, up to the next marker that is no restart marker
        // and no escaped 0xFF.
        for (;; ++at) {
            if (b.size() - at < 2) return Facts(PictureKind::Jpeg, width, height, kCutShort);
            if (std::uint8_t(b[at]) != 0xFF) continue;
            const unsigned next = std::uint8_t(b[at + 1]);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) continue;
            break;
        }
    }
}

PictureFacts InspectBmp(const std::string& b) {
    if (b.size() < 26) return Facts(PictureKind::Bmp, 0, 0, kCutShort);
    const std::uint64_t pixelsAt = Little32(b, 10);
    const std::uint32_t header = Little32(b, 14);
    long long width, height;
    unsigned bits, compression = 0;
    std::uint64_t colours = 0, entry = 4;  // the colour table
    if (header == 12) {  // the old core header
        width = Little16(b, 18);
        height = Little16(b, 20);
        bits = Little16(b, 24);
        entry = 3;
    } else if (header >= 40 && header <= 124) {
        if (b.size() < 14 + 40) return Facts(PictureKind::Bmp, 0, 0, kCutShort);
        width = static_cast<std::int32_t>(Little32(b, 18));
        height = static_cast<std::int32_t>(Little32(b, 22));
        if (height < 0) height = -height;  // rows from the top
        bits = Little16(b, 28);
        compression = Little32(b, 30);
        colours = Little32(b, 46);
    } else {
        return Facts(PictureKind::Bmp, 0, 0, kDamaged);
    }
    if (width <= 0 || height <= 0) return Facts(PictureKind::Bmp, width, height, kDamaged);
    PictureFacts size = Facts(PictureKind::Bmp, width, height);
    if (!size.problem.empty()) return size;
    const bool known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    // Run-length coded (1, 2) and the plain kinds (0, 3, 6); not the JPEG
    // or PNG held in a BMP (4, 5).
    if (!known || compression == 4 || compression == 5 || compression > 6)
        return Facts(PictureKind::Bmp, width, height, "is a BMP of a kind the menu does not read");
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    // The colour table lies between the header and the pixels.
    if (colours > 256 || pixelsAt < 14 + header + colours * entry)
        return Facts(PictureKind::Bmp, width, height, kDamaged);
    if (pixelsAt >= b.size()) return Facts(PictureKind::Bmp, width, height, kCutShort);
    // Coded runs: the coded size the header gives, within the file.
    if (compression == 1 || compression == 2) {
        const std::uint32_t coded = header == 12 ? 0 : Little32(b, 34);
        return coded != 0 && coded <= b.size() - pixelsAt
                   ? size
                   : Facts(PictureKind::Bmp, width, height, kCutShort);
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (pixelsAt + stride * static_cast<std::uint64_t>(height) > b.size())
        return Facts(PictureKind::Bmp, width, height, kCutShort);
    return size;
}

// One image of an icon file: a PNG, or a bitmap of twice the icon's height
// (the colours above the mask).
const char* InspectIconImage(const std::string& image, IconImage& out) {
    if (image.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        const PictureFacts png = InspectPng(image);
        if (!png.problem.empty()) return png.problem == kCutShort ? kCutShort : kDamaged;
        out.size = png.width;
        out.bits = 32;
        return png.width > kMostIconSide || png.height > kMostIconSide ? kDamaged : nullptr;
    }
    if (image.size() < 40) return kCutShort;
    const long long width = static_cast<std::int32_t>(Little32(image, 4));
    const long long height = static_cast<std::int32_t>(Little32(image, 8));
    const unsigned bits = Little16(image, 14);
    if (Little32(image, 0) != 40 || width <= 0 || width > kMostIconSide || height < 2 ||
        height > 2 * kMostIconSide)
        return kDamaged;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return kDamaged;
    std::uint64_t colours = Little32(image, 32);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    if (colours > 256) return kDamaged;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (40 + colours * 4 + stride * static_cast<std::uint64_t>(height / 2) > image.size())
        return kCutShort;
    out.size = static_cast<int>(width);
    out.bits = static_cast<int>(bits);
    return nullptr;
}

}  // namespace

PictureFacts InspectPicture(const std::string& bytes) {
    if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return InspectPng(bytes);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0) return InspectJpeg(bytes);
    if (bytes.compare(0, 2, "BM") == 0) return InspectBmp(bytes);
    return Facts(PictureKind::Unknown, 0, 0, kNotAPicture);
}

PictureFacts InspectIcon(const std::string& bytes, std::vector<IconImage>* images) {
    PictureFacts facts;
    if (bytes.size() < 6 || Little16(bytes, 0) != 0 || Little16(bytes, 2) != 1) {
        facts.problem = "is not an icon file (.ico)";
        return facts;
    }
    facts.kind = PictureKind::Icon;
    const unsigned count = Little16(bytes, 4);
    if (count == 0) {
        facts.problem = "holds no image";
        return facts;
    }
    if (bytes.size() < 6 + 16u * count) {
        facts.problem = kCutShort;
        return facts;
    }
    std::vector<IconImage> found;
    // The images lie side by side: together no larger than the file, so
    // that looking at them all reads it once at the most.
    std::uint64_t total = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16u * i;
        IconImage image;
        image.length = Little32(bytes, entry + 8);
        image.offset = Little32(bytes, entry + 12);
        if (image.offset > bytes.size() || image.length > bytes.size() - image.offset) {
            facts.problem = kCutShort;
            return facts;
        }
        total += image.length;
        if (total > bytes.size()) {
            facts.problem = kDamaged;
            return facts;
        }
        if (const char* problem =
                InspectIconImage(bytes.substr(image.offset, image.length), image)) {
            facts.problem = problem;
            return facts;
        }
        if (image.size > facts.width) facts.width = facts.height = image.size;
        found.push_back(image);
    }
    if (images) images->swap(found);
    return facts;
}

int ChooseIconImage(const std::vector<IconImage>& images, int size) {
    int best = -1;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (best < 0) {
            best = static_cast<int>(i);
            continue;
        }
        const IconImage& a = images[i];
        const IconImage& b = images[static_cast<std::size_t>(best)];
        // Exact first, then larger ones from the smallest, then smaller
        // ones from the largest.
        auto rank = [size](const IconImage& x) {
            if (x.size == size) return 0LL;
            if (x.size > size) return static_cast<long long>(x.size - size);
            return 1000000LL + (size - x.size);
        };
        if (rank(a) < rank(b) || (rank(a) == rank(b) && a.bits > b.bits))
            best = static_cast<int>(i);
    }
    return best;
}

FileRead ReadWholeFile(const std::string& path, std::uint64_t most, std::string& bytes,
                       std::uint64_t* size) {
    bytes.clear();
    if (size) *size = 0;
    if (path.empty() || path.size() >= 260) return FileRead::Missing;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return FileRead::Missing;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileRead::Folder;
    const std::uint64_t length = (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size) *size = length;
    if (length > most) return FileRead::TooLarge;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileRead::Unreadable;
    bytes.resize(static_cast<std::size_t>(length));
    DWORD got = 0;
    const bool read = length == 0 || (ReadFile(file, &bytes[0], static_cast<DWORD>(length), &got,
                                               nullptr) &&
                                      got == length);
    CloseHandle(file);
#else
    const std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return FileRead::Missing;
    if (S_ISDIR(st.st_mode)) return FileRead::Folder;
    const std::uint64_t length = static_cast<std::uint64_t>(st.st_size);
    if (size) *size = length;
    if (length > most) return FileRead::TooLarge;
    std::FILE* file = std::fopen(native.c_str(), "rb");
    if (!file) return FileRead::Unreadable;
    bytes.resize(static_cast<std::size_t>(length));
    const bool read = length == 0 || std::fread(&bytes[0], 1, bytes.size(), file) == length;
    std::fclose(file);
#endif
    if (!read) bytes.clear();
    return read ? FileRead::Read : FileRead::Unreadable;
}

std::uint32_t Crc32(const void* data, std::size_t length) {
    static std::uint32_t table[256];
    if (!table[1])
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    std::uint32_t crc = 0xFFFFFFFFu;
    const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace platform
