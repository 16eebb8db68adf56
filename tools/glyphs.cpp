// Text rasterising - backed by FreeType, with fontconfig choosing the face.
#include "glyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

static std::vector<uint32_t> DecodeUtf8(const std::string& s)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        uint32_t cp = c;
        if (c >= 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else if (c >= 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

// The file and face index of the first face matching the pattern that covers every code point.
static bool FindFace(const std::string& pattern, const std::vector<uint32_t>& text, std::string& file, int& index)
{
    if (!FcInit())
        return false;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!pat)
        return false;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcFontSet* fonts = FcFontSort(nullptr, pat, FcFalse, nullptr, &result);
    bool found = false;
    for (int i = 0; fonts && i < fonts->nfont && !found; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcCharSet* charset = nullptr;
        FcChar8* path = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
            FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch)
            continue;
        bool covers = true;
        for (uint32_t cp : text)
            covers = covers && FcCharSetHasChar(charset, cp);
        if (!covers)
            continue;
        int faceIndex = 0;
        FcPatternGetInteger(font, FC_INDEX, 0, &faceIndex);
        file = reinterpret_cast<const char*>(path);
        index = faceIndex;
        found = true;
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcPatternDestroy(pat);
    return found;
}

// Draws the text on one baseline and crops to the inked pixels.
static Mask RenderLine(FT_Face face, const std::vector<uint32_t>& text, int pixelSize)
{
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    const int pad = 2;
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6) + pad;
    const int descent = static_cast<int>(-(face->size->metrics.descender >> 6)) + pad;
    int width = 2 * pad;
    for (uint32_t cp : text) {
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(face->glyph->advance.x >> 6) + 1;
    }
    Mask line(width + pixelSize, ascent + descent + pixelSize / 2);
    int pen = pad;
    for (uint32_t cp : text) {
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row) {
            for (unsigned col = 0; col < bm.width; ++col) {
                const int x = pen + g->bitmap_left + static_cast<int>(col);
                const int y = ascent - g->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= line.width || y >= line.height)
                    continue;
                const float v = bm.buffer[row * bm.pitch + col] / 255.0f;
                line.Ref(x, y) = std::max(line.At(x, y), v);
            }
        }
        pen += static_cast<int>(g->advance.x >> 6);
    }

    int left = line.width, right = -1, top = line.height, bottom = -1;
    for (int y = 0; y < line.height; ++y) {
        for (int x = 0; x < line.width; ++x) {
            if (line.At(x, y) > 0.0f) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return Mask();
    Mask out(right - left + 1, bottom - top + 1);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.Ref(x, y) = line.At(left + x, top + y);
    return out;
}

bool RenderTextFit(const std::string& pattern, const std::string& utf8, int startSize, int maxWidth, int maxHeight,
                   Mask& out)
{
    out = Mask();
    const std::vector<uint32_t> text = DecodeUtf8(utf8);
    std::string file;
    int index = 0;
    if (!FindFace(pattern, text, file, index))
        return false;

    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0)
        return false;
    FT_Face face = nullptr;
    bool ok = false;
    if (FT_New_Face(lib, file.c_str(), index, &face) == 0) {
        for (int size = startSize; size >= 6 && !ok; --size) {
            Mask m = RenderLine(face, text, size);
            if (m.width > 0 && m.width <= maxWidth && m.height <= maxHeight) {
                out = std::move(m);
                ok = true;
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return ok;
}

void ReleaseFonts()
{
    FcFini();
}
