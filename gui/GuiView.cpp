#include "gui/GuiView.h"

#include "gui/GuiFrame.h"

GuiView::GuiView(const GuiRect& newBounds)
    : bounds(newBounds)
    , mouseArea(newBounds)
{
}

GuiView::~GuiView() = default;

void GuiView::draw(DrawContext*)
{
    setNeedsRedraw(false);
}

void GuiView::drawArea(DrawContext* context, const GuiRect&)
{
    draw(context);
}

bool GuiView::overlaps(const GuiRect& area)
{
    return area.intersects(bounds);
}

void GuiView::onMouseDown(DrawContext*, GuiPoint&)
{
}

void GuiView::redrawIfNeeded(DrawContext* context)
{
    if (needsRedraw())
    {
        draw(context);
        setNeedsRedraw(false);
    }
}

std::int32_t GuiView::notify(GuiView*, const char*)
{
    return 0;
}

std::int32_t GuiView::onKeyDown(VstKeyCode&)
{
    return -1;
}

std::int32_t GuiView::onKeyUp(VstKeyCode&)
{
    return -1;
}

bool GuiView::onDrop(void**, std::int32_t, std::int32_t, GuiPoint&)
{
    return false;
}

bool GuiView::onWheel(DrawContext*, const GuiPoint&, float)
{
    return false;
}

void GuiView::loseFocus(DrawContext*)
{
}

void GuiView::gainFocus(DrawContext*)
{
}

bool GuiView::needsRedraw()
{
    return redrawFlag;
}

void GuiView::setNeedsRedraw(bool flag)
{
    redrawFlag = flag;
}

void GuiView::setMouseEnabled(bool flag)
{
    mouseEnabled = flag;
}

bool GuiView::isMouseEnabled()
{
    return mouseEnabled;
}

void GuiView::setMouseArea(const GuiRect& rect)
{
    mouseArea = rect;
}

GuiRect& GuiView::getMouseArea(GuiRect& rect)
{
    rect = mouseArea;
    return rect;
}

bool GuiView::contains(const GuiPoint& where, MouseButtons)
{
    return where.isInside(bounds);
}

void GuiView::setTransparent(bool flag)
{
    transparent = flag;
}

bool GuiView::isTransparent()
{
    return transparent;
}

void GuiView::setBounds(const GuiRect& rect)
{
    bounds = rect;
    setNeedsRedraw(true);
}

GuiRect& GuiView::getBounds(GuiRect& rect)
{
    rect = bounds;
    return rect;
}

void GuiView::setParentView(GuiView* view)
{
    parentView = view;
}

void GuiView::setFrame(GuiFrame* newFrame)
{
    frame = newFrame;
}

void* GuiView::getEditor()
{
    return frame ? frame->getEditor() : nullptr;
}

bool GuiView::detached(GuiView*)
{
    return true;
}

bool GuiView::attached(GuiView*)
{
    return true;
}

void GuiView::release()
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

void GuiView::retain()
{
    ++refCount;
}

std::int32_t GuiView::referenceCount()
{
    return refCount;
}
