// Resampling pictures to the display's scale and laying one over another.
#include "platform/pixels.h"

#include <gtest/gtest.h>

namespace {

platform::Pixels Make(int w, int h, std::vector<uint32_t> argb) {
    platform::Pixels p;
    p.width = w;
    p.height = h;
    p.argb = std::move(argb);
    return p;
}

TEST(Pixels, ResampleAveragesTheAreaEachPixelCovers) {
    const uint32_t k = 0xFF000000u;  // opaque black
    const uint32_t w = 0xFFFFFFFFu;  // opaque white
    struct {
        const char* what;
        platform::Pixels from;
        int width, height;
        std::vector<uint32_t> want;
        bool fill = false;  // FillFrame: cut to the frame's proportions first
    } cases[] = {
        {"same size", Make(2, 1, {k, w}), 2, 1, {k, w}},
        {"halved", Make(4, 1, {k, k, w, w}), 2, 1, {k, w}},
        {"two into one", Make(2, 1, {k, w}), 1, 1, {0xFF808080u}},
        // 3 -> 2: each result pixel covers one and a half source pixels.
        {"three into two", Make(3, 1, {k, w, k}), 2, 1, {0xFF555555u, 0xFF555555u}},
        {"both axes", Make(2, 2, {k, w, w, w}), 1, 1, {0xFFBFBFBFu}},
        // Each channel on its own, alpha too.
        {"channels", Make(2, 1, {0x00FF0000u, 0xFF0000FFu}), 1, 1, {0x80800080u}},
        {"doubled", Make(2, 1, {k, w}), 4, 1, {k, k, w, w}},
        {"to nothing", Make(2, 1, {k, w}), 0, 1, {}},
        {"from nothing", Make(0, 0, {}), 2, 2, {}},
        {"pixels missing", Make(2, 2, {k}), 1, 1, {}},
        {"wider: the middle kept", Make(3, 1, {k, w, k}), 1, 1, {w}, true},
        {"taller: the middle kept", Make(1, 4, {k, w, w, k}), 1, 1, {w}, true},
        {"cut, then halved", Make(6, 2, {k, w, w, k, k, w, k, w, w, k, k, w}), 2, 1, {w, k}, true},
        {"transparent on white", Make(2, 1, {0x00000000u, 0x80000000u}), 2, 1,
         {w, 0xFF7F7F7Fu}, true},
        {"fill from nothing", Make(0, 0, {}), 2, 2, {}, true},
    };
    for (auto& c : cases) {
        const platform::Pixels out = c.fill ? platform::FillFrame(c.from, c.width, c.height)
                                            : platform::Resample(c.from, c.width, c.height);
        EXPECT_EQ(out.argb, c.want) << c.what;
        if (!c.want.empty()) {
            EXPECT_EQ(out.width, c.width) << c.what;
            EXPECT_EQ(out.height, c.height) << c.what;
        }
    }
}

TEST(Pixels, ResampleKeepsAnEvenColourAndTheEdges) {
    // A large even picture scaled by an odd factor stays that colour to the
    // last row and column: no band, no darkened edge.
    platform::Pixels from = Make(660, 300, std::vector<uint32_t>(660 * 300, 0xFF2563EBu));
    const platform::Pixels out = platform::Resample(from, 550, 250);
    ASSERT_EQ(out.argb.size(), 550u * 250u);
    for (uint32_t p : out.argb) ASSERT_EQ(p, 0xFF2563EBu);
}

TEST(Pixels, OverlayReplacesWhereTheUpperPictureIsNotTransparent) {
    platform::Pixels base = Make(3, 2, {1, 2, 3, 4, 5, 6});
    // Smaller than the base; alpha 0 keeps the pixel beneath.
    const platform::Pixels over = Make(2, 2, {0xFF0000AAu, 0x000000BBu, 0x01000000u, 0});
    platform::Overlay(base, over);
    EXPECT_EQ(base.argb, (std::vector<uint32_t>{0xFF0000AAu, 2, 3, 0x01000000u, 5, 6}));
    // A larger one is cut to the base.
    platform::Pixels small = Make(1, 1, {7});
    platform::Overlay(small, Make(2, 2, {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u}));
    EXPECT_EQ(small.argb, (std::vector<uint32_t>{0xFF000001u}));
}

}  // namespace
