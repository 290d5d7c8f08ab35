#include "gui/OffscreenContext.h"

#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "platform/Surface.h"

OffscreenContext::OffscreenContext(GuiFrame* newFrame, std::int32_t newWidth, std::int32_t newHeight,
                                   const GuiColor& newBackgroundColor)
    : DrawContext(newFrame, nullptr, nullptr)
    , height(newHeight)
    , width(newWidth)
    , ownsBitmap(true)
    , backgroundColor(newBackgroundColor)
{
    clipRect.setFromCorners(0, 0, width, height);
    void* window = newFrame != nullptr ? newFrame->getNativeWindow() : nullptr;
    platform::Surface* windowSurface = platform::acquireWindowSurface(window);
    nativeContext = platform::createMemorySurface(windowSurface);
    platform::GfxObject bitmap =
        windowSurface != nullptr ? windowSurface->createCompatibleBitmap(width, height) : nullptr;
    nativeWindow = bitmap;
    previousBitmap = nativeContext->select(bitmap);
    if (windowSurface != nullptr)
    {
        platform::releaseWindowSurface(window, windowSurface);
    }

    // The outline covers the first row and column and the fill the rest,
    // so every pixel takes the colour.
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    const GuiRect all(0, 0, width, height);
    fillRect(all);
    drawRect(all);
}

OffscreenContext::OffscreenContext(DrawContext* source, GuiBitmap* bitmap, bool drawIntoBitmap)
    : DrawContext(source->getFrame(), nullptr, nullptr)
    , sourceBitmap(bitmap)
{
    if (bitmap != nullptr)
    {
        width = bitmap->getWidth();
        height = bitmap->getHeight();
        clipRect = GuiRect(0, 0, width, height);
    }
    platform::Surface* like = source->getNativeContext();
    nativeContext = platform::createMemorySurface(like);
    platform::GfxObject selected = nullptr;
    // Drawing into the bitmap needs one; without it the context draws on a copy of its own
    // instead of dereferencing nothing.
    if (drawIntoBitmap && bitmap != nullptr)
    {
        selected = bitmap->getHandle();
    }
    else
    {
        selected = like->createCompatibleBitmap(width, height);
        ownsBitmap = true;
        drawIntoBitmap = false;
    }
    nativeWindow = selected;
    previousBitmap = nativeContext->select(selected);
    if (!drawIntoBitmap)
    {
        if (bitmap != nullptr)
        {
            bitmap->draw(this, GuiRect(0, 0, width, height), GuiPoint(0, 0));
        }
        else
        {
            setFillColor(kColorBlack);
            fillRect(GuiRect(0, 0, width, height));
        }
    }
}

OffscreenContext::~OffscreenContext()
{
    platform::deleteMemorySurface(nativeContext);
    nativeContext = nullptr;
    if (ownsBitmap && nativeWindow != nullptr)
    {
        platform::deleteObject(nativeWindow);
    }
}

void OffscreenContext::copyTo(DrawContext* destination, GuiRect destRect, GuiPoint sourceOffset)
{
    destRect.offset(destination->getOffset().h, destination->getOffset().v);
    destination->getNativeContext()->bitBlt(destRect.left, destRect.top, destRect.width(), destRect.height(),
                                            *nativeContext, sourceOffset.h, sourceOffset.v,
                                            platform::BlitOp::Copy);
}

void OffscreenContext::copyFrom(DrawContext* source, GuiRect sourceRect, GuiPoint destPoint)
{
    nativeContext->bitBlt(destPoint.h, destPoint.v, sourceRect.width(), sourceRect.height(),
                          *source->getNativeContext(), sourceRect.left + source->getOffset().h,
                          sourceRect.top + source->getOffset().v, platform::BlitOp::Copy);
}
