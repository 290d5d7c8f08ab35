#pragma once

#include "platform/Surface.h"

#include <string>
#include <vector>

// Passes every call to a real memory surface and records what the drawing context asked
// for: the objects it made, selected and deleted, the fonts it requested and the modes it
// set. It can also refuse brushes, as a system out of resources would.
class RecordingSurface : public platform::Surface
{
public:
    RecordingSurface()
        : inner(platform::createMemorySurface(nullptr))
    {
        platform::Surface* screen = platform::acquireWindowSurface(nullptr);
        bitmap = screen->createCompatibleBitmap(32, 32);
        platform::releaseWindowSurface(nullptr, screen);
        previousBitmap = inner->select(bitmap);
    }
    ~RecordingSurface() override
    {
        inner->select(previousBitmap);
        platform::deleteMemorySurface(inner);
        platform::deleteObject(bitmap);
    }

    int pensCreated = 0;
    int brushesCreated = 0;
    int fontsCreated = 0;
    int deletions = 0;
    int lineMixCalls = 0;
    bool isBrushRefused = false;
    std::vector<platform::FontRequest> fontRequests;
    std::vector<platform::GfxObject> deleted;
    std::vector<platform::ColorRef> backgroundColors;
    std::vector<unsigned> textFormats;
    std::vector<int> textLefts;

    platform::GfxObject createPen(platform::PenStyle style, std::int32_t width,
                                  platform::ColorRef color) override
    {
        ++pensCreated;
        return inner->createPen(style, width, color);
    }
    platform::GfxObject createSolidBrush(platform::ColorRef color) override
    {
        if (isBrushRefused)
        {
            return nullptr;
        }
        ++brushesCreated;
        return inner->createSolidBrush(color);
    }
    platform::GfxObject createFont(const platform::FontRequest& request) override
    {
        ++fontsCreated;
        fontRequests.push_back(request);
        return inner->createFont(request);
    }
    platform::GfxObject createCompatibleBitmap(std::int32_t w, std::int32_t h) override
    {
        return inner->createCompatibleBitmap(w, h);
    }
    platform::GfxObject nullPen() override { return inner->nullPen(); }
    platform::GfxObject currentObject(platform::ObjectKind kind) override
    {
        return inner->currentObject(kind);
    }
    platform::GfxObject select(platform::GfxObject object) override { return inner->select(object); }
    void deleteObject(platform::GfxObject object) override
    {
        ++deletions;
        deleted.push_back(object);
        inner->deleteObject(object);
    }
    platform::ColorRef setBackgroundColor(platform::ColorRef color) override
    {
        backgroundColors.push_back(color);
        return inner->setBackgroundColor(color);
    }
    platform::ColorRef setTextColor(platform::ColorRef color) override { return inner->setTextColor(color); }
    void setBackgroundOpaque(bool isOpaque) override { inner->setBackgroundOpaque(isOpaque); }
    bool isBackgroundOpaque() override { return inner->isBackgroundOpaque(); }
    void setLineMix(platform::LineMix mix) override
    {
        ++lineMixCalls;
        inner->setLineMix(mix);
    }
    void setClipRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        inner->setClipRect(l, t, r, b);
    }
    void moveTo(std::int32_t x, std::int32_t y) override { inner->moveTo(x, y); }
    void lineTo(std::int32_t x, std::int32_t y) override { inner->lineTo(x, y); }
    void polyline(const platform::SurfacePoint* p, int n) override { inner->polyline(p, n); }
    void polygon(const platform::SurfacePoint* p, int n) override { inner->polygon(p, n); }
    void fillRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                  platform::GfxObject brush) override
    {
        inner->fillRect(l, t, r, b, brush);
    }
    void ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        inner->ellipse(l, t, r, b);
    }
    void arc(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, platform::SurfacePoint s,
             platform::SurfacePoint e) override
    {
        inner->arc(l, t, r, b, s, e);
    }
    void pie(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, platform::SurfacePoint s,
             platform::SurfacePoint e) override
    {
        inner->pie(l, t, r, b, s, e);
    }
    void setPixel(std::int32_t x, std::int32_t y, platform::ColorRef c) override { inner->setPixel(x, y, c); }
    platform::ColorRef getPixel(std::int32_t x, std::int32_t y) override { return inner->getPixel(x, y); }
    void floodFill(std::int32_t x, std::int32_t y, platform::ColorRef c) override
    {
        inner->floodFill(x, y, c);
    }
    std::int32_t textWidth(const char* text, int length) override { return inner->textWidth(text, length); }
    void drawText(const char* text, int length, std::int32_t l, std::int32_t t, std::int32_t r,
                  std::int32_t b, unsigned format) override
    {
        textFormats.push_back(format);
        textLefts.push_back(l);
        inner->drawText(text, length, l, t, r, b, format);
    }
    void bitBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, platform::Surface& source,
                std::int32_t sx, std::int32_t sy, platform::BlitOp op) override
    {
        inner->bitBlt(x, y, w, h, source, sx, sy, op);
    }

private:
    platform::Surface* inner;
    platform::GfxObject bitmap;
    platform::GfxObject previousBitmap;
};
