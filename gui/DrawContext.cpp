#include "gui/DrawContext.h"

#include "gui/GuiFrame.h"
#include "platform/Input.h"
#include "platform/Surface.h"

#include <cstring>
#include <initializer_list>
#include <new>

bool gButtonsSwapped = false;

namespace
{

// Point lists up to this length are shifted in the call's own storage.
constexpr std::int32_t kInlinePoints = 30;

// Shifted copy of a point list: on the stack for short lists, on the heap for long ones.
class ShiftedPoints
{
public:
    ShiftedPoints(const GuiPoint* points, std::int32_t count, const GuiPoint& offset)
        : data(count <= kInlinePoints ? inlineBuffer : new (std::nothrow) platform::SurfacePoint[count])
    {
        if (data == nullptr)
        {
            return;
        }
        for (std::int32_t i = 0; i < count; ++i)
        {
            data[i] = {points[i].h + offset.h, points[i].v + offset.v};
        }
    }
    ~ShiftedPoints()
    {
        if (data != inlineBuffer)
        {
            delete[] data;
        }
    }
    ShiftedPoints(const ShiftedPoints&) = delete;
    ShiftedPoints& operator=(const ShiftedPoints&) = delete;

    const platform::SurfacePoint* get() const { return data; }

private:
    platform::SurfacePoint inlineBuffer[kInlinePoints];
    platform::SurfacePoint* data;
};

platform::SurfacePoint toSurface(const GuiPoint& p, const GuiPoint& offset)
{
    return {p.h + offset.h, p.v + offset.v};
}

} // namespace

DrawContext::DrawContext(GuiFrame* newFrame, platform::Surface* newNativeContext, void* newNativeWindow)
    : nativeContext(newNativeContext)
    , nativeWindow(newNativeWindow)
    , frame(newFrame)
    , clipRect(0, 0, 1000, 1000)
{
    if (frame != nullptr)
    {
        frame->getBounds(clipRect);
    }
    if (nativeContext != nullptr)
    {
        savedBrush = nativeContext->currentObject(platform::ObjectKind::Brush);
        savedPen = nativeContext->currentObject(platform::ObjectKind::Pen);
        savedFont = nativeContext->currentObject(platform::ObjectKind::Font);
        nativeContext->setBackgroundOpaque(false);
    }
    if (nativeWindow != nullptr)
    {
        platform::currentInput().getWindowOrigin(nativeWindow, windowOrigin.h, windowOrigin.v);
    }
    if (nativeContext != nullptr)
    {
        setFrameColor(frameColor);
        setLineStyle(lineStyle);
        setFillColor(fillColor);
        setFontColor(fontColor);
    }
}

DrawContext::~DrawContext()
{
    if (nativeContext != nullptr)
    {
        if (savedBrush != nullptr)
        {
            nativeContext->select(savedBrush);
        }
        if (savedPen != nullptr)
        {
            nativeContext->select(savedPen);
        }
        if (savedFont != nullptr)
        {
            nativeContext->select(savedFont);
        }
    }
    // An off-screen context deletes its surface before this runs and leaves
    // nativeContext null; its objects then go through the platform directly.
    for (void* own : {brush, pen, font})
    {
        if (own == nullptr)
        {
            continue;
        }
        if (nativeContext != nullptr)
        {
            nativeContext->deleteObject(own);
        }
        else
        {
            platform::deleteObject(own);
        }
    }
}

GuiRect DrawContext::shifted(const GuiRect& r) const
{
    GuiRect s = r;
    s.offset(offset.h, offset.v);
    return s;
}

void DrawContext::moveTo(const GuiPoint& p)
{
    nativeContext->moveTo(p.h + offset.h, p.v + offset.v);
}

void DrawContext::lineTo(const GuiPoint& p)
{
    nativeContext->lineTo(p.h + offset.h, p.v + offset.v);
}

void DrawContext::polyLine(const GuiPoint* points, std::int32_t count)
{
    ShiftedPoints shiftedPoints(points, count, offset);
    if (shiftedPoints.get() != nullptr)
    {
        nativeContext->polyline(shiftedPoints.get(), count);
    }
}

void DrawContext::fillPolygon(const GuiPoint* points, std::int32_t count)
{
    ShiftedPoints shiftedPoints(points, count, offset);
    if (shiftedPoints.get() == nullptr)
    {
        return;
    }
    void* previousPen = nativeContext->select(nativeContext->nullPen());
    nativeContext->polygon(shiftedPoints.get(), count);
    nativeContext->select(previousPen);
}

