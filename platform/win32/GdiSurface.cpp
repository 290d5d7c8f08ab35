#include "platform/Surface.h"

#include <new>

#include <windows.h>

// The drawing surface of the Windows builds: every call goes straight to GDI, whose pixel
// rules the software surface copies. Handles are GDI handles cast to GfxObject.
namespace platform
{

namespace
{

static_assert(sizeof(SurfacePoint) == sizeof(POINT), "point lists are handed to GDI as they are");

HGDIOBJ gdi(GfxObject object)
{
    return static_cast<HGDIOBJ>(object);
}

class GdiSurface : public Surface
{
public:
    explicit GdiSurface(HDC newDc)
        : dc(newDc)
    {
    }

    HDC getDc() const { return dc; }

    GfxObject createPen(PenStyle style, std::int32_t width, ColorRef color) override
    {
        LOGPEN pen{};
        pen.lopnStyle = style == PenStyle::Dotted ? PS_DOT : PS_SOLID;
        pen.lopnWidth.x = width;
        pen.lopnColor = color;
        return CreatePenIndirect(&pen);
    }
    GfxObject createSolidBrush(ColorRef color) override
    {
        LOGBRUSH brush{};
        brush.lbStyle = BS_SOLID;
        brush.lbColor = color;
        return CreateBrushIndirect(&brush);
    }
    GfxObject createFont(const FontRequest& request) override
    {
        LOGFONTA font{};
        font.lfHeight = -request.heightPx; // negative: character height, not cell height
        font.lfWeight = request.weight;
        font.lfItalic = request.isItalic ? 1 : 0;
        font.lfUnderline = request.isUnderlined ? 1 : 0;
        font.lfCharSet = ANSI_CHARSET;
        font.lfOutPrecision = OUT_STRING_PRECIS;
        font.lfClipPrecision = CLIP_STROKE_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily =
            request.isDecorative ? FF_DECORATIVE | DEFAULT_PITCH : FF_SWISS | VARIABLE_PITCH;
        lstrcpynA(font.lfFaceName, request.faceName, LF_FACESIZE);
        return CreateFontIndirectA(&font);
    }
    GfxObject createCompatibleBitmap(std::int32_t width, std::int32_t height) override
    {
        return CreateCompatibleBitmap(dc, width, height);
    }
    GfxObject nullPen() override { return GetStockObject(NULL_PEN); }
    GfxObject currentObject(ObjectKind kind) override
    {
        switch (kind)
        {
        case ObjectKind::Pen:
            return GetCurrentObject(dc, OBJ_PEN);
        case ObjectKind::Brush:
            return GetCurrentObject(dc, OBJ_BRUSH);
        case ObjectKind::Font:
            return GetCurrentObject(dc, OBJ_FONT);
        case ObjectKind::Bitmap:
            return GetCurrentObject(dc, OBJ_BITMAP);
        }
        return nullptr;
    }
    GfxObject select(GfxObject object) override { return SelectObject(dc, gdi(object)); }
    void deleteObject(GfxObject object) override { DeleteObject(gdi(object)); }

    ColorRef setBackgroundColor(ColorRef color) override { return SetBkColor(dc, color); }
    ColorRef setTextColor(ColorRef color) override { return SetTextColor(dc, color); }
    void setBackgroundOpaque(bool isOpaque) override { SetBkMode(dc, isOpaque ? OPAQUE : TRANSPARENT); }
    bool isBackgroundOpaque() override { return GetBkMode(dc) == OPAQUE; }
    void setLineMix(LineMix mix) override
    {
        int rop = R2_COPYPEN;
        if (mix == LineMix::Merge)
        {
            rop = R2_MERGEPEN;
        }
        else if (mix == LineMix::NotXor)
        {
            rop = R2_NOTXORPEN;
        }
        SetROP2(dc, rop);
    }
    void setClipRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override
    {
        HRGN region = CreateRectRgn(left, top, right, bottom);
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }

