// GDI text and lines drawn into a surface through its device context.
#include "ddraw.h"
#include "display_fixture.h"
#include "platform_internal.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {
constexpr int WIDTH = 240;
constexpr int HEIGHT = 80;
const char TEST_TEXT[] = "\x83\x65\x83\x58\x83\x67"
                         "AB"; // "テストAB"

bool HaveJapaneseFace()
{
    // fontconfig is started by the text code first, which keeps its one-time allocations out
    // of leak reports.
    LOGFONTA logFont{};
    HFONT font = CreateFontIndirectA(&logFont);
    uint16_t pixel = 0;
    HDC context = CreateSurfaceDC(&pixel, 1, 1, 1);
    SelectObject(context, font);
    TextOutA(context, 0, 0, "A", 1);
    DestroySurfaceDC(context);
    DeleteObject(font);

    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja"));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

struct Canvas {
    DisplayFixture display;
    IDirectDrawSurface* surface = display.Offscreen(WIDTH, HEIGHT);
    SurfacePixels pixels;

    Canvas() { EXPECT_TRUE(GetSurfacePixels(surface, &pixels)); }
    ~Canvas() { surface->Release(); }
    uint16_t At(int x, int y) const { return pixels.pixels[y * pixels.pitchPixels + x]; }

    void Text(const char* face, int height, int x, int y, COLORREF colour, bool italic, int mode = TRANSPARENT)
    {
        EXPECT_TRUE(DrawTextLikeTheGame(surface, face, height, italic, x, y, colour, mode, TEST_TEXT));
    }

    // Pixels that are not black, and their bounding box.
    int Ink(RECT* box = nullptr) const
    {
        int count = 0;
        RECT found = {WIDTH, HEIGHT, 0, 0};
        for (int y = 0; y < HEIGHT; y++)
            for (int x = 0; x < WIDTH; x++)
                if (At(x, y)) {
                    count++;
                    found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                             std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1)};
                }
        if (box)
            *box = found;
        return count;
    }
};
} // namespace

TEST(Platform2dText, TextLandsInItsCellInTheTextColour)
{
    if (!HaveJapaneseFace())
        GTEST_SKIP() << "no face with Japanese coverage installed";
    Canvas canvas;
    canvas.Text(MINCHO_FACE, 24, 20, 10, RGB(255, 0, 0), false);
    RECT box;
    ASSERT_GT(canvas.Ink(&box), 50);
    EXPECT_GE(box.left, 20);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.bottom, 10 + 24);
    EXPECT_LT(box.right, 20 + 6 * 24);
    int solid = 0, wrongHue = 0;
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            uint16_t p = canvas.At(x, y);
            solid += p == 0xF800;
            wrongHue += (p & 0x07FF) != 0; // anti-aliasing over black only ever adds red
        }
    EXPECT_GT(solid, 10);
    EXPECT_EQ(wrongHue, 0);
}

TEST(Platform2dText, HeightSignItalicAndBackgroundModeChangeTheDrawing)
{
    if (!HaveJapaneseFace())
        GTEST_SKIP() << "no face with Japanese coverage installed";
    // A positive height is the whole cell, so its characters come out smaller than with the
    // same negative (character) height.
    Canvas cell, character;
    cell.Text(MINCHO_FACE, 40, 0, 0, RGB(255, 255, 255), false);
    character.Text(MINCHO_FACE, -40, 0, 0, RGB(255, 255, 255), false);
    RECT cellBox, characterBox;
    cell.Ink(&cellBox);
    character.Ink(&characterBox);
    EXPECT_LT(cellBox.right - cellBox.left, characterBox.right - characterBox.left);

    Canvas upright, italic;
    upright.Text(MINCHO_FACE, 24, 10, 10, RGB(255, 255, 255), false);
    italic.Text(MINCHO_FACE, 24, 10, 10, RGB(255, 255, 255), true);
    int differing = 0;
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++)
            differing += upright.At(x, y) != italic.At(x, y);
    EXPECT_GT(differing, 50);

    // An opaque background fills the cell white behind the text.
    Canvas opaque;
    opaque.Text(MINCHO_FACE, 24, 10, 10, RGB(255, 0, 0), false, OPAQUE);
    EXPECT_EQ(opaque.At(10, 10), 0xFFFF);
    EXPECT_EQ(opaque.At(9, 10), 0);
    EXPECT_EQ(opaque.At(10, 34), 0);

    // A face that is not installed falls back to a Japanese one rather than drawing nothing.
    Canvas fallback;
    fallback.Text("NoSuchFaceAnywhere", 24, 10, 10, RGB(255, 255, 255), false);
    EXPECT_GT(fallback.Ink(), 50);
}

TEST(Platform2dText, LinesUseThePenWidthAndLeaveOutTheEndPoint)
{
    Canvas canvas;
    HDC context = nullptr;
    ASSERT_EQ(canvas.surface->GetDC(&context), DD_OK);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 255, 0));
    HPEN thin = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(context, pen);
    MoveToEx(context, 10, 20, nullptr);
    EXPECT_TRUE(LineTo(context, 30, 20));
    // Far outside the surface: cut away, nothing written out of bounds.
    MoveToEx(context, -30000, 60, nullptr);
    EXPECT_TRUE(LineTo(context, 30000, 60));
    SelectObject(context, thin);
    MoveToEx(context, 10, 40, nullptr);
    EXPECT_TRUE(LineTo(context, 30, 40));
    SelectObject(context, previous);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(thin));
    EXPECT_EQ(canvas.surface->ReleaseDC(context), DD_OK);

    for (int y = 19; y <= 21; y++)
        EXPECT_EQ(canvas.At(20, y), 0x07E0);
    EXPECT_EQ(canvas.At(20, 18), 0);
    EXPECT_EQ(canvas.At(20, 22), 0);
    EXPECT_EQ(canvas.At(29, 40), 0x001F);
    EXPECT_EQ(canvas.At(30, 40), 0); // the end point itself is not drawn
    EXPECT_EQ(canvas.At(20, 41), 0);
    EXPECT_EQ(canvas.At(WIDTH - 1, 60), 0x07E0); // the long line crosses the whole surface
}
