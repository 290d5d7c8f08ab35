#include "platform/raster/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform::raster
{

namespace
{

constexpr ColorRef kRgbMask = 0xFFFFFF;
constexpr double kPi = 3.14159265358979323846;

RasterPen* stockNullPen()
{
    static RasterPen* pen = []
    {
        auto* p = new RasterPen(PenStyle::Solid, 0, 0, true);
        p->isStock = true;
        return p;
    }();
    return pen;
}

RasterPen* stockBlackPen()
{
    static RasterPen* pen = []
    {
        auto* p = new RasterPen(PenStyle::Solid, 1, 0, false);
        p->isStock = true;
        return p;
    }();
    return pen;
}

RasterBrush* stockWhiteBrush()
{
    static RasterBrush* brush = []
    {
        auto* b = new RasterBrush(kRgbMask);
        b->isStock = true;
        return b;
    }();
    return brush;
}

RasterFont* stockSystemFont()
{
    static RasterFont* font = []
    {
        FontRequest request{};
        request.heightPx = 13;
        request.weight = 700;
        const char face[] = "Sans";
        std::copy(face, face + sizeof face, request.faceName);
        auto* f = new RasterFont(request);
        f->isStock = true;
        return f;
    }();
    return font;
}

// What a fresh memory surface holds: one black one-bit pixel; a screen surface holds a
// colour one so that it makes colour bitmaps.
RasterBitmap* stockBitmap(bool isColour)
{
    static RasterBitmap* mono = []
    {
        auto* b = new RasterBitmap(1, 1, true);
        b->isStock = true;
        return b;
    }();
    static RasterBitmap* colour = []
    {
        auto* b = new RasterBitmap(1, 1, false);
        b->isStock = true;
        return b;
    }();
    return isColour ? colour : mono;
}

bool isWhiteish(ColorRef color)
{
    const int sum = static_cast<int>(color & 0xFF) + static_cast<int>((color >> 8) & 0xFF) +
                    static_cast<int>((color >> 16) & 0xFF);
    return sum >= 3 * 128;
}

// Angle of (dx, dy) in screen coordinates, counter-clockwise as seen on screen, 0..2π.
double screenAngle(double dx, double dy)
{
    double a = std::atan2(-dy, dx);
    if (a < 0)
    {
        a += 2 * kPi;
    }
    return a;
}

} // namespace

struct RasterSurface::Coverage
{
    Coverage(std::int32_t newWidth, std::int32_t newHeight)
        : width(newWidth)
        , height(newHeight)
        , cells(static_cast<std::size_t>(std::max(newWidth, 0)) *
                    static_cast<std::size_t>(std::max(newHeight, 0)),
                0)
    {
    }
    void mark(std::int32_t x, std::int32_t y)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
        {
            cells[static_cast<std::size_t>(y) * width + x] = 1;
        }
    }
    bool isMarked(std::int32_t x, std::int32_t y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height &&
               cells[static_cast<std::size_t>(y) * width + x] != 0;
    }
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint8_t> cells;
};

RasterSurface::RasterSurface(bool newIsScreen)
    : isScreen(newIsScreen)
    , bitmap(stockBitmap(newIsScreen))
    , pen(stockBlackPen())
    , brush(stockWhiteBrush())
    , font(stockSystemFont())
{
}

GfxObject RasterSurface::createPen(PenStyle style, std::int32_t width, ColorRef color)
{
    return new RasterPen(style, width, color & kRgbMask, false);
}

GfxObject RasterSurface::createSolidBrush(ColorRef color)
{
    return new RasterBrush(color & kRgbMask);
}

GfxObject RasterSurface::createFont(const FontRequest& request)
{
    return new RasterFont(request);
}

GfxObject RasterSurface::createCompatibleBitmap(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
    {
        return nullptr;
    }
    return new RasterBitmap(width, height, !isScreen && bitmap->isMonochrome);
}

GfxObject RasterSurface::nullPen()
{
    return stockNullPen();
}

GfxObject RasterSurface::currentObject(ObjectKind kind)
{
    switch (kind)
    {
    case ObjectKind::Pen:
        return pen;
    case ObjectKind::Brush:
        return brush;
    case ObjectKind::Font:
        return font;
    case ObjectKind::Bitmap:
        return bitmap;
    }
    return nullptr;
}

