#pragma once

#include "gui/DrawContext.h"

class GuiBitmap;

// A drawing context over a memory bitmap: controls draw there and copy the finished
// picture to the window in one transfer, so the window never shows a half-drawn control.
// The inherited nativeWindow field holds the memory bitmap.
class OffscreenContext : public DrawContext
{
public:
    // A width × height surface in the window's format, painted entirely in backgroundColor.
    // The context keeps that colour as its pen and brush.
    OffscreenContext(GuiFrame* newFrame, std::int32_t newWidth, std::int32_t newHeight,
                     const GuiColor& newBackgroundColor);
    // A surface holding a copy of bitmap (black 20 × 20 without one), or, with
    // drawIntoBitmap, drawing straight into the shared bitmap itself.
    OffscreenContext(DrawContext* source, GuiBitmap* bitmap, bool drawIntoBitmap);
    ~OffscreenContext() override;

    // destRect is shifted by the destination's offset; sourceOffset is where on this
    // surface the copied block starts.
    void copyTo(DrawContext* destination, GuiRect destRect, GuiPoint sourceOffset);
    // sourceRect is shifted by the source's offset; its block lands at destPoint here.
    void copyFrom(DrawContext* source, GuiRect sourceRect, GuiPoint destPoint);

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }

private:
    GuiBitmap* sourceBitmap = nullptr; // not retained
    std::int32_t height = 20;
    std::int32_t width = 20;
    bool ownsBitmap = false;
    GuiColor backgroundColor;
    void* previousBitmap = nullptr;
};
