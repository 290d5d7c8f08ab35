#pragma once

#include "platform/Surface.h"
#include "platform/raster/RasterObjects.h"

namespace platform::raster
{

// A device context over a RasterBitmap with the pixel rules of the Windows graphics
// interface. Window and screen surfaces make colour bitmaps; memory surfaces make bitmaps
// in the format of the bitmap they hold.
class RasterSurface : public Surface
{
public:
    explicit RasterSurface(bool newIsScreen);

    GfxObject createPen(PenStyle style, std::int32_t width, ColorRef color) override;
    GfxObject createSolidBrush(ColorRef color) override;
    GfxObject createFont(const FontRequest& request) override;
    GfxObject createCompatibleBitmap(std::int32_t width, std::int32_t height) override;
    GfxObject nullPen() override;
    GfxObject currentObject(ObjectKind kind) override;
    GfxObject select(GfxObject object) override;
    void deleteObject(GfxObject object) override;

    ColorRef setBackgroundColor(ColorRef color) override;
    ColorRef setTextColor(ColorRef color) override;
    void setBackgroundOpaque(bool isOpaque) override;
    bool isBackgroundOpaque() override;
    void setLineMix(LineMix mix) override;
    void setClipRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;

    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void polyline(const SurfacePoint* points, int count) override;
    void polygon(const SurfacePoint* points, int count) override;
    void fillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  GfxObject brush) override;
    void ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, SurfacePoint start,
             SurfacePoint end) override;
    void pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, SurfacePoint start,
             SurfacePoint end) override;
    void setPixel(std::int32_t x, std::int32_t y, ColorRef color) override;
    ColorRef getPixel(std::int32_t x, std::int32_t y) override;
    void floodFill(std::int32_t x, std::int32_t y, ColorRef color) override;

    std::int32_t textWidth(const char* text, int length) override;
    void drawText(const char* text, int length, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom, unsigned format) override;

    void bitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, Surface& source,
                std::int32_t sourceX, std::int32_t sourceY, BlitOp op) override;

    RasterBitmap* getBitmap() const { return bitmap; }
    ColorRef getBackgroundColor() const { return backgroundColor; }
    ColorRef getTextColor() const { return textColor; }
    // Colour of the pixel as a ColorRef, whatever the bitmap's format; no clipping.
    bool readPixel(std::int32_t x, std::int32_t y, ColorRef& color) const;
    // Writes a ColorRef (reduced to black or white on a one-bit bitmap) within the clip.
    void writePixel(std::int32_t x, std::int32_t y, ColorRef color);
    bool isInClip(std::int32_t x, std::int32_t y) const;

private:
    // Which pixels a shape covers, collected first so that a mixed pen touches each
    // pixel once however the shape overlaps itself.
    struct Coverage;

    void mixPixel(std::int32_t x, std::int32_t y, ColorRef color);
    void strokeLine(Coverage& coverage, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
    void paintStroke(const Coverage& coverage);
    void paintFill(const Coverage& coverage);
    void shape(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               SurfacePoint start, SurfacePoint end, bool isPie, bool isFull);

    bool isScreen;
    RasterBitmap* bitmap;
    RasterPen* pen;
    RasterBrush* brush;
    RasterFont* font;
    ColorRef backgroundColor = 0xFFFFFF;
    ColorRef textColor = 0;
    bool isOpaque = true;
    LineMix mix = LineMix::Copy;
    bool hasClip = false;
    std::int32_t clipLeft = 0;
    std::int32_t clipTop = 0;
    std::int32_t clipRight = 0;
    std::int32_t clipBottom = 0;
    std::int32_t penX = 0;
    std::int32_t penY = 0;
    std::int32_t dashPosition = 0;
};

} // namespace platform::raster