GfxObject RasterSurface::select(GfxObject object)
{
    auto* o = static_cast<RasterObject*>(object);
    if (o == nullptr)
    {
        return nullptr;
    }
    GfxObject previous = nullptr;
    switch (o->kind)
    {
    case ObjectKind::Pen:
        previous = pen;
        pen = static_cast<RasterPen*>(o);
        break;
    case ObjectKind::Brush:
        previous = brush;
        brush = static_cast<RasterBrush*>(o);
        break;
    case ObjectKind::Font:
        previous = font;
        font = static_cast<RasterFont*>(o);
        break;
    case ObjectKind::Bitmap:
        previous = bitmap;
        bitmap = static_cast<RasterBitmap*>(o);
        break;
    }
    return previous;
}

void RasterSurface::deleteObject(GfxObject object)
{
    platform::deleteObject(object);
}

ColorRef RasterSurface::setBackgroundColor(ColorRef color)
{
    const ColorRef previous = backgroundColor;
    backgroundColor = color & kRgbMask;
    return previous;
}

ColorRef RasterSurface::setTextColor(ColorRef color)
{
    const ColorRef previous = textColor;
    textColor = color & kRgbMask;
    return previous;
}

void RasterSurface::setBackgroundOpaque(bool newIsOpaque)
{
    isOpaque = newIsOpaque;
}

bool RasterSurface::isBackgroundOpaque()
{
    return isOpaque;
}

void RasterSurface::setLineMix(LineMix newMix)
{
    mix = newMix;
}

void RasterSurface::setClipRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    hasClip = true;
    clipLeft = left;
    clipTop = top;
    clipRight = right;
    clipBottom = bottom;
}

bool RasterSurface::isInClip(std::int32_t x, std::int32_t y) const
{
    if (x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height)
    {
        return false;
    }
    return !hasClip || (x >= clipLeft && x < clipRight && y >= clipTop && y < clipBottom);
}

bool RasterSurface::readPixel(std::int32_t x, std::int32_t y, ColorRef& color) const
{
    if (x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height)
    {
        return false;
    }
    const std::uint32_t p = bitmap->pixels[static_cast<std::size_t>(y) * bitmap->width + x];
    color = bitmap->isMonochrome ? (p != 0 ? kRgbMask : 0) : p;
    return true;
}

void RasterSurface::writePixel(std::int32_t x, std::int32_t y, ColorRef color)
{
    if (!isInClip(x, y))
    {
        return;
    }
    std::uint32_t& p = bitmap->pixels[static_cast<std::size_t>(y) * bitmap->width + x];
    p = bitmap->isMonochrome ? (isWhiteish(color) ? 1u : 0u) : (color & kRgbMask);
}

void RasterSurface::mixPixel(std::int32_t x, std::int32_t y, ColorRef color)
{
    ColorRef old = 0;
    if (!isInClip(x, y) || !readPixel(x, y, old))
    {
        return;
    }
    switch (mix)
    {
    case LineMix::Copy:
        writePixel(x, y, color);
        break;
    case LineMix::Merge:
        writePixel(x, y, old | color);
        break;
    case LineMix::NotXor:
        writePixel(x, y, ~(old ^ color) & kRgbMask);
        break;
    }
}

// Bresenham from (x0, y0) towards (x1, y1), leaving out the end pixel. A dotted pen sets
// three pixels and skips three, the pattern running on across joined segments.
void RasterSurface::strokeLine(Coverage& coverage, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                               std::int32_t y1)
{
    const std::int32_t dx = std::abs(x1 - x0);
    const std::int32_t dy = -std::abs(y1 - y0);
    const std::int32_t sx = x0 < x1 ? 1 : -1;
    const std::int32_t sy = y0 < y1 ? 1 : -1;
    std::int32_t err = dx + dy;
    const std::int32_t half = pen->width > 1 ? pen->width / 2 : 0;
    while (x0 != x1 || y0 != y1)
    {
        const bool isDrawn = pen->style == PenStyle::Solid || (dashPosition % 6) < 3;
        ++dashPosition;
        if (isDrawn)
        {
            if (half == 0)
            {
                coverage.mark(x0, y0);
            }
            else
            {
                // A round nib of the pen's width.
                for (std::int32_t ny = -half; ny <= half; ++ny)
                {
                    for (std::int32_t nx = -half; nx <= half; ++nx)
                    {
                        if (nx * nx + ny * ny <= half * half)
                        {
                            coverage.mark(x0 + nx, y0 + ny);
                        }
                    }
                }
            }
        }
        const std::int32_t e2 = 2 * err;
        if (e2 >= dy)
        {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx)
        {
            err += dx;
            y0 += sy;
        }
    }
}