void DrawContext::drawRect(const GuiRect& r)
{
    const GuiRect s = shifted(r);
    nativeContext->moveTo(s.left, s.top);
    nativeContext->lineTo(s.right, s.top);
    nativeContext->lineTo(s.right, s.bottom);
    nativeContext->lineTo(s.left, s.bottom);
    nativeContext->lineTo(s.left, s.top);
}

void DrawContext::fillRect(const GuiRect& r)
{
    const GuiRect s = shifted(r);
    void* previousPen = nativeContext->select(nativeContext->nullPen());
    nativeContext->fillRect(s.left + 1, s.top + 1, s.right, s.bottom,
                            nativeContext->currentObject(platform::ObjectKind::Brush));
    nativeContext->select(previousPen);
}

void DrawContext::drawEllipse(const GuiRect& r)
{
    const GuiPoint top(r.left + (r.right - r.left) / 2, r.top);
    drawArc(r, top, top);
}

void DrawContext::fillEllipse(const GuiRect& r)
{
    const GuiRect s = shifted(r);
    void* previousPen = nativeContext->select(nativeContext->nullPen());
    nativeContext->ellipse(s.left + 1, s.top + 1, s.right + 1, s.bottom + 1);
    nativeContext->select(previousPen);
}

void DrawContext::drawArc(const GuiRect& r, const GuiPoint& start, const GuiPoint& end)
{
    const GuiRect s = shifted(r);
    nativeContext->arc(s.left, s.top, s.right + 1, s.bottom + 1, toSurface(start, offset),
                       toSurface(end, offset));
}

void DrawContext::fillArc(const GuiRect& r, const GuiPoint& start, const GuiPoint& end)
{
    const GuiRect s = shifted(r);
    void* previousPen = nativeContext->select(nativeContext->nullPen());
    nativeContext->pie(s.left + 1, s.top + 1, s.right, s.bottom, toSurface(start, offset),
                       toSurface(end, offset));
    nativeContext->select(previousPen);
}

void DrawContext::drawPoint(const GuiPoint& p, const GuiColor& color)
{
    nativeContext->setPixel(p.h + offset.h, p.v + offset.v, color.toColorRef());
}

GuiColor DrawContext::getPoint(const GuiPoint& p)
{
    const platform::ColorRef c = nativeContext->getPixel(p.h + offset.h, p.v + offset.v);
    return GuiColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0);
}

void DrawContext::floodFill(const GuiPoint& p)
{
    const std::int32_t x = p.h + offset.h;
    const std::int32_t y = p.v + offset.v;
    nativeContext->floodFill(x, y, nativeContext->getPixel(x, y));
}

std::int32_t DrawContext::getStringWidth(const char* text)
{
    return nativeContext->textWidth(text, static_cast<int>(std::strlen(text)));
}

void DrawContext::drawString(const char* text, const GuiRect& r, bool opaque, std::int32_t align)
{
    if (text == nullptr)
    {
        return;
    }
    GuiRect s = shifted(r);
    nativeContext->setBackgroundOpaque(opaque);
    unsigned format = platform::kTextLeft;
    if (align == kAlignCenter)
    {
        format = platform::kTextCenter;
    }
    else if (align == kAlignRight)
    {
        format = platform::kTextRight;
    }
    else
    {
        s.left += 1;
    }
    nativeContext->drawText(text, static_cast<int>(std::strlen(text)), s.left, s.top, s.right, s.bottom,
                            format);
    nativeContext->setBackgroundOpaque(false);
}

void DrawContext::makePen()
{
    void* newPen =
        nativeContext->createPen(isPenDotted ? platform::PenStyle::Dotted : platform::PenStyle::Solid,
                                 lineWidth, frameColor.toColorRef());
    if (newPen == nullptr)
    {
        return;
    }
    nativeContext->select(newPen);
    if (pen != nullptr)
    {
        nativeContext->deleteObject(pen);
    }
    pen = newPen;
}

void DrawContext::setFrameColor(const GuiColor& color)
{
    frameColor = color;
    makePen();
}

void DrawContext::setLineWidth(std::int32_t width)
{
    lineWidth = width;
    makePen();
}

void DrawContext::setLineStyle(std::int32_t style)
{
    lineStyle = style;
    isPenDotted = style == kLineDotted;
    makePen();
}

