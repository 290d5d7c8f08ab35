#pragma once

#include "gui/GuiTypes.h"

class DrawContext;
class GuiFrame;
struct VstKeyCode;

// Base of everything the frame holds and draws: a rectangle of the window that draws
// itself, says whether it must be redrawn, takes mouse presses, keys, wheel turns and
// drops, and is reference-counted.
//
// Redraw protocol: a view that must look different calls setNeedsRedraw(true) (setBounds
// does so itself); at the idle pass the frame calls redrawIfNeeded; on a repaint the frame
// calls drawArea on every view that overlaps the damage, and the view draws itself whole.
// Every draw ends by clearing the flag.
//
// The order of the virtual operations is fixed: derived classes keep it and append theirs.
// Only the thread that owns the frame's window touches views; the count is not atomic.
class GuiView
{
public:
    explicit GuiView(const GuiRect& newBounds);

    virtual ~GuiView();
    virtual void draw(DrawContext* context);
    // Draws the whole view; the area is not used.
    virtual void drawArea(DrawContext* context, const GuiRect& area);
    // Closed test: a view whose edge only touches the area overlaps it.
    virtual bool overlaps(const GuiRect& area);
    virtual void onMouseDown(DrawContext* context, GuiPoint& where);
    virtual void redrawIfNeeded(DrawContext* context);
    virtual std::int32_t notify(GuiView* sender, const char* message);
    // Anything but -1 means the view used the key.
    virtual std::int32_t onKeyDown(VstKeyCode& key);
    virtual std::int32_t onKeyUp(VstKeyCode& key);
    virtual bool onDrop(void** items, std::int32_t count, std::int32_t kind, GuiPoint& where);
    virtual bool onWheel(DrawContext* context, const GuiPoint& where, float distance);
    virtual void loseFocus(DrawContext* context);
    virtual void gainFocus(DrawContext* context);
    virtual bool needsRedraw();
    virtual void setNeedsRedraw(bool flag);
    virtual void setMouseEnabled(bool flag);
    virtual bool isMouseEnabled();
    virtual void setMouseArea(const GuiRect& rect);
    virtual GuiRect& getMouseArea(GuiRect& rect);
    // Closed test on all four edges; the buttons play no part here.
    virtual bool contains(const GuiPoint& where, MouseButtons buttons);
    virtual void setTransparent(bool flag);
    virtual bool isTransparent();
    // Marks the view for redraw even when the bounds did not change: callers use
    // setBounds as the cheap way to force one. The mouse area stays as it was.
    virtual void setBounds(const GuiRect& rect);
    virtual GuiRect& getBounds(GuiRect& rect);
    virtual void setParentView(GuiView* view);
    virtual void setFrame(GuiFrame* newFrame);
    // The editor that owns the frame; null outside a frame.
    virtual void* getEditor();
    virtual bool detached(GuiView* parent);
    virtual bool attached(GuiView* parent);
    // Deletes the view when the count drops to 0; a count already at 0 or below stays and
    // nothing is deleted, so a surplus release cannot free the view twice.
    virtual void release();
    virtual void retain();
    virtual std::int32_t referenceCount();

    GuiView(const GuiView&) = delete;
    GuiView& operator=(const GuiView&) = delete;

protected:
    std::int32_t refCount = 1;
    GuiRect bounds;
    GuiRect mouseArea;
    GuiFrame* frame = nullptr;
    GuiView* parentView = nullptr;
    bool redrawFlag = false;
    bool mouseEnabled = true;
    bool transparent = false;
};
