// Picture and icon files a medium names, whatever their bytes: looking at
// them never reads outside the file, a file found whole has a size within
// the bounds, and the icon image chosen is one of the file's, within it.
#include "fuzz_support.h"
#include "platform/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const platform::PictureFacts picture = platform::InspectPicture(bytes);
    if (picture.problem.empty()) {
        fuzz::Check(picture.kind != platform::PictureKind::Unknown, "a whole picture has a kind");
        fuzz::Check(picture.width >= 1 && picture.width <= platform::kMostPictureSide &&
                        picture.height >= 1 && picture.height <= platform::kMostPictureSide,
                    "a whole picture's size is within the bounds");
    }

    std::vector<platform::IconImage> images;
    const platform::PictureFacts icon = platform::InspectIcon(bytes, &images);
    if (!icon.problem.empty()) return 0;
    fuzz::Check(!images.empty(), "a whole icon file has an image");
    for (const platform::IconImage& image : images)
        fuzz::Check(image.size >= 1 && image.size <= platform::kMostIconSide &&
                        image.offset <= bytes.size() && image.length <= bytes.size() - image.offset,
                    "every image lies within the file and the bounds");
    for (int want : {16, 32, 48, 300}) {
        const int chosen = platform::ChooseIconImage(images, want);
        fuzz::Check(chosen >= 0 && static_cast<size_t>(chosen) < images.size(),
                    "the image chosen is one of the file's");
    }
    return 0;
}