    void moveTo(std::int32_t x, std::int32_t y) override { MoveToEx(dc, x, y, nullptr); }
    void lineTo(std::int32_t x, std::int32_t y) override { LineTo(dc, x, y); }
    void polyline(const SurfacePoint* points, int count) override
    {
        Polyline(dc, reinterpret_cast<const POINT*>(points), count);
    }
    void polygon(const SurfacePoint* points, int count) override
    {
        Polygon(dc, reinterpret_cast<const POINT*>(points), count);
    }
    void fillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  GfxObject brush) override
    {
        const RECT r{left, top, right, bottom};
        FillRect(dc, &r, static_cast<HBRUSH>(brush));
    }
    void ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override
    {
        Ellipse(dc, left, top, right, bottom);
    }
    void arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, SurfacePoint start,
             SurfacePoint end) override
    {
        Arc(dc, left, top, right, bottom, start.x, start.y, end.x, end.y);
    }
    void pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, SurfacePoint start,
             SurfacePoint end) override
    {
        Pie(dc, left, top, right, bottom, start.x, start.y, end.x, end.y);
    }
    void setPixel(std::int32_t x, std::int32_t y, ColorRef color) override { SetPixel(dc, x, y, color); }
    ColorRef getPixel(std::int32_t x, std::int32_t y) override { return GetPixel(dc, x, y); }
    void floodFill(std::int32_t x, std::int32_t y, ColorRef color) override
    {
        ExtFloodFill(dc, x, y, color, FLOODFILLSURFACE);
    }

    std::int32_t textWidth(const char* text, int length) override
    {
        SIZE size{};
        if (!GetTextExtentPoint32A(dc, text, length, &size))
        {
            return 0;
        }
        return size.cx;
    }
    void drawText(const char* text, int length, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom, unsigned format) override
    {
        RECT r{left, top, right, bottom};
        UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (format & kTextCenter)
        {
            flags |= DT_CENTER;
        }
        else if (format & kTextRight)
        {
            flags |= DT_RIGHT;
        }
        DrawTextA(dc, text, length, &r, flags);
    }

    void bitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, Surface& source,
                std::int32_t sourceX, std::int32_t sourceY, BlitOp op) override
    {
        DWORD rop = SRCCOPY;
        if (op == BlitOp::Invert)
        {
            rop = SRCINVERT;
        }
        else if (op == BlitOp::And)
        {
            rop = SRCAND;
        }
        BitBlt(dc, x, y, width, height, static_cast<GdiSurface&>(source).dc, sourceX, sourceY, rop);
    }

private:
    HDC dc;
};

HDC dcOf(Surface& surface)
{
    return static_cast<GdiSurface&>(surface).getDc();
}

// The module this code lives in: the plug-in DLL, or the test program.
HINSTANCE thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&thisModule), &module);
    return module;
}

using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// Entry points of the system's optional drawing library, looked up by loadOptionalBlits.
TransparentBltProc gTransparentBltProc = nullptr;
AlphaBlendProc gAlphaBlendProc = nullptr;

bool gdiTransparentBlit(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                        ColorRef key)
{
    return gTransparentBltProc != nullptr &&
           gTransparentBltProc(dcOf(destination), x, y, width, height, dcOf(source), sourceX, sourceY, width,
                               height, key);
}

bool gdiAlphaBlend(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                   int alpha)
{
    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = static_cast<BYTE>(alpha);
    blend.AlphaFormat = 0;
    return gAlphaBlendProc != nullptr && gAlphaBlendProc(dcOf(destination), x, y, width, height, dcOf(source),
                                                         sourceX, sourceY, width, height, blend);
}

template <typename Proc>
Proc lookUp(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

Surface* createMemorySurface(Surface* like)
{
    HDC dc = CreateCompatibleDC(like != nullptr ? dcOf(*like) : nullptr);
    if (dc == nullptr)
    {
        return nullptr;
    }
    return new (std::nothrow) GdiSurface(dc);
}

void deleteMemorySurface(Surface* surface)
{
    if (surface != nullptr)
    {
        DeleteDC(dcOf(*surface));
        delete surface;
    }
}

Surface* acquireWindowSurface(void* nativeWindow)
{
    HDC dc = GetDC(static_cast<HWND>(nativeWindow));
    if (dc == nullptr)
    {
        return nullptr;
    }
    return new (std::nothrow) GdiSurface(dc);
}

void releaseWindowSurface(void* nativeWindow, Surface* surface)
{
    if (surface != nullptr)
    {
        ReleaseDC(static_cast<HWND>(nativeWindow), dcOf(*surface));
        delete surface;
    }
}

GfxObject createMonochromeBitmap(std::int32_t width, std::int32_t height)
{
    return CreateBitmap(width, height, 1, 1, nullptr);
}

GfxObject loadBitmapResource(int resourceId)
{
    return LoadBitmapA(thisModule(), MAKEINTRESOURCEA(resourceId));
}

bool getBitmapSize(GfxObject bitmap, std::int32_t& width, std::int32_t& height)
{
    BITMAP description{};
    if (GetObjectA(gdi(bitmap), sizeof description, &description) == 0)
    {
        return false;
    }
    width = description.bmWidth;
    height = description.bmHeight;
    return true;
}

void deleteObject(GfxObject object)
{
    DeleteObject(gdi(object));
}

// The library stays loaded for the life of the process: the entry points are shared by
// every frame. TransparentBlt is taken only on the NT family, where it is reliable.
OptionalBlits loadOptionalBlits()
{
    gTransparentBltProc = nullptr;
    gAlphaBlendProc = nullptr;
    static HMODULE library = LoadLibraryA("msimg32.dll");
    if (library != nullptr)
    {
        gAlphaBlendProc = lookUp<AlphaBlendProc>(library, "AlphaBlend");
        const bool isNtFamily = (GetVersion() & 0x80000000u) == 0;
        if (isNtFamily)
        {
            gTransparentBltProc = lookUp<TransparentBltProc>(library, "TransparentBlt");
        }
    }
    return {gTransparentBltProc != nullptr ? gdiTransparentBlit : nullptr,
            gAlphaBlendProc != nullptr ? gdiAlphaBlend : nullptr};
}

} // namespace platform
