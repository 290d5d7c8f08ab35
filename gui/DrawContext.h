#pragma once

#include "gui/GuiTypes.h"

namespace platform
{
class Surface;
}
class GuiFrame;

// A short-lived wrapper around one drawing surface: it owns the pen, brush and font it
// creates, keeps the current colours, shifts coordinates by `offset` and answers
// questions about the mouse and the modifier keys. Every context starts from the same
// defaults: white one-pixel solid lines, black fills, white text on a transparent
// background, the surface's own font until setFont.
//
// Pixel rules: a line leaves its end pixel unset; drawRect frames the closed rectangle
// (columns left and right, rows top and bottom); fillRect paints strictly inside that
// frame, so filling and framing the same rectangle never overlap.
//
// Used only on the thread that owns the frame's window.
class DrawContext
{
public:
    DrawContext(GuiFrame* newFrame, platform::Surface* newNativeContext, void* newNativeWindow);
    // Puts back the objects the surface held at construction and deletes this context's
    // own; the surface itself belongs to whoever made the context.
    virtual ~DrawContext();

    platform::Surface* getNativeContext() const { return nativeContext; }
    void* getNativeWindow() const { return nativeWindow; }
    GuiFrame* getFrame() const { return frame; }
    const GuiPoint& getOffset() const { return offset; }

    void moveTo(const GuiPoint& p);
    void lineTo(const GuiPoint& p);
    void polyLine(const GuiPoint* points, std::int32_t count);
    void fillPolygon(const GuiPoint* points, std::int32_t count);
    void drawRect(const GuiRect& r);
    void fillRect(const GuiRect& r);
    // A full outline from the top centre round to itself.
    void drawEllipse(const GuiRect& r);
    void fillEllipse(const GuiRect& r);
    void drawArc(const GuiRect& r, const GuiPoint& start, const GuiPoint& end);
    void fillArc(const GuiRect& r, const GuiPoint& start, const GuiPoint& end);
    void drawPoint(const GuiPoint& p, const GuiColor& color);
    GuiColor getPoint(const GuiPoint& p);
    // Paints the connected area that has the colour of the pixel at p.
    void floodFill(const GuiPoint& p);
    std::int32_t getStringWidth(const char* text);
    // One line, centred vertically; left alignment (and any unknown value) starts one
    // pixel in from the left edge. The background mode is transparent afterwards.
    void drawString(const char* text, const GuiRect& r, bool opaque = false,
                    std::int32_t align = kAlignCenter);

    // Each of the three pen setters builds a new pen, even for an unchanged value.
    void setFrameColor(const GuiColor& color);
    void setLineWidth(std::int32_t width);
    void setLineStyle(std::int32_t style);
    // When no brush can be made the old one stays selected, but the colour is taken.
    void setFillColor(const GuiColor& color);
    void setFontColor(const GuiColor& color);
    // Touches the surface only when the mode changes.
    void setDrawMode(std::int32_t mode);
    // Not shifted by the offset.
    void setClipRect(const GuiRect& r);
    void resetClipRect();
    // Ids outside the table select kFontBold; size 0 takes the table's size.
    void setFont(std::int32_t newFontId, std::int32_t size = 0, std::int32_t style = 0);

    GuiColor getFrameColor() const { return frameColor; }
    GuiColor getFillColor() const { return fillColor; }
    GuiColor getFontColor() const { return fontColor; }
    std::int32_t getLineWidth() const { return lineWidth; }
    std::int32_t getLineStyle() const { return lineStyle; }
    std::int32_t getDrawMode() const { return drawMode; }
    std::int32_t getFontId() const { return fontId; }
    std::int32_t getFontSize() const { return fontSize; }
    const GuiRect& getClipRect() const { return clipRect; }

    // Live state, read at the moment of the call.
    MouseButtons getMouseButtons();
    // Cursor position relative to the window's top-left corner; the offset plays no part.
    void getMouseLocation(GuiPoint& p);
    // After a first left press: true when a second one comes within the double-click time
    // while the pointer stays within -2..+1 pixels of where it was.
    bool waitDoubleClick();
    // True when the pointer leaves a -2..+1 pixel box while the left button stays down.
    bool waitDrag();

    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

protected:
    GuiPoint windowOrigin;
    GuiPoint offset;
    platform::Surface* nativeContext;
    void* nativeWindow;
    GuiFrame* frame;
    std::int32_t fontSize = 0;
    std::int32_t fontId = 0;
    GuiColor fontColor = kColorWhite;
    std::int32_t lineWidth = 1;
    GuiColor frameColor = kColorWhite;
    GuiColor fillColor = kColorBlack;
    std::int32_t lineStyle = kLineSolid;
    std::int32_t drawMode = kModeCopy;
    GuiRect clipRect;
    void* brush = nullptr;
    void* pen = nullptr;
    void* font = nullptr;
    void* savedBrush = nullptr;
    void* savedPen = nullptr;
    void* savedFont = nullptr;
    bool isPenDotted = false;

private:
    void makePen();
    GuiRect shifted(const GuiRect& r) const;
};

// True when the user swapped the mouse buttons; written once when the frame first
// registers its window class, read by getMouseButtons.
extern bool gButtonsSwapped;
