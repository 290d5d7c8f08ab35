#pragma once

#include "gui/GuiTypes.h"
#include "platform/Surface.h"

class DrawContext;

// A bitmap from the module's resources (or a blank one), shared by reference count: whoever
// keeps a pointer calls retain and, when done, release; the creator holds the first
// reference. Only the thread that owns the window uses it; the count is not atomic.
//
// Drawing copies the part of the bitmap at `src` with the size of the destination
// rectangle, unscaled. A bitmap that did not load draws nothing.
class GuiBitmap
{
public:
    // Loads the resource named by the low 16 bits of resourceId.
    explicit GuiBitmap(std::int32_t newResourceId);
    // A blank bitmap in the screen's format.
    GuiBitmap(std::int32_t newWidth, std::int32_t newHeight);

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    platform::GfxObject getHandle() const { return handle; }
    bool isLoaded() const { return handle != nullptr; }
    std::int32_t getResourceId() const { return resourceId; }
    std::int32_t referenceCount() const { return refCount; }
    void setTransparentColor(const GuiColor& color) { transparentColor = color; }
    const GuiColor& getTransparentColor() const { return transparentColor; }

    void draw(DrawContext* context, const GuiRect& r, const GuiPoint& src);
    // Pixels whose red, green and blue equal the transparent colour leave the destination
    // as it was; all others are copied.
    void drawTransparent(DrawContext* context, const GuiRect& r, const GuiPoint& src);
    // Constant opacity 0..255; draws nothing where the system offers no blending.
    void drawAlphaBlend(DrawContext* context, const GuiRect& r, const GuiPoint& src, std::int32_t alpha);
    // Precomputes the transparency mask from what the context shows at src, which must be
    // this bitmap's picture (an off-screen context over the bitmap, for instance).
    void buildMask(DrawContext* context, const GuiPoint& src);

    void retain() { ++refCount; }
    // Deletes the bitmap when the count drops to 0; a count at 0 or below stays.
    void release();

    GuiBitmap(const GuiBitmap&) = delete;
    GuiBitmap& operator=(const GuiBitmap&) = delete;

private:
    ~GuiBitmap();

    std::int32_t resourceId = 0;
    std::int32_t refCount = 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    GuiColor transparentColor = kColorKey;
    platform::GfxObject handle = nullptr;
    platform::GfxObject mask = nullptr;
};

// Optional transfers of the system's drawing library, shared by every frame; null when
// absent. Each frame's construction looks them up again.
extern platform::TransparentBlitFn gTransparentBlt;
extern platform::AlphaBlendFn gAlphaBlend;
void loadOptionalDrawingEntries();
