// Pictures as plain pixels, and the two things the program does with them:
// resampling to another size and laying a partly transparent picture over
// another. Both builds compile this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Rows from the top, each pixel 0xAARRGGBB (the order of a 32-bit DIB).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    bool Empty() const { return width <= 0 || height <= 0; }
    uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// `from` at `width` x `height`: each result pixel the average of the source
// area it covers, weighted by how much of each source pixel lies inside
// (no ringing, no lost lines when scaling down). Alpha is averaged like the
// colours. Empty when either picture would be empty.
Pixels Resample(const Pixels& from, int width, int height);

// The part of a `width` x `height` picture that fills a frame of
// `frameWidth` x `frameHeight` without changing its proportions: the
// largest centred rectangle of the frame's proportions (what is left and
// right of it, or above and below, is cut off).
struct Area {
    int left = 0, top = 0, width = 0, height = 0;
};
Area CoverArea(int width, int height, int frameWidth, int frameHeight);

// `from` made to fill `width` x `height` exactly: laid on white where it is
// transparent, cut to CoverArea and resampled. Opaque. Empty when either
// picture would be empty.
Pixels FillFrame(const Pixels& from, int width, int height);

// Lays `over` on `base` at the top left: each pixel of `over` whose alpha is
// not 0 replaces the one beneath. Parts outside `base` are left out.
void Overlay(Pixels& base, const Pixels& over);

}  // namespace platform
