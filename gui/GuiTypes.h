#pragma once

#include <cstdint>

// Plain value types of the toolkit: points, rectangles and colours in window pixels,
// the mouse/modifier bit set and the enumerations of the drawing context.

struct GuiRect;

struct GuiPoint
{
    std::int32_t h = 0; // grows to the right
    std::int32_t v = 0; // grows downwards

    GuiPoint() = default;
    GuiPoint(std::int32_t newH, std::int32_t newV)
        : h(newH)
        , v(newV)
    {
    }

    void offset(std::int32_t dx, std::int32_t dy)
    {
        h += dx;
        v += dy;
    }
    // Closed test: all four edges of rect count as inside. Views are hit-tested this way.
    bool isInside(const GuiRect& rect) const;
};

// No ordering of the edges is enforced; only setFromCorners sorts them.
struct GuiRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    GuiRect() = default;
    GuiRect(std::int32_t newLeft, std::int32_t newTop, std::int32_t newRight, std::int32_t newBottom)
        : left(newLeft)
        , top(newTop)
        , right(newRight)
        , bottom(newBottom)
    {
    }

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    void setFromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void offset(std::int32_t dx, std::int32_t dy);
    // Closed on all edges: rectangles whose edges only touch overlap.
    bool intersects(const GuiRect& other) const;
    // Half-open: left and top edges inside, right and bottom edges outside.
    bool containsPoint(const GuiPoint& p) const;
};

struct GuiColor
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t spare = 0; // carried along, never compared and never drawn

    constexpr GuiColor() = default;
    constexpr GuiColor(std::uint8_t newRed, std::uint8_t newGreen, std::uint8_t newBlue,
                       std::uint8_t newSpare = 0)
        : red(newRed)
        , green(newGreen)
        , blue(newBlue)
        , spare(newSpare)
    {
    }

    // red | green << 8 | blue << 16, the form the drawing surfaces take.
    constexpr std::uint32_t toColorRef() const
    {
        return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue) << 16;
    }
    constexpr bool operator==(const GuiColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    constexpr bool operator!=(const GuiColor& other) const { return !(*this == other); }
};

constexpr GuiColor kColorBlack(0, 0, 0, 0);
constexpr GuiColor kColorWhite(255, 255, 255, 0);
constexpr GuiColor kColorGrey(127, 127, 127, 0);
constexpr GuiColor kColorRed(255, 0, 0, 0);
constexpr GuiColor kColorGreen(0, 255, 0, 0);
constexpr GuiColor kColorBlue(0, 0, 255, 0);
constexpr GuiColor kColorYellow(255, 255, 0, 0);
constexpr GuiColor kColorMagenta(255, 0, 255, 0);
constexpr GuiColor kColorCyan(0, 255, 255, 0);
// Default transparent colour of bitmaps; the same value as white but a name of its own.
constexpr GuiColor kColorKey(255, 255, 255, 0);

// Buttons and modifier keys down at one instant; -1 for a state nobody read.
using MouseButtons = std::int32_t;
enum : MouseButtons
{
    kMouseLeft = 1,
    kMouseMiddle = 2,
    kMouseRight = 4,
    kModShift = 8,
    kModControl = 16,
    kModAlt = 32
};

// Rows of the font table; any other number selects kFontBold.
enum FontId : std::int32_t
{
    kFontBold = 0, // always bold
    kFontHuge = 1,
    kFontLarge = 2,
    kFontNormal = 3,
    kFontSmall = 4,
    kFontSmaller = 5,
    kFontTiny = 6,
    kFontSymbol = 7, // decorative family
    kFontCount = 8
};

enum FontStyle : std::int32_t
{
    kStyleBold = 1,
    kStyleItalic = 2,
    kStyleUnderline = 4
};

enum TextAlign : std::int32_t
{
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2
};

enum LineStyle : std::int32_t
{
    kLineSolid = 0,
    kLineDotted = 1
};

enum DrawMode : std::int32_t
{
    kModeCopy = 0,
    kModeOr = 1,
    kModeXor = 2
};

struct FontTableEntry
{
    const char* face;
    std::int32_t defaultSizePx;
};

// The fixed font table, indexed by FontId.
extern const FontTableEntry kFontTable[kFontCount];
