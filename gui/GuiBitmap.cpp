#include "gui/GuiBitmap.h"

#include "gui/DrawContext.h"

platform::TransparentBlitFn gTransparentBlt = nullptr;
platform::AlphaBlendFn gAlphaBlend = nullptr;

void loadOptionalDrawingEntries()
{
    gTransparentBlt = nullptr;
    gAlphaBlend = nullptr;
    const platform::OptionalBlits blits = platform::loadOptionalBlits();
    gTransparentBlt = blits.transparentBlit;
    gAlphaBlend = blits.alphaBlend;
}

namespace
{

// A memory surface showing a bitmap for the length of one drawing operation.
class SelectedBitmap
{
public:
    SelectedBitmap(platform::Surface* like, platform::GfxObject bitmap)
        : surface(platform::createMemorySurface(like))
        , previous(surface->select(bitmap))
    {
    }
    ~SelectedBitmap()
    {
        surface->select(previous);
        platform::deleteMemorySurface(surface);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    platform::Surface& get() { return *surface; }

private:
    platform::Surface* surface;
    platform::GfxObject previous;
};

constexpr platform::ColorRef kWhiteRef = 0xFFFFFF;
constexpr platform::ColorRef kBlackRef = 0;

} // namespace

GuiBitmap::GuiBitmap(std::int32_t newResourceId)
    : resourceId(newResourceId)
    , handle(platform::loadBitmapResource(newResourceId & 0xFFFF))
{
    if (handle != nullptr && !platform::getBitmapSize(handle, width, height))
    {
        width = 0;
        height = 0;
    }
}

GuiBitmap::GuiBitmap(std::int32_t newWidth, std::int32_t newHeight)
{
    platform::Surface* screen = platform::acquireWindowSurface(nullptr);
    if (screen != nullptr)
    {
        handle = screen->createCompatibleBitmap(newWidth, newHeight);
        platform::releaseWindowSurface(nullptr, screen);
    }
    if (handle != nullptr)
    {
        width = newWidth;
        height = newHeight;
    }
}

GuiBitmap::~GuiBitmap()
{
    if (handle != nullptr)
    {
        platform::deleteObject(handle);
    }
    if (mask != nullptr)
    {
        platform::deleteObject(mask);
    }
}

void GuiBitmap::release()
{
    if (refCount > 0)
    {
        --refCount;
        if (refCount == 0)
        {
            delete this;
        }
    }
}

void GuiBitmap::draw(DrawContext* context, const GuiRect& r, const GuiPoint& src)
{
    if (handle == nullptr)
    {
        return;
    }
    platform::Surface& destination = *context->getNativeContext();
    SelectedBitmap source(&destination, handle);
    const GuiPoint& offset = context->getOffset();
    destination.bitBlt(r.left + offset.h, r.top + offset.v, r.width(), r.height(), source.get(), src.h, src.v,
                       platform::BlitOp::Copy);
}

void GuiBitmap::drawTransparent(DrawContext* context, const GuiRect& r, const GuiPoint& src)
{
    if (handle == nullptr)
    {
        return;
    }
    platform::Surface& destination = *context->getNativeContext();
    SelectedBitmap source(&destination, handle);
    const std::int32_t x = r.left + context->getOffset().h;
    const std::int32_t y = r.top + context->getOffset().v;
    const std::int32_t w = r.width();
    const std::int32_t h = r.height();
    const platform::ColorRef key = transparentColor.toColorRef();

    // XOR the picture in, AND the mask (white where transparent), XOR again: where the mask
    // is white the two XORs cancel and the destination stays; where it is black the AND
    // clears the pixel and the second XOR leaves the bitmap's.
    if (mask != nullptr)
    {
        // Composed off-screen and copied in one go, so the window never shows the
        // intermediate XOR picture.
        SelectedBitmap maskSurface(&destination, mask);
        platform::GfxObject scratch = destination.createCompatibleBitmap(w, h);
        if (scratch == nullptr)
        {
            return;
        }
        {
            SelectedBitmap work(&destination, scratch);
            work.get().bitBlt(0, 0, w, h, destination, x, y, platform::BlitOp::Copy);
            work.get().bitBlt(0, 0, w, h, source.get(), src.h, src.v, platform::BlitOp::Invert);
            work.get().bitBlt(0, 0, w, h, maskSurface.get(), src.h, src.v, platform::BlitOp::And);
            work.get().bitBlt(0, 0, w, h, source.get(), src.h, src.v, platform::BlitOp::Invert);
            destination.bitBlt(x, y, w, h, work.get(), 0, 0, platform::BlitOp::Copy);
        }
        platform::deleteObject(scratch);
        return;
    }
    if (gTransparentBlt != nullptr)
    {
        gTransparentBlt(destination, x, y, w, h, source.get(), src.h, src.v, key);
        return;
    }
    platform::GfxObject onTheFlyMask = platform::createMonochromeBitmap(w, h);
    if (onTheFlyMask == nullptr)
    {
        return;
    }
    {
        SelectedBitmap maskSurface(&destination, onTheFlyMask);
        // White background and black text turn the one-bit mask into all-ones and zeros
        // when it is combined with the colour destination.
        const platform::ColorRef oldBackground = destination.setBackgroundColor(kWhiteRef);
        const platform::ColorRef oldText = destination.setTextColor(kBlackRef);
        source.get().setBackgroundColor(key);
        maskSurface.get().bitBlt(0, 0, w, h, source.get(), src.h, src.v, platform::BlitOp::Copy);
        destination.bitBlt(x, y, w, h, source.get(), src.h, src.v, platform::BlitOp::Invert);
        destination.bitBlt(x, y, w, h, maskSurface.get(), 0, 0, platform::BlitOp::And);
        destination.bitBlt(x, y, w, h, source.get(), src.h, src.v, platform::BlitOp::Invert);
        destination.setBackgroundColor(oldBackground);
        destination.setTextColor(oldText);
    }
    platform::deleteObject(onTheFlyMask);
}

void GuiBitmap::drawAlphaBlend(DrawContext* context, const GuiRect& r, const GuiPoint& src,
                               std::int32_t alpha)
{
    if (handle == nullptr || gAlphaBlend == nullptr)
    {
        return;
    }
    platform::Surface& destination = *context->getNativeContext();
    SelectedBitmap source(&destination, handle);
    gAlphaBlend(destination, r.left + context->getOffset().h, r.top + context->getOffset().v, r.width(),
                r.height(), source.get(), src.h, src.v, alpha);
}

void GuiBitmap::buildMask(DrawContext* context, const GuiPoint& src)
{
    if (mask != nullptr)
    {
        platform::deleteObject(mask);
        mask = nullptr;
    }
    mask = platform::createMonochromeBitmap(width, height);
    if (mask == nullptr)
    {
        return;
    }
    platform::Surface& shown = *context->getNativeContext();
    SelectedBitmap maskSurface(&shown, mask);
    const platform::ColorRef oldBackground = shown.setBackgroundColor(transparentColor.toColorRef());
    maskSurface.get().bitBlt(0, 0, width, height, shown, src.h, src.v, platform::BlitOp::Copy);
    shown.setBackgroundColor(oldBackground);
}
