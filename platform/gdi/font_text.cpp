// GDI fonts and text on fontconfig (face choice) and FreeType (glyphs): anti-aliased text
// blended into RGB565 surfaces, with faces and glyphs cached across calls.
#include "gdi_internal.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace {
constexpr int DEFAULT_CHARACTER_HEIGHT = 12; // lfHeight 0 asks for "a reasonable size"
constexpr int MAX_CHARACTER_HEIGHT = 1024;   // larger text would not fit any surface here
constexpr FT_Fixed ITALIC_SHEAR = 0x0366A;   // 0.2126 in 16.16: the usual synthetic slant
constexpr size_t MAX_CACHED_GLYPHS = 4096;

struct Face {
    FT_Face face = nullptr;
    int unitsAscent = 0; // Windows' cell: ascent + descent in font units
    int unitsDescent = 0;
};

struct Glyph {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    int advance = 0; // whole pixels
    std::vector<uint8_t> coverage;
};

FT_Library g_freeType = nullptr; // opened at the first text drawn
bool g_freeTypeFailed = false;
std::map<std::pair<std::string, int>, std::unique_ptr<Face>> g_faces; // by file and index
std::map<std::string, Face*> g_facesByName;                           // the face chosen for each requested name
std::map<std::tuple<Face*, int, bool, FT_UInt>, Glyph> g_glyphs;      // by face, size, slant, glyph

// fontconfig's configuration parser loses a few hundred bytes once at start-up; keep that out
// of the leak checker's reports, which are about our own memory.
bool InitFontConfig()
{
#ifdef __SANITIZE_ADDRESS__
    __lsan_disable();
    bool ready = FcInit();
    __lsan_enable();
    return ready;
#else
    return FcInit();
#endif
}

bool InitFreeType()
{
    if (!g_freeType && !g_freeTypeFailed)
        g_freeTypeFailed = FT_Init_FreeType(&g_freeType) != 0 || !InitFontConfig();
    return !g_freeTypeFailed;
}

Face* OpenFace(const FcChar8* file, int index)
{
    auto key = std::make_pair(std::string(reinterpret_cast<const char*>(file)), index);
    auto found = g_faces.find(key);
    if (found != g_faces.end())
        return found->second.get();
    auto face = std::make_unique<Face>();
    if (FT_New_Face(g_freeType, key.first.c_str(), index, &face->face) != 0)
        face->face = nullptr;
    else if (!FT_IS_SCALABLE(face->face) || FT_Select_Charmap(face->face, FT_ENCODING_UNICODE) != 0) {
        FT_Done_Face(face->face);
        face->face = nullptr;
    }
    if (face->face) {
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face->face, FT_SFNT_OS2));
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            face->unitsAscent = os2->usWinAscent;
            face->unitsDescent = os2->usWinDescent;
        } else {
            face->unitsAscent = face->face->ascender;
            face->unitsDescent = -face->face->descender;
        }
        if (face->unitsAscent + face->unitsDescent <= 0) {
            face->unitsAscent = face->face->units_per_EM;
            face->unitsDescent = 0;
        }
    }
    Face* result = face->face ? face.get() : nullptr;
    g_faces.emplace(key, std::move(face));
    return result;
}

Face* FaceOfPattern(FcPattern* match)
{
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch)
        return nullptr;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    return OpenFace(file, index);
}

bool CoversJapanese(FcPattern* pattern)
{
    FcLangSet* languages = nullptr;
    return FcPatternGetLangSet(pattern, FC_LANG, 0, &languages) == FcResultMatch &&
        FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
}

// fontconfig's best match for a pattern, kept only if `accept` approves of it.
template <typename Accept> Face* MatchFace(FcPattern* pattern, Accept accept)
{
    Face* face = nullptr;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match && accept(match))
        face = FaceOfPattern(match);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return face;
}

Face* AnyJapaneseFace()
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja"));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* fonts = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    Face* face = nullptr;
    for (int i = 0; fonts && i < fonts->nfont && !face; i++)
        face = FaceOfPattern(fonts->fonts[i]);
    if (fonts)
        FcFontSetDestroy(fonts);
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    return face;
}

// The named family if it is really installed, else a Japanese Mincho face, else any face that
// covers Japanese, else none.
Face* ChooseFace(const std::string& family)
{
    if (!family.empty()) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        Face* face = MatchFace(pattern, [&](FcPattern* match) {
            FcChar8* name = nullptr;
            for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; i++)
                if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
                    return true;
            return false;
        });
        if (face)
            return face;
    }
    if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("serif:lang=ja")))
        if (Face* face = MatchFace(pattern, CoversJapanese))
            return face;
    return AnyJapaneseFace();
}

Face* FaceForName(const std::string& family)
{
    auto found = g_facesByName.find(family);
    if (found != g_facesByName.end())
        return found->second;
    Face* face = ChooseFace(family);
    g_facesByName.emplace(family, face);
    return face;
}

const Glyph* LoadGlyph(Face* face, int sizeUnits, bool italic, FT_UInt index)
{
    auto key = std::make_tuple(face, sizeUnits, italic, index);
    auto found = g_glyphs.find(key);
    if (found != g_glyphs.end())
        return &found->second;
    if (FT_Set_Char_Size(face->face, 0, sizeUnits, 72, 72) != 0)
        return nullptr;
    FT_Matrix shear = {0x10000, italic ? ITALIC_SHEAR : 0, 0, 0x10000};
    FT_Set_Transform(face->face, &shear, nullptr);
    if (FT_Load_Glyph(face->face, index, FT_LOAD_NO_BITMAP) != 0 ||
        FT_Render_Glyph(face->face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        return nullptr;
    FT_GlyphSlot slot = face->face->glyph;
    Glyph glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
        for (int row = 0; row < glyph.rows; row++)
            for (int column = 0; column < glyph.width; column++)
                glyph.coverage[static_cast<size_t>(row) * glyph.width + column] =
                    slot->bitmap.buffer[static_cast<ptrdiff_t>(row) * slot->bitmap.pitch + column];
    } else {
        glyph.width = glyph.rows = 0;
    }
    return &g_glyphs.emplace(key, std::move(glyph)).first->second;
}

// UTF-8 to code points; decoding came from iconv, so the bytes are well formed.
std::vector<uint32_t> CodePoints(const std::string& text)
{
    std::vector<uint32_t> points;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); k++)
            point = point << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        points.push_back(point);
        i += extra + 1;
    }
    return points;
}

