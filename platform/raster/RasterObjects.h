#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <vector>

// The objects behind the software surface's handles. Internal to platform/raster.
namespace platform::raster
{

struct RasterObject
{
    explicit RasterObject(ObjectKind newKind)
        : kind(newKind)
    {
    }
    virtual ~RasterObject() = default;

    ObjectKind kind;
    bool isStock = false; // shared defaults; deleteObject leaves them alone
};

struct RasterPen : RasterObject
{
    RasterPen(PenStyle newStyle, std::int32_t newWidth, ColorRef newColor, bool newIsNull)
        : RasterObject(ObjectKind::Pen)
        , style(newStyle)
        , width(newWidth)
        , color(newColor)
        , isNull(newIsNull)
    {
    }
    PenStyle style;
    std::int32_t width;
    ColorRef color;
    bool isNull;
};

struct RasterBrush : RasterObject
{
    explicit RasterBrush(ColorRef newColor)
        : RasterObject(ObjectKind::Brush)
        , color(newColor)
    {
    }
    ColorRef color;
};

struct RasterFontFace; // FreeType face and metrics, see RasterText.cpp

struct RasterFont : RasterObject
{
    explicit RasterFont(const FontRequest& newRequest);
    ~RasterFont() override;
    FontRequest request;
    RasterFontFace* face = nullptr; // loaded on first use; null when no face could be found
    bool isLoadAttempted = false;
};

// 32-bit pixels, red in the low byte (the ColorRef layout); a one-bit bitmap keeps 0 or 1
// in each element.
struct RasterBitmap : RasterObject
{
    RasterBitmap(std::int32_t newWidth, std::int32_t newHeight, bool newIsMonochrome)
        : RasterObject(ObjectKind::Bitmap)
        , width(newWidth)
        , height(newHeight)
        , isMonochrome(newIsMonochrome)
        , pixels(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight), 0)
    {
    }
    std::int32_t width;
    std::int32_t height;
    bool isMonochrome;
    std::vector<std::uint32_t> pixels;
};

// Text primitives over a font (RasterText.cpp).
std::int32_t measureText(RasterFont* font, const char* text, int length);
struct TextMetrics
{
    std::int32_t ascent;  // pixels above the baseline
    std::int32_t descent; // pixels below it
};
TextMetrics fontMetrics(RasterFont* font);
// Calls plot for every pixel the glyphs set (no anti-aliasing), with the pen starting at x
// on the baseline.
using PlotFn = void (*)(void* target, std::int32_t x, std::int32_t y);
void renderText(RasterFont* font, const char* text, int length, std::int32_t x, std::int32_t baseline,
                PlotFn plot, void* target);

} // namespace platform::raster