void DrawContext::setFillColor(const GuiColor& color)
{
    fillColor = color;
    nativeContext->setBackgroundColor(color.toColorRef());
    void* newBrush = nativeContext->createSolidBrush(color.toColorRef());
    if (newBrush == nullptr)
    {
        return;
    }
    nativeContext->select(newBrush);
    if (brush != nullptr)
    {
        nativeContext->deleteObject(brush);
    }
    brush = newBrush;
}

void DrawContext::setFontColor(const GuiColor& color)
{
    fontColor = color;
    nativeContext->setTextColor(color.toColorRef());
}

void DrawContext::setDrawMode(std::int32_t mode)
{
    if (mode == drawMode)
    {
        return;
    }
    drawMode = mode;
    platform::LineMix mix = platform::LineMix::Copy;
    if (mode == kModeOr)
    {
        mix = platform::LineMix::Merge;
    }
    else if (mode == kModeXor)
    {
        mix = platform::LineMix::NotXor;
    }
    nativeContext->setLineMix(mix);
}

void DrawContext::setClipRect(const GuiRect& r)
{
    clipRect = r;
    nativeContext->setClipRect(r.left, r.top, r.right, r.bottom);
}

void DrawContext::resetClipRect()
{
    GuiRect r(0, 0, 1000, 1000);
    if (frame != nullptr)
    {
        frame->getBounds(r);
    }
    setClipRect(r);
}

void DrawContext::setFont(std::int32_t newFontId, std::int32_t size, std::int32_t style)
{
    if (newFontId < 0 || newFontId >= kFontCount)
    {
        newFontId = kFontBold;
    }
    fontId = newFontId;
    fontSize = size == 0 ? kFontTable[fontId].defaultSizePx : size;

    platform::FontRequest request{};
    request.heightPx = fontSize;
    request.weight = (style & kStyleBold) != 0 || fontId == kFontBold ? 700 : 400;
    request.isItalic = (style & kStyleItalic) != 0;
    request.isUnderlined = (style & kStyleUnderline) != 0;
    request.isDecorative = fontId == kFontSymbol;
    std::strncpy(request.faceName, kFontTable[fontId].face, sizeof request.faceName - 1);

    void* newFont = nativeContext->createFont(request);
    if (newFont == nullptr)
    {
        return;
    }
    nativeContext->select(newFont);
    if (font != nullptr)
    {
        nativeContext->deleteObject(font);
    }
    font = newFont;
}

MouseButtons DrawContext::getMouseButtons()
{
    platform::Input& input = platform::currentInput();
    MouseButtons buttons = 0;
    if (input.isKeyDown(platform::InputKey::LeftButton))
    {
        buttons |= gButtonsSwapped ? kMouseRight : kMouseLeft;
    }
    if (input.isKeyDown(platform::InputKey::RightButton))
    {
        buttons |= gButtonsSwapped ? kMouseLeft : kMouseRight;
    }
    if (input.isKeyDown(platform::InputKey::MiddleButton))
    {
        buttons |= kMouseMiddle;
    }
    if (input.isKeyDown(platform::InputKey::Shift))
    {
        buttons |= kModShift;
    }
    if (input.isKeyDown(platform::InputKey::Control))
    {
        buttons |= kModControl;
    }
    if (input.isKeyDown(platform::InputKey::Alt))
    {
        buttons |= kModAlt;
    }
    return buttons;
}

void DrawContext::getMouseLocation(GuiPoint& p)
{
    platform::currentInput().getCursorPosition(p.h, p.v);
    p.h -= windowOrigin.h;
    p.v -= windowOrigin.v;
}

bool DrawContext::waitDoubleClick()
{
    platform::Input& input = platform::currentInput();
    GuiPoint p;
    getMouseLocation(p);
    const GuiRect box(p.h - 2, p.v - 2, p.h + 2, p.v + 2);
    const std::uint32_t deadline = input.messageTimeMs() + input.doubleClickTimeMs();
    if (input.tickCountMs() >= deadline)
    {
        return false;
    }
    do
    {
        getMouseLocation(p);
        if (!box.containsPoint(p))
        {
            return false;
        }
        if (input.takeLeftButtonPress())
        {
            return true;
        }
    } while (input.tickCountMs() < deadline);
    return false;
}

bool DrawContext::waitDrag()
{
    if (frame == nullptr)
    {
        return false;
    }
    GuiPoint p;
    getMouseLocation(p);
    const GuiRect box(p.h - 2, p.v - 2, p.h + 2, p.v + 2);
    while ((getMouseButtons() & kMouseLeft) != 0)
    {
        frame->runIdleTasks();
        getMouseLocation(p);
        if (!box.containsPoint(p))
        {
            return true;
        }
    }
    return false;
}
