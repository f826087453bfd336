#include "skin/floor/argb.h"

#include <gtest/gtest.h>

namespace {

TEST(ToArgb, SwapsRedAndBlueAndPutsAlphaOnTop) {
    EXPECT_EQ(skin::ToArgb(0x00FF8000u, 128), 0x800080FFu);
    EXPECT_EQ(skin::ToArgb(0x000000FFu, 255), 0xFFFF0000u);  // GDI red
    EXPECT_EQ(skin::ToArgb(0x00FF0000u, 255), 0xFF0000FFu);  // GDI blue
    EXPECT_EQ(skin::ToArgb(0x0000FF00u, 1), 0x0100FF00u);
}

TEST(ToArgb, OpaqueBlackAndTransparentWhite) {
    EXPECT_EQ(skin::ToArgb(0, 255), 0xFF000000u);
    EXPECT_EQ(skin::ToArgb(0x00FFFFFFu, 0), 0x00FFFFFFu);
}

TEST(ToArgb, IgnoresTheTopByteOfTheColourAndHighBitsOfAlpha) {
    // The "no colour" value never reaches drawing, but a stray top byte must not leak into the blue channel.
    EXPECT_EQ(skin::ToArgb(0xFFFFFFFFu, 255), 0xFFFFFFFFu);
    EXPECT_EQ(skin::ToArgb(0xAB123456u, 0x1FF), 0xFF563412u);
}

}  // namespace
