#include "platform/Resources.h"
#include "platform/Surface.h"
#include "platform/raster/RasterSurface.h"

#include <cstddef>
#include <map>
#include <new>

// The platform functions of the software surface: memory and screen surfaces, bitmaps
// decoded from embedded BMP files, and its own transparent and blended transfers.
namespace platform
{

using raster::RasterBitmap;
using raster::RasterObject;
using raster::RasterSurface;

Surface* createMemorySurface(Surface*)
{
    return new (std::nothrow) RasterSurface(false);
}

void deleteMemorySurface(Surface* surface)
{
    delete surface;
}

// Until a window backend shows raster surfaces on screen, a window's surface is a
// screen-format surface without pixels of its own: it makes colour bitmaps.
Surface* acquireWindowSurface(void*)
{
    return new (std::nothrow) RasterSurface(true);
}

void releaseWindowSurface(void*, Surface* surface)
{
    delete surface;
}

GfxObject createMonochromeBitmap(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
    {
        return nullptr;
    }
    return new (std::nothrow) RasterBitmap(width, height, true);
}

bool getBitmapSize(GfxObject bitmap, std::int32_t& width, std::int32_t& height)
{
    auto* o = static_cast<RasterObject*>(bitmap);
    if (o == nullptr || o->kind != ObjectKind::Bitmap)
    {
        return false;
    }
    width = static_cast<RasterBitmap*>(o)->width;
    height = static_cast<RasterBitmap*>(o)->height;
    return true;
}

void deleteObject(GfxObject object)
{
    auto* o = static_cast<RasterObject*>(object);
    if (o != nullptr && !o->isStock)
    {
        delete o;
    }
}

namespace
{

std::map<int, EmbeddedBitmap>& embeddedBitmaps()
{
    static std::map<int, EmbeddedBitmap> table;
    return table;
}

std::uint32_t readLe(const unsigned char* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
    {
        v = v << 8 | p[i];
    }
    return v;
}

// Decodes an uncompressed BMP of 1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down,
// into a colour bitmap. Anything else, or a truncated file, answers null.
RasterBitmap* decodeBmp(const unsigned char* data, unsigned long size)
{
    if (size < 54 || data[0] != 'B' || data[1] != 'M')
    {
        return nullptr;
    }
    const std::uint32_t pixelOffset = readLe(data + 10, 4);
    const std::uint32_t headerSize = readLe(data + 14, 4);
    const auto width = static_cast<std::int32_t>(readLe(data + 18, 4));
    auto height = static_cast<std::int32_t>(readLe(data + 22, 4));
    const std::uint32_t bitsPerPixel = readLe(data + 28, 2);
    const std::uint32_t compression = readLe(data + 30, 4);
    std::uint32_t paletteSize = readLe(data + 46, 4);
    const bool isTopDown = height < 0;
    if (isTopDown)
    {
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || compression != 0 || headerSize < 40)
    {
        return nullptr;
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
        bitsPerPixel != 32)
    {
        return nullptr;
    }
    if (bitsPerPixel <= 8 && paletteSize == 0)
    {
        paletteSize = 1u << bitsPerPixel;
    }
    const std::size_t paletteStart = 14 + headerSize;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    if (paletteStart + static_cast<std::size_t>(paletteSize) * 4 > size ||
        pixelOffset + stride * static_cast<std::size_t>(height) > size)
    {
        return nullptr;
    }
    auto* bitmap = new (std::nothrow) RasterBitmap(width, height, false);
    if (bitmap == nullptr)
    {
        return nullptr;
    }
    for (std::int32_t row = 0; row < height; ++row)
    {
        const unsigned char* line = data + pixelOffset + stride * static_cast<std::size_t>(row);
        const std::int32_t y = isTopDown ? row : height - 1 - row;
        for (std::int32_t x = 0; x < width; ++x)
        {
            std::uint32_t blue = 0;
            std::uint32_t green = 0;
            std::uint32_t red = 0;
            if (bitsPerPixel >= 24)
            {
                const unsigned char* p = line + static_cast<std::size_t>(x) * (bitsPerPixel / 8);
                blue = p[0];
                green = p[1];
                red = p[2];
            }
            else
            {
                const std::size_t bit = static_cast<std::size_t>(x) * bitsPerPixel;
                const unsigned shift = 8 - bitsPerPixel - static_cast<unsigned>(bit % 8);
                std::uint32_t index = (line[bit / 8] >> shift) & ((1u << bitsPerPixel) - 1);
                if (index >= paletteSize)
                {
                    index = 0;
                }
                const unsigned char* entry = data + paletteStart + index * 4;
                blue = entry[0];
                green = entry[1];
                red = entry[2];
            }
            bitmap->pixels[static_cast<std::size_t>(y) * width + x] = red | green << 8 | blue << 16;
        }
    }
    return bitmap;
}

// Constant-opacity blend, rounded to nearest: the destination keeps (255 - alpha) / 255
// of itself and takes alpha / 255 of the source, per channel.
std::uint32_t blendChannel(std::uint32_t source, std::uint32_t destination, std::uint32_t alpha)
{
    return (source * alpha + destination * (255 - alpha) + 127) / 255;
}

bool rasterTransparentBlit(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                           ColorRef key)
{
    auto& dst = static_cast<RasterSurface&>(destination);
    auto& src = static_cast<RasterSurface&>(source);
    for (std::int32_t j = 0; j < height; ++j)
    {
        for (std::int32_t i = 0; i < width; ++i)
        {
            ColorRef c = 0;
            if (src.readPixel(sourceX + i, sourceY + j, c) && c != (key & 0xFFFFFF))
            {
                dst.writePixel(x + i, y + j, c);
            }
        }
    }
    return true;
}

bool rasterAlphaBlend(Surface& destination, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                      int alpha)
{
    auto& dst = static_cast<RasterSurface&>(destination);
    auto& src = static_cast<RasterSurface&>(source);
    if (alpha < 0 || alpha > 255)
    {
        return false;
    }
    const auto a = static_cast<std::uint32_t>(alpha);
    for (std::int32_t j = 0; j < height; ++j)
    {
        for (std::int32_t i = 0; i < width; ++i)
        {
            ColorRef s = 0;
            ColorRef d = 0;
            if (!src.readPixel(sourceX + i, sourceY + j, s) || !dst.isInClip(x + i, y + j) ||
                !dst.readPixel(x + i, y + j, d))
            {
                continue;
            }
            ColorRef blended = 0;
            for (int shift = 0; shift < 24; shift += 8)
            {
                blended |= blendChannel((s >> shift) & 0xFF, (d >> shift) & 0xFF, a) << shift;
            }
            dst.writePixel(x + i, y + j, blended);
        }
    }
    return true;
}

} // namespace

void registerEmbeddedBitmaps(const EmbeddedBitmap* table, int count)
{
    for (int i = 0; i < count; ++i)
    {
        embeddedBitmaps()[table[i].resourceId] = table[i];
    }
}

GfxObject loadBitmapResource(int resourceId)
{
    const auto found = embeddedBitmaps().find(resourceId);
    if (found == embeddedBitmaps().end())
    {
        return nullptr;
    }
    return decodeBmp(found->second.bytes, found->second.size);
}

OptionalBlits loadOptionalBlits()
{
    return {rasterTransparentBlit, rasterAlphaBlend};
}

} // namespace platform
