#pragma once

#include <cstdint>

// The drawing surface behind the GUI toolkit: a device context with selectable pen, brush,
// font and bitmap objects, in the pixel rules of the Windows graphics interface. The
// Windows build passes every call straight to GDI; elsewhere a software surface implements
// the same rules, so that the toolkit draws the same pixels everywhere.
//
// Edge conventions, for every backend: a line does not set its end pixel; a filled
// rectangle, ellipse, pie or polygon covers its left and top edges and leaves out its right
// and bottom ones; an outline drawn with a pen covers the bounding box less its right and
// bottom edges.
namespace platform
{

// Red in the low byte, then green, then blue; the top byte is always 0.
using ColorRef = std::uint32_t;

constexpr ColorRef makeColorRef(int red, int green, int blue)
{
    return static_cast<ColorRef>(red) | static_cast<ColorRef>(green) << 8 | static_cast<ColorRef>(blue) << 16;
}

// Answer of getPixel for a point off the surface or outside its clip rectangle.
constexpr ColorRef kInvalidColor = 0xFFFFFFFFu;

// A pen, brush, font or bitmap. Whoever creates one deletes it with deleteObject, after
// it has been selected out of every surface.
using GfxObject = void*;

enum class ObjectKind
{
    Pen,
    Brush,
    Font,
    Bitmap
};

enum class PenStyle
{
    Solid,
    Dotted
};

// How a pen combines with the pixels under it.
enum class LineMix
{
    Copy,  // the pen colour
    Merge, // pen OR pixel
    NotXor // NOT (pen XOR pixel): drawing the same line twice restores the picture
};

// Raster operations of a block transfer.
enum class BlitOp
{
    Copy,   // destination = source
    Invert, // destination = destination XOR source
    And     // destination = destination AND source
};

struct SurfacePoint
{
    std::int32_t x;
    std::int32_t y;
};

// What a font is asked for; the system matches it to an installed face.
struct FontRequest
{
    std::int32_t heightPx; // character height in pixels (not the cell height)
    std::int32_t weight;   // 400 regular, 700 bold
    bool isItalic;
    bool isUnderlined;
    bool isDecorative; // decorative family instead of the sans-serif one
    char faceName[32];
};

// drawText layout. Text is always one line, centred vertically, with no prefix characters.
enum TextFormat : unsigned
{
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2
};

class Surface
{
public:
    virtual ~Surface() = default;

    // Objects. select answers the object of the same kind that was selected before.
    virtual GfxObject createPen(PenStyle style, std::int32_t width, ColorRef color) = 0;
    virtual GfxObject createSolidBrush(ColorRef color) = 0; // null when it cannot be made
    virtual GfxObject createFont(const FontRequest& request) = 0;
    // A bitmap in this surface's pixel format; 0 × 0 answers null.
    virtual GfxObject createCompatibleBitmap(std::int32_t width, std::int32_t height) = 0;
    virtual GfxObject nullPen() = 0; // shared, never deleted
    virtual GfxObject currentObject(ObjectKind kind) = 0;
    virtual GfxObject select(GfxObject object) = 0;
    virtual void deleteObject(GfxObject object) = 0;

    // Colours and modes.
    virtual ColorRef setBackgroundColor(ColorRef color) = 0; // answers the previous one
    virtual ColorRef setTextColor(ColorRef color) = 0;       // answers the previous one
    virtual void setBackgroundOpaque(bool isOpaque) = 0;
    virtual bool isBackgroundOpaque() = 0;
    virtual void setLineMix(LineMix mix) = 0;
    // Drawing is limited to this rectangle (surface coordinates, right and bottom excluded).
    virtual void setClipRect(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) = 0;

    // Primitives, with the selected pen and brush.
    virtual void moveTo(std::int32_t x, std::int32_t y) = 0;
    virtual void lineTo(std::int32_t x, std::int32_t y) = 0;
    virtual void polyline(const SurfacePoint* points, int count) = 0;
    virtual void polygon(const SurfacePoint* points, int count) = 0;
    virtual void fillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          GfxObject brush) = 0;
    virtual void ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    // Counter-clockwise from the ray towards start to the ray towards end; equal rays make
    // a full turn.
    virtual void arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     SurfacePoint start, SurfacePoint end) = 0;
    virtual void pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     SurfacePoint start, SurfacePoint end) = 0;
    virtual void setPixel(std::int32_t x, std::int32_t y, ColorRef color) = 0;
    virtual ColorRef getPixel(std::int32_t x, std::int32_t y) = 0;
    // Paints the 4-connected area of pixels of exactly `color` around (x, y) with the brush.
    virtual void floodFill(std::int32_t x, std::int32_t y, ColorRef color) = 0;

    // Text in the selected font and text colour.
    virtual std::int32_t textWidth(const char* text, int length) = 0;
    virtual void drawText(const char* text, int length, std::int32_t left, std::int32_t top,
                          std::int32_t right, std::int32_t bottom, unsigned format) = 0;

    // Block transfer of width × height pixels from source at (sourceX, sourceY). Between a
    // colour and a one-bit surface: source pixels equal to the source's background colour
    // become 1, the others 0; a 1 becomes this surface's background colour, a 0 its text
    // colour.
    virtual void bitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        Surface& source, std::int32_t sourceX, std::int32_t sourceY, BlitOp op) = 0;
};

// A surface over memory, compatible with `like` (or with the screen when null); it starts
// with a 1 × 1 one-bit bitmap selected. Delete it with deleteMemorySurface once the
// bitmap it drew on has been selected out.
Surface* createMemorySurface(Surface* like);
void deleteMemorySurface(Surface* surface);

// The surface of a window, or of the whole screen for a null window; give it back with
// releaseWindowSurface.
Surface* acquireWindowSurface(void* nativeWindow);
void releaseWindowSurface(void* nativeWindow, Surface* surface);

// A one-bit bitmap, all 0.
GfxObject createMonochromeBitmap(std::int32_t width, std::int32_t height);
// The BITMAP resource with this number, from the module the toolkit lives in; null when
// there is none.
GfxObject loadBitmapResource(int resourceId);
bool getBitmapSize(GfxObject bitmap, std::int32_t& width, std::int32_t& height);
// Deletes a bitmap, or any other object that no surface is using.
void deleteObject(GfxObject object);

// Optional transfers that a system may or may not offer. When present they give the same
// picture as the toolkit's own fallbacks.
//
// Copies width × height pixels, leaving the destination unchanged where the source pixel
// equals key on red, green and blue.
using TransparentBlitFn = bool (*)(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height, Surface& source, std::int32_t sourceX,
                                   std::int32_t sourceY, ColorRef key);
// Blends width × height source pixels over the destination with constant opacity 0..255.
using AlphaBlendFn = bool (*)(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height, Surface& source, std::int32_t sourceX,
                              std::int32_t sourceY, int alpha);

struct OptionalBlits
{
    TransparentBlitFn transparentBlit;
    AlphaBlendFn alphaBlend;
};

// Looks the optional transfers up; either may come back null.
OptionalBlits loadOptionalBlits();

} // namespace platform
