#pragma once

// Bitmap resources for systems without module resources: BMP files compiled into the
// program as byte arrays register here under their numbers, and loadBitmapResource finds
// them. Windows builds compile the same files in as BITMAP resources instead.
namespace platform
{

struct EmbeddedBitmap
{
    int resourceId;
    const unsigned char* bytes;
    unsigned long size;
};

// The table must outlive every lookup (static data). A later entry with the same number
// wins.
void registerEmbeddedBitmaps(const EmbeddedBitmap* table, int count);

} // namespace platform
