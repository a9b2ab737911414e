// Picture files an author puts on a medium, as far as their bytes tell
// before anything is decoded: the kind, the size, and whether the file is
// whole. The menu looks before it decodes (so that no file can make it
// decode a huge picture or a broken one), and the checker tells the author
// the same. Both builds compile this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The largest file the menu reads as a picture or an icon.
const std::uint64_t kMostPictureBytes = 16u << 20;
// The largest side, in pixels, of a picture the menu decodes (a picture 16
// times the largest frame it fills is far more than any display needs).
const int kMostPictureSide = 4096;
// The largest image an icon file may hold (the format's own limit).
const int kMostIconSide = 256;

enum class PictureKind { Unknown, Png, Jpeg, Bmp, Icon };

struct PictureFacts {
    PictureKind kind = PictureKind::Unknown;
    int width = 0, height = 0;  // of an icon file: its largest image
    // Empty when the menu can use the file; else what is wrong with it, in
    // words that finish "the file ...": "is cut short", "is not a PNG, JPEG
    // or BMP picture".
    std::string problem;
};

// A PNG, JPEG or BMP picture: its kind and size, and a problem when it is
// none of these, is damaged or cut short (PNG: every chunk whole with its
// checksum, up to the end chunk; JPEG: a frame, a scan and the end marker;
// BMP: the pixels the header announces), or is larger than
// kMostPictureSide on a side.
PictureFacts InspectPicture(const std::string& bytes);

// One image of an icon file.
struct IconImage {
    int size = 0;       // its width in pixels
    int bits = 0;       // colour depth; 32 for a PNG image
    std::size_t offset = 0, length = 0;  // where its bytes are in the file
};

// An icon file (.ico): its images, and a problem when it is no icon file,
// holds no image, or an image is damaged or larger than kMostIconSide.
PictureFacts InspectIcon(const std::string& bytes, std::vector<IconImage>* images = nullptr);

// Of `images`, the one to show at `size` pixels: that size, else the next
// larger one (drawn smaller), else the largest; the deepest colours among
// equals. -1 when there is none.
int ChooseIconImage(const std::vector<IconImage>& images, int size);

enum class FileRead { Read, Missing, Folder, TooLarge, Unreadable };

// The whole of the file at `path` (the program's path form) in `bytes`,
// unless it is missing, a folder, larger than `most` bytes (then nothing of
// it is read) or cannot be read. `size`, when given, receives its size.
FileRead ReadWholeFile(const std::string& path, std::uint64_t most, std::string& bytes,
                       std::uint64_t* size = nullptr);

// The CRC-32 of PNG chunks (and of zip and gzip).
std::uint32_t Crc32(const void* data, std::size_t length);

}  // namespace platform
