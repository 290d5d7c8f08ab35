#pragma once

#include "gui/GuiTypes.h"

// Numbers and contents of the test bitmaps (tests/gui/images, made by make-images.py).
constexpr int kKeyBitmapId = 101;     // 8 × 4: column pairs of keyColumn(0..3)
constexpr int kPatternBitmapId = 102; // 30 × 60: patternPixel(x, y)

inline GuiColor keyColumn(int pair)
{
    static const GuiColor columns[4] = {GuiColor(255, 255, 255), GuiColor(254, 255, 255),
                                        GuiColor(200, 10, 20), GuiColor(255, 255, 254)};
    return columns[pair];
}

inline GuiColor patternPixel(int x, int y)
{
    return GuiColor(static_cast<std::uint8_t>(8 * x), static_cast<std::uint8_t>(4 * y), 77);
}