void RasterSurface::paintStroke(const Coverage& coverage)
{
    for (std::int32_t y = 0; y < coverage.height; ++y)
    {
        for (std::int32_t x = 0; x < coverage.width; ++x)
        {
            if (coverage.isMarked(x, y))
            {
                mixPixel(x, y, pen->color);
            }
        }
    }
}

void RasterSurface::paintFill(const Coverage& coverage)
{
    if (brush == nullptr)
    {
        return;
    }
    for (std::int32_t y = 0; y < coverage.height; ++y)
    {
        for (std::int32_t x = 0; x < coverage.width; ++x)
        {
            if (coverage.isMarked(x, y))
            {
                mixPixel(x, y, brush->color);
            }
        }
    }
}

void RasterSurface::moveTo(std::int32_t x, std::int32_t y)
{
    penX = x;
    penY = y;
    dashPosition = 0;
}

void RasterSurface::lineTo(std::int32_t x, std::int32_t y)
{
    if (!pen->isNull)
    {
        Coverage coverage(bitmap->width, bitmap->height);
        strokeLine(coverage, penX, penY, x, y);
        paintStroke(coverage);
    }
    penX = x;
    penY = y;
}

void RasterSurface::polyline(const SurfacePoint* points, int count)
{
    if (pen->isNull || count < 2)
    {
        return;
    }
    Coverage coverage(bitmap->width, bitmap->height);
    dashPosition = 0;
    for (int i = 1; i < count; ++i)
    {
        strokeLine(coverage, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    }
    paintStroke(coverage);
}

// Even-odd fill sampled at pixel centres: a pixel is inside when its centre is, which
// keeps the left and top edges of an axis-aligned polygon and drops the right and bottom.
void RasterSurface::polygon(const SurfacePoint* points, int count)
{
    if (count < 2)
    {
        return;
    }
    Coverage fill(bitmap->width, bitmap->height);
    std::vector<double> crossings;
    for (std::int32_t y = 0; y < bitmap->height; ++y)
    {
        const double cy = y + 0.5;
        crossings.clear();
        for (int i = 0; i < count; ++i)
        {
            const SurfacePoint& a = points[i];
            const SurfacePoint& b = points[(i + 1) % count];
            if ((a.y <= cy && b.y > cy) || (b.y <= cy && a.y > cy))
            {
                crossings.push_back(a.x + (cy - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        {
            const auto first = static_cast<std::int32_t>(std::ceil(crossings[i] - 0.5));
            const auto last = static_cast<std::int32_t>(std::ceil(crossings[i + 1] - 0.5));
            for (std::int32_t x = first; x < last; ++x)
            {
                fill.mark(x, y);
            }
        }
    }
    paintFill(fill);
    if (!pen->isNull)
    {
        Coverage outline(bitmap->width, bitmap->height);
        dashPosition = 0;
        for (int i = 0; i < count; ++i)
        {
            const SurfacePoint& a = points[i];
            const SurfacePoint& b = points[(i + 1) % count];
            strokeLine(outline, a.x, a.y, b.x, b.y);
        }
        paintStroke(outline);
    }
}

void RasterSurface::fillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                             GfxObject fillBrush)
{
    auto* b = static_cast<RasterBrush*>(fillBrush);
    if (b == nullptr || b->kind != ObjectKind::Brush)
    {
        return;
    }
    for (std::int32_t y = top; y < bottom; ++y)
    {
        for (std::int32_t x = left; x < right; ++x)
        {
            writePixel(x, y, b->color);
        }
    }
}

// Ellipses, arcs and pies share one model: the ellipse inscribed in the pixels
// left..right-1 and top..bottom-1. Its outline is the inside pixels that have an outside
// 4-neighbour; an arc or a pie keeps the pixels whose direction from the centre lies
// counter-clockwise between the directions of start and end.
void RasterSurface::shape(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          SurfacePoint start, SurfacePoint end, bool isPie, bool isFull)
{
    if (right < left)
    {
        std::swap(left, right);
    }
    if (bottom < top)
    {
        std::swap(top, bottom);
    }
    if (right - left < 1 || bottom - top < 1)
    {
        return;
    }
    const double cx = (left + right - 1) / 2.0;
    const double cy = (top + bottom - 1) / 2.0;
    const double rx = std::max((right - left - 1) / 2.0, 0.5);
    const double ry = std::max((bottom - top - 1) / 2.0, 0.5);
    auto isInside = [&](std::int32_t x, std::int32_t y)
    {
        if (x < left || x >= right || y < top || y >= bottom)
        {
            return false;
        }
        const double nx = (x - cx) / (rx + 0.5);
        const double ny = (y - cy) / (ry + 0.5);
        return nx * nx + ny * ny <= 1.0;
    };
    const double startAngle = screenAngle(start.x - cx, start.y - cy);
    double sweep = screenAngle(end.x - cx, end.y - cy) - startAngle;
    if (sweep <= 0)
    {
        sweep += 2 * kPi;
    }
    auto isInSweep = [&](std::int32_t x, std::int32_t y)
    {
        if (isFull || (start.x == end.x && start.y == end.y))
        {
            return true;
        }
        double a = screenAngle(x - cx, y - cy) - startAngle;
        if (a < 0)
        {
            a += 2 * kPi;
        }
        return a <= sweep;
    };

    Coverage interior(bitmap->width, bitmap->height);
    Coverage outline(bitmap->width, bitmap->height);
    for (std::int32_t y = top; y < bottom; ++y)
    {
        for (std::int32_t x = left; x < right; ++x)
        {
            if (!isInside(x, y) || !isInSweep(x, y))
            {
                continue;
            }
            const bool isEdge =
                !isInside(x - 1, y) || !isInside(x + 1, y) || !isInside(x, y - 1) || !isInside(x, y + 1);
            if (isEdge)
            {
                outline.mark(x, y);
            }
            if (!isEdge || pen->isNull)
            {
                interior.mark(x, y);
            }
        }
    }
    if (isPie || isFull)
    {
        paintFill(interior);
    }
    if (!pen->isNull)
    {
        paintStroke(outline);
    }
}

void RasterSurface::ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    shape(left, top, right, bottom, {0, 0}, {0, 0}, false, true);
}

void RasterSurface::arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                        SurfacePoint start, SurfacePoint end)
{
    if (pen->isNull)
    {
        return;
    }
    RasterBrush* savedBrush = brush;
    shape(left, top, right, bottom, start, end, false, false);
    brush = savedBrush;
}

void RasterSurface::pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                        SurfacePoint start, SurfacePoint end)
{
    shape(left, top, right, bottom, start, end, true, false);
}

void RasterSurface::setPixel(std::int32_t x, std::int32_t y, ColorRef color)
{
    writePixel(x, y, color);
}

ColorRef RasterSurface::getPixel(std::int32_t x, std::int32_t y)
{
    ColorRef color = 0;
    if (!isInClip(x, y) || !readPixel(x, y, color))
    {
        return kInvalidColor;
    }
    return color;
}

void RasterSurface::floodFill(std::int32_t x, std::int32_t y, ColorRef color)
{
    ColorRef seed = 0;
    if (brush == nullptr || !isInClip(x, y) || !readPixel(x, y, seed) || seed != (color & kRgbMask))
    {
        return;
    }
    Coverage area(bitmap->width, bitmap->height);
    std::vector<SurfacePoint> pending{{x, y}};
    area.mark(x, y);
    while (!pending.empty())
    {
        const SurfacePoint p = pending.back();
        pending.pop_back();
        const SurfacePoint neighbours[4] = {{p.x - 1, p.y}, {p.x + 1, p.y}, {p.x, p.y - 1}, {p.x, p.y + 1}};
        for (const SurfacePoint& n : neighbours)
        {
            ColorRef c = 0;
            if (!area.isMarked(n.x, n.y) && isInClip(n.x, n.y) && readPixel(n.x, n.y, c) && c == seed)
            {
                area.mark(n.x, n.y);
                pending.push_back(n);
            }
        }
    }
    for (std::int32_t py = 0; py < area.height; ++py)
    {
        for (std::int32_t px = 0; px < area.width; ++px)
        {
            if (area.isMarked(px, py))
            {
                writePixel(px, py, brush->color);
            }
        }
    }
}

std::int32_t RasterSurface::textWidth(const char* text, int length)
{
    return measureText(font, text, length);
}

namespace
{

struct TextTarget
{
    RasterSurface* surface;
    ColorRef color;
    std::int32_t left, top, right, bottom;
};

void plotText(void* target, std::int32_t x, std::int32_t y)
{
    auto* t = static_cast<TextTarget*>(target);
    if (x >= t->left && x < t->right && y >= t->top && y < t->bottom)
    {
        t->surface->writePixel(x, y, t->color);
    }
}

} // namespace

// One line, centred vertically in the rectangle, clipped to it. An opaque background
// paints the text cell (the line's full height over the text's width) first.
void RasterSurface::drawText(const char* text, int length, std::int32_t left, std::int32_t top,
                             std::int32_t right, std::int32_t bottom, unsigned format)
{
    const std::int32_t width = measureText(font, text, length);
    const TextMetrics metrics = fontMetrics(font);
    const std::int32_t lineHeight = metrics.ascent + metrics.descent;
    std::int32_t x = left;
    if (format & kTextCenter)
    {
        x = left + (right - left - width) / 2;
    }
    else if (format & kTextRight)
    {
        x = right - width;
    }
    const std::int32_t y = top + (bottom - top - lineHeight) / 2;
    if (isOpaque)
    {
        for (std::int32_t py = std::max(y, top); py < std::min(y + lineHeight, bottom); ++py)
        {
            for (std::int32_t px = std::max(x, left); px < std::min(x + width, right); ++px)
            {
                writePixel(px, py, backgroundColor);
            }
        }
    }
    TextTarget target{this, textColor, left, top, right, bottom};
    renderText(font, text, length, x, y + metrics.ascent, plotText, &target);
}

void RasterSurface::bitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                           Surface& source, std::int32_t sourceX, std::int32_t sourceY, BlitOp op)
{
    auto& src = static_cast<RasterSurface&>(source);
    const bool isSourceMono = src.bitmap->isMonochrome;
    const bool isDestMono = bitmap->isMonochrome;
    // Copy through a buffer: source and destination may be the same bitmap.
    std::vector<std::int64_t> block(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), -1);
    for (std::int32_t j = 0; j < height; ++j)
    {
        for (std::int32_t i = 0; i < width; ++i)
        {
            const std::int32_t sx = sourceX + i;
            const std::int32_t sy = sourceY + j;
            if (sx < 0 || sy < 0 || sx >= src.bitmap->width || sy >= src.bitmap->height)
            {
                continue;
            }
            const std::uint32_t raw =
                src.bitmap->pixels[static_cast<std::size_t>(sy) * src.bitmap->width + sx];
            std::uint32_t value = raw;
            if (!isSourceMono && isDestMono)
            {
                value = raw == src.backgroundColor ? 1u : 0u;
            }
            else if (isSourceMono && !isDestMono)
            {
                value = raw != 0 ? backgroundColor : textColor;
            }
            block[static_cast<std::size_t>(j) * width + i] = value;
        }
    }
    const std::uint32_t mask = isDestMono ? 1u : kRgbMask;
    for (std::int32_t j = 0; j < height; ++j)
    {
        for (std::int32_t i = 0; i < width; ++i)
        {
            const std::int64_t value = block[static_cast<std::size_t>(j) * width + i];
            if (value < 0 || !isInClip(x + i, y + j))
            {
                continue;
            }
            const auto s = static_cast<std::uint32_t>(value);
            std::uint32_t& d = bitmap->pixels[static_cast<std::size_t>(y + j) * bitmap->width + (x + i)];
            switch (op)
            {
            case BlitOp::Copy:
                d = s & mask;
                break;
            case BlitOp::Invert:
                d = (d ^ s) & mask;
                break;
            case BlitOp::And:
                d = (d & s) & mask;
                break;
            }
        }
    }
}

} // namespace platform::raster
