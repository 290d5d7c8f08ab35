#include "gui/GuiTypes.h"

const FontTableEntry kFontTable[kFontCount] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

bool GuiPoint::isInside(const GuiRect& rect) const
{
    return rect.left <= h && h <= rect.right && rect.top <= v && v <= rect.bottom;
}

void GuiRect::setFromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    left = x1 < x2 ? x1 : x2;
    right = x1 < x2 ? x2 : x1;
    top = y1 < y2 ? y1 : y2;
    bottom = y1 < y2 ? y2 : y1;
}

void GuiRect::offset(std::int32_t dx, std::int32_t dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

bool GuiRect::intersects(const GuiRect& other) const
{
    return right >= other.left && left <= other.right && bottom >= other.top && top <= other.bottom;
}

bool GuiRect::containsPoint(const GuiPoint& p) const
{
    return left <= p.h && p.h < right && top <= p.v && p.v < bottom;
}
