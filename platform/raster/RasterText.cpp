#include "platform/raster/RasterObjects.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

// Text of the software surface: fontconfig picks the installed face that best matches the
// request (a metric-compatible sans-serif for "Arial" where Arial itself is absent), and
// FreeType renders its glyphs without anti-aliasing. 8-bit text is read as Latin-1.
namespace platform::raster
{

struct RasterFontFace
{
    FT_Face face = nullptr;
    TextMetrics metrics{0, 0};
};

namespace
{

FT_Library freeType()
{
    // Process-wide and never released: faces live as long as the fonts that use them.
    static FT_Library library = []
    {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
        {
            l = nullptr;
        }
        return l;
    }();
    return library;
}

// File and face index of the installed font that fontconfig matches to the request.
bool findFontFile(const FontRequest& request, std::string& path, int& index)
{
    if (!FcInit())
    {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr)
    {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.faceName));
    // The family is the fallback where the face is missing, as with the system's matching.
    FcPatternAddString(
        pattern, FC_FAMILY,
        reinterpret_cast<const FcChar8*>(request.isDecorative ? "Standard Symbols PS" : "sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.isItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
    {
        return false;
    }
    FcChar8* file = nullptr;
    bool isFound = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (isFound)
    {
        path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch)
        {
            index = 0;
        }
    }
    FcPatternDestroy(match);
    return isFound;
}

RasterFontFace* faceOf(RasterFont* font)
{
    if (font == nullptr)
    {
        return nullptr;
    }
    if (!font->isLoadAttempted)
    {
        font->isLoadAttempted = true;
        std::string path;
        int index = 0;
        FT_Face face = nullptr;
        if (freeType() != nullptr && findFontFile(font->request, path, index) &&
            FT_New_Face(freeType(), path.c_str(), index, &face) == 0)
        {
            if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
            {
                FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL);
            }
            const int heightPx = font->request.heightPx > 0 ? font->request.heightPx : 12;
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(heightPx));
            font->face = new RasterFontFace;
            font->face->face = face;
            font->face->metrics.ascent = static_cast<std::int32_t>((face->size->metrics.ascender + 63) >> 6);
            font->face->metrics.descent =
                static_cast<std::int32_t>((-face->size->metrics.descender + 63) >> 6);
        }
    }
    return font->face;
}

FT_UInt glyphIndex(FT_Face face, unsigned char c)
{
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0 && face->charmap != nullptr && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
    {
        // Symbol fonts put their glyphs at 0xF000 plus the 8-bit code.
        index = FT_Get_Char_Index(face, 0xF000u + c);
    }
    return index;
}

} // namespace

RasterFont::RasterFont(const FontRequest& newRequest)
    : RasterObject(ObjectKind::Font)
    , request(newRequest)
{
}

RasterFont::~RasterFont()
{
    if (face != nullptr)
    {
        FT_Done_Face(face->face);
        delete face;
    }
}

std::int32_t measureText(RasterFont* font, const char* text, int length)
{
    RasterFontFace* f = faceOf(font);
    if (f == nullptr || text == nullptr)
    {
        return 0;
    }
    std::int32_t width = 0;
    for (int i = 0; i < length; ++i)
    {
        if (FT_Load_Glyph(f->face, glyphIndex(f->face, static_cast<unsigned char>(text[i])),
                          FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0)
        {
            width += static_cast<std::int32_t>((f->face->glyph->advance.x + 32) >> 6);
        }
    }
    return width;
}

TextMetrics fontMetrics(RasterFont* font)
{
    RasterFontFace* f = faceOf(font);
    return f != nullptr ? f->metrics : TextMetrics{0, 0};
}

void renderText(RasterFont* font, const char* text, int length, std::int32_t x, std::int32_t baseline,
                PlotFn plot, void* target)
{
    RasterFontFace* f = faceOf(font);
    if (f == nullptr || text == nullptr)
    {
        return;
    }
    const std::int32_t startX = x;
    for (int i = 0; i < length; ++i)
    {
        if (FT_Load_Glyph(f->face, glyphIndex(f->face, static_cast<unsigned char>(text[i])),
                          FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        {
            continue;
        }
        const FT_GlyphSlot slot = f->face->glyph;
        const FT_Bitmap& bits = slot->bitmap;
        for (unsigned row = 0; row < bits.rows; ++row)
        {
            const unsigned char* line = bits.buffer + static_cast<long>(row) * bits.pitch;
            for (unsigned col = 0; col < bits.width; ++col)
            {
                const bool isSet = bits.pixel_mode == FT_PIXEL_MODE_MONO
                                       ? (line[col / 8] & (0x80 >> (col % 8))) != 0
                                       : line[col] >= 128;
                if (isSet)
                {
                    plot(target, x + slot->bitmap_left + static_cast<std::int32_t>(col),
                         baseline - slot->bitmap_top + static_cast<std::int32_t>(row));
                }
            }
        }
        x += static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
    }
    if (font->request.isUnderlined)
    {
        for (std::int32_t px = startX; px < x; ++px)
        {
            plot(target, px, baseline + 1);
        }
    }
}

} // namespace platform::raster