uint16_t Blend(uint16_t under, COLORREF colour, unsigned coverage)
{
    unsigned r = (under >> 11) & 0x1F, g = (under >> 5) & 0x3F, b = under & 0x1F;
    r = r << 3 | r >> 2;
    g = g << 2 | g >> 4;
    b = b << 3 | b >> 2;
    unsigned tr = colour & 0xFF, tg = (colour >> 8) & 0xFF, tb = (colour >> 16) & 0xFF;
    r = (r * (255 - coverage) + tr * coverage) / 255;
    g = (g * (255 - coverage) + tg * coverage) / 255;
    b = (b * (255 - coverage) + tb * coverage) / 255;
    return Rgb565(r, g, b);
}

void FillBox(GdiContext* context, int64_t left, int64_t top, int64_t right, int64_t bottom, uint16_t colour)
{
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, context->width);
    bottom = std::min<int64_t>(bottom, context->height);
    for (int64_t y = top; y < bottom; y++)
        for (int64_t x = left; x < right; x++)
            context->pixels[y * context->pitchPixels + x] = colour;
}

void DrawGlyph(GdiContext* context, const Glyph& glyph, int64_t penX, int64_t baseline)
{
    int64_t originX = penX + glyph.left;
    int64_t originY = baseline - glyph.top;
    for (int row = 0; row < glyph.rows; row++) {
        int64_t y = originY + row;
        if (y < 0 || y >= context->height)
            continue;
        uint16_t* line = context->pixels + y * context->pitchPixels;
        const uint8_t* coverage = &glyph.coverage[static_cast<size_t>(row) * glyph.width];
        for (int column = 0; column < glyph.width; column++) {
            int64_t x = originX + column;
            if (coverage[column] && x >= 0 && x < context->width)
                line[x] = Blend(line[x], context->textColour, coverage[column]);
        }
    }
}
} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* logFont)
{
    if (!logFont)
        return nullptr;
    GdiFont* font = new GdiFont();
    font->logFont = *logFont;
    font->logFont.lfFaceName[sizeof(font->logFont.lfFaceName) - 1] = 0;
    return AddGdiObject(font);
}

int SetBkMode(HDC context, int mode)
{
    GdiContext* live = FindGdiContext(context);
    if (!live || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = live->bkMode;
    live->bkMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC context, COLORREF colour)
{
    GdiContext* live = FindGdiContext(context);
    if (!live)
        return 0xFFFFFFFFu; // CLR_INVALID
    COLORREF previous = live->textColour;
    live->textColour = colour & 0xFFFFFF;
    return previous;
}

// (x, y) is the top-left corner of the text cell; the baseline lies one ascent below it.
BOOL TextOutA(HDC context, int x, int y, LPCSTR text, int length)
{
    GdiContext* live = FindGdiContext(context);
    if (!live || !live->pixels || (!text && length > 0) || length < 0)
        return FALSE;
    if (length == 0 || !InitFreeType())
        return TRUE;
    const LOGFONTA& logFont = live->font->logFont;
    Face* face = FaceForName(Cp932ToUtf8(logFont.lfFaceName, strnlen(logFont.lfFaceName, sizeof(logFont.lfFaceName))));
    if (!face)
        return TRUE; // no face to draw with: nothing is drawn

    // Positive heights are the whole cell, negative ones the character (em) height.
    int64_t requested = logFont.lfHeight;
    double unitsCell = face->unitsAscent + face->unitsDescent;
    double em = requested > 0 ? requested * face->face->units_per_EM / unitsCell
        : requested < 0       ? static_cast<double>(-requested)
                              : DEFAULT_CHARACTER_HEIGHT;
    if (em > MAX_CHARACTER_HEIGHT)
        return FALSE;
    int sizeUnits = std::max(1, static_cast<int>(std::lround(em * 64)));
    double scale = em / face->face->units_per_EM;
    int64_t ascent = std::lround(face->unitsAscent * scale);
    int64_t cellHeight = ascent + std::lround(face->unitsDescent * scale);
    bool italic = logFont.lfItalic != 0;

    // Emptied only here, so that no glyph of this line is dropped while it is drawn.
    if (g_glyphs.size() >= MAX_CACHED_GLYPHS)
        g_glyphs.clear();
    std::vector<uint32_t> points = CodePoints(Cp932ToUtf8(text, static_cast<size_t>(length)));
    std::vector<const Glyph*> glyphs;
    int64_t width = 0;
    for (uint32_t point : points) {
        const Glyph* glyph = LoadGlyph(face, sizeUnits, italic, FT_Get_Char_Index(face->face, point));
        glyphs.push_back(glyph);
        if (glyph)
            width += glyph->advance;
    }
    if (live->bkMode == OPAQUE)
        FillBox(live, x, y, x + width, y + cellHeight, ColorrefTo565(live->bkColour));
    int64_t penX = x;
    for (const Glyph* glyph : glyphs) {
        if (!glyph)
            continue;
        DrawGlyph(live, *glyph, penX, y + ascent);
        penX += glyph->advance;
    }
    return TRUE;
}
