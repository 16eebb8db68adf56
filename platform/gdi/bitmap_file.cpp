// Bitmap files (no library): the BMP decoder, LoadImageA and GetObjectA. Every header field and
// size is checked against the file before a pixel is read, so a cut or corrupt file is refused.
#include "gdi_internal.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr int64_t MAX_BITMAP_SIDE = 16384;
constexpr int64_t MAX_BITMAP_PIXELS = 64 * 1024 * 1024;
constexpr long MAX_FILE_SIZE = 256L * 1024 * 1024;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

uint32_t Read16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Read32(const uint8_t* p)
{
    return Read16(p) | Read16(p + 2) << 16;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* out)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    ok = ok && size > 0 && size <= MAX_FILE_SIZE && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(static_cast<size_t>(size));
        ok = std::fread(out->data(), 1, out->size(), file) == out->size();
    }
    std::fclose(file);
    return ok;
}

// One channel of a bit-field pixel scaled to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & (1u << shift)))
        shift++;
    uint32_t bits = mask >> shift;
    uint32_t v = (value & mask) >> shift;
    return bits == 0xFF ? v : static_cast<uint32_t>((static_cast<uint64_t>(v) * 255 + bits / 2) / bits);
}

bool DecodeBitmapBytes(const std::vector<uint8_t>& file, DecodedBitmap* out)
{
    const size_t size = file.size();
    const uint8_t* data = file.data();
    if (size < FILE_HEADER_SIZE + 12 || data[0] != 'B' || data[1] != 'M')
        return false;
    uint64_t pixelOffset = Read32(data + 10);
    const uint8_t* info = data + FILE_HEADER_SIZE;
    uint32_t infoSize = Read32(info);
    if (infoSize < 12 || FILE_HEADER_SIZE + static_cast<uint64_t>(infoSize) > size)
        return false;

    int64_t width, height;
    uint32_t planes, bits, compression = BI_RGB, coloursUsed = 0;
    size_t paletteEntrySize = 4;
    if (infoSize == 12) { // the old core header
        width = Read16(info + 4);
        height = Read16(info + 6);
        planes = Read16(info + 8);
        bits = Read16(info + 10);
        paletteEntrySize = 3;
    } else if (infoSize >= 40) {
        width = static_cast<int32_t>(Read32(info + 4));
        height = static_cast<int32_t>(Read32(info + 8));
        planes = Read16(info + 12);
        bits = Read16(info + 14);
        compression = Read32(info + 16);
        coloursUsed = Read32(info + 32);
    } else {
        return false;
    }
    bool topDown = height < 0;
    int64_t rows = topDown ? -height : height;
    if (planes != 1 || width <= 0 || rows <= 0 || width > MAX_BITMAP_SIDE || rows > MAX_BITMAP_SIDE ||
        width * rows > MAX_BITMAP_PIXELS)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;

    // Bit fields of a 32-bit bitmap: in the header from version 4 on, else right after it.
    uint32_t redMask = 0xFF0000, greenMask = 0xFF00, blueMask = 0xFF;
    size_t afterHeader = FILE_HEADER_SIZE + infoSize;
    if (compression == BI_BITFIELDS) {
        if (bits != 32)
            return false;
        const uint8_t* masks = info + 40;
        if (infoSize < 52) {
            if (afterHeader + 12 > size)
                return false;
            masks = data + afterHeader;
            afterHeader += 12;
        }
        redMask = Read32(masks);
        greenMask = Read32(masks + 4);
        blueMask = Read32(masks + 8);
    } else if (compression != BI_RGB) {
        return false; // run-length and embedded formats are not used by the game
    }

    std::vector<uint32_t> palette;
    if (bits <= 8) {
        uint32_t maxColours = 1u << bits;
        uint32_t count = coloursUsed ? coloursUsed : maxColours;
        if (count > maxColours)
            return false;
        if (afterHeader + static_cast<uint64_t>(count) * paletteEntrySize > size)
            return false;
        palette.resize(maxColours, 0); // indices past the stored colours read as black
        for (uint32_t i = 0; i < count; i++) {
            const uint8_t* entry = data + afterHeader + i * paletteEntrySize;
            palette[i] = static_cast<uint32_t>(entry[2]) << 16 | static_cast<uint32_t>(entry[1]) << 8 | entry[0];
        }
    }

    uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    uint64_t lastRowBytes = (static_cast<uint64_t>(width) * bits + 7) / 8;
    if (pixelOffset < afterHeader || pixelOffset + stride * static_cast<uint64_t>(rows - 1) + lastRowBytes > size)
        return false;

    out->width = static_cast<int>(width);
    out->height = static_cast<int>(rows);
    out->fileHeight = static_cast<int>(height);
    out->bitsPerPixel = static_cast<int>(bits);
    out->pixels.assign(static_cast<size_t>(width * rows), 0);
    for (int64_t row = 0; row < rows; row++) {
        const uint8_t* in = data + pixelOffset + stride * static_cast<uint64_t>(row);
        int64_t outRow = topDown ? row : rows - 1 - row;
        uint32_t* pixel = &out->pixels[static_cast<size_t>(outRow * width)];
        for (int64_t x = 0; x < width; x++) {
            switch (bits) {
            case 1: pixel[x] = palette[(in[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: pixel[x] = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: pixel[x] = palette[in[x]]; break;
            case 24:
                pixel[x] =
                    static_cast<uint32_t>(in[3 * x + 2]) << 16 | static_cast<uint32_t>(in[3 * x + 1]) << 8 | in[3 * x];
                break;
            default: {
                uint32_t value = Read32(in + 4 * x);
                pixel[x] = Channel(value, redMask) << 16 | Channel(value, greenMask) << 8 | Channel(value, blueMask);
                break;
            }
            }
        }
    }
    return true;
}
} // namespace

bool DecodeBitmapFile(const char* path, DecodedBitmap* out)
{
    std::vector<uint8_t> file;
    if (!path || !out || !ReadWholeFile(path, &file))
        return false;
    DecodedBitmap decoded;
    if (!DecodeBitmapBytes(file, &decoded))
        return false;
    *out = std::move(decoded);
    return true;
}

// Bitmaps from files only: the program carries no resources.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    (void)instance;
    if (!name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || width != 0 || height != 0)
        return nullptr;
    GdiBitmap* bitmap = new GdiBitmap();
    if (!DecodeBitmapFile(NativePath(name).c_str(), &bitmap->image)) {
        delete bitmap;
        return nullptr;
    }
    return AddGdiObject(bitmap);
}

// As much of the record as the caller's size holds; the 32-bit caller's BITMAP ends before bmBits.
int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    GdiObject* object = FindGdiObject(handle);
    if (!object || size < 0)
        return 0;
    if (object->kind == GdiKind::Bitmap) {
        const DecodedBitmap& image = static_cast<GdiBitmap*>(object)->image;
        if (!buffer)
            return sizeof(BITMAP);
        BITMAP record{};
        record.bmType = 0;
        record.bmWidth = image.width;
        record.bmHeight = image.fileHeight;
        record.bmWidthBytes = (image.width * image.bitsPerPixel + 15) / 16 * 2;
        record.bmPlanes = 1;
        record.bmBitsPixel = static_cast<WORD>(image.bitsPerPixel);
        record.bmBits = nullptr; // the decoded pixels are not in the file's format
        size_t count = std::min(static_cast<size_t>(size), sizeof(record));
        std::memcpy(buffer, &record, count);
        return static_cast<int>(count);
    }
    if (object->kind == GdiKind::Font) {
        if (!buffer)
            return sizeof(LOGFONTA);
        size_t count = std::min(static_cast<size_t>(size), sizeof(LOGFONTA));
        std::memcpy(buffer, &static_cast<GdiFont*>(object)->logFont, count);
        return static_cast<int>(count);
    }
    return 0;
}
