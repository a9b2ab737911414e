#include "platform/pixels.h"

#include <algorithm>

namespace platform {

namespace {

// For one axis: which source pixels each result pixel covers, with weights
// in units of 1/(n * m) of a pixel so that the sums stay exact integers.
struct Span {
    int first;
    std::vector<uint32_t> weights;
};

std::vector<Span> Spans(int from, int to) {
    // Result pixel i covers [i * from, (i + 1) * from) in units where a
    // source pixel is `to` long.
    std::vector<Span> spans(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        const int64_t begin = static_cast<int64_t>(i) * from;
        const int64_t end = begin + from;
        Span& s = spans[static_cast<size_t>(i)];
        s.first = static_cast<int>(begin / to);
        for (int64_t p = s.first; p * to < end; ++p) {
            const int64_t lo = std::max(begin, p * to);
            const int64_t hi = std::min(end, (p + 1) * to);
            s.weights.push_back(static_cast<uint32_t>(hi - lo));
        }
    }
    return spans;
}

}  // namespace

Pixels Resample(const Pixels& from, int width, int height) {
    Pixels out;
    if (from.Empty() || width <= 0 || height <= 0) return out;
    if (from.argb.size() != static_cast<size_t>(from.width) * from.height) return out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<size_t>(width) * height);
    const std::vector<Span> xs = Spans(from.width, width);
    const std::vector<Span> ys = Spans(from.height, height);
    // Every result pixel's weights add up to from.width * from.height.
    const uint64_t total = static_cast<uint64_t>(from.width) * from.height;
    for (int y = 0; y < height; ++y) {
        const Span& sy = ys[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Span& sx = xs[static_cast<size_t>(x)];
            uint64_t sum[4] = {0, 0, 0, 0};
            for (size_t j = 0; j < sy.weights.size(); ++j) {
                const uint32_t* row = &from.argb[static_cast<size_t>(sy.first + j) * from.width];
                for (size_t i = 0; i < sx.weights.size(); ++i) {
                    const uint64_t w = static_cast<uint64_t>(sy.weights[j]) * sx.weights[i];
                    const uint32_t p = row[sx.first + i];
                    for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                }
            }
            uint32_t p = 0;
            for (int c = 0; c < 4; ++c)
                p |= static_cast<uint32_t>((sum[c] + total / 2) / total) << (8 * c);
            out.argb[static_cast<size_t>(y) * width + x] = p;
        }
    }
    return out;
}

Area CoverArea(int width, int height, int frameWidth, int frameHeight) {
    Area a;
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) return a;
    const int64_t wide = static_cast<int64_t>(width) * frameHeight;
    const int64_t tall = static_cast<int64_t>(height) * frameWidth;
    a.width = width, a.height = height;
    // Rounded to the nearest pixel, never below one.
    if (wide > tall)
        a.width = static_cast<int>(std::max<int64_t>(1, (tall + frameHeight / 2) / frameHeight));
    else if (tall > wide)
        a.height = static_cast<int>(std::max<int64_t>(1, (wide + frameWidth / 2) / frameWidth));
    a.left = (width - a.width) / 2;
    a.top = (height - a.height) / 2;
    return a;
}

Pixels FillFrame(const Pixels& from, int width, int height) {
    if (from.Empty() || from.argb.size() != static_cast<size_t>(from.width) * from.height)
        return Pixels();
    const Area a = CoverArea(from.width, from.height, width, height);
    Pixels cut;
    cut.width = a.width;
    cut.height = a.height;
    cut.argb.reserve(static_cast<size_t>(a.width) * a.height);
    for (int y = a.top; y < a.top + a.height; ++y)
        for (int x = a.left; x < a.left + a.width; ++x) {
            const uint32_t p = from.At(x, y);
            const uint32_t alpha = p >> 24;
            uint32_t q = 0xFF000000u;
            for (int c = 0; c < 24; c += 8) {
                const uint32_t v = (p >> c) & 0xFF;
                q |= ((v * alpha + 255 * (255 - alpha) + 127) / 255) << c;
            }
            cut.argb.push_back(q);
        }
    if (cut.width == width && cut.height == height) return cut;
    return Resample(cut, width, height);
}

void Overlay(Pixels& base, const Pixels& over) {
    const int w = std::min(base.width, over.width);
    const int h = std::min(base.height, over.height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = over.At(x, y);
            if (p >> 24) base.argb[static_cast<size_t>(y) * base.width + x] = p;
        }
}

}  // namespace platform
