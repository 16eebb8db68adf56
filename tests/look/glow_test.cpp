// Glowing parts of the game's models (the shot, the UFO's lamps, the missile's flame) keep their
// colour where no light reaches them; everything else goes dark.
#include "render_fixture.h"
#include "testing_render.h"

#include <gtest/gtest.h>

namespace {

struct Channels {
    int r, g, b;
};

Channels Widen(uint16_t c)
{
    return {(c >> 11) << 3, ((c >> 5) & 0x3F) << 2, (c & 0x1F) << 3};
}

// The brightest pixel on screen by its red plus green.
Channels Brightest(RenderFixture& f)
{
    SurfacePixels p = f.Pixels();
    Channels best{0, 0, 0};
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            Channels c = Widen(p.pixels[static_cast<size_t>(y) * p.pitchPixels + x]);
            if (c.r + c.g > best.r + best.g)
                best = c;
        }
    return best;
}

} // namespace

TEST(LookGlow, GlowingMaterialsShineWithoutLightAndOthersStayDark)
{
    RenderFixture f; // no lights at all
    IDirect3DRMMeshBuilder* shot = LoadMesh(f.rm, "CANON.x");
    ASSERT_GT(TestMeshFaceCount(shot), 0);
    shot->Scale(3, 3, 10);
    IDirect3DRMFrame* frame = f.Show(shot, 0, 0, 8);
    frame->SetOrientation(f.scene, 1, 0, 0, 0, 1, 0); // side on
    f.Draw();
    // The bolt is pale yellow-white and fills a visible streak.
    Channels c = Brightest(f);
    EXPECT_GE(c.r, 240);
    EXPECT_GE(c.g, 220);
    EXPECT_GE(c.b, 100);
    EXPECT_LT(c.b, c.g);
    EXPECT_GT(f.CountNot(0), 500);
    frame->DeleteVisual(shot);

    // The UFO: its lamps glow amber, while its hull, lit by nothing, stays black.
    IDirect3DRMMeshBuilder* ufo = LoadMesh(f.rm, "UFO.x");
    ufo->Scale(1.5f, 1.5f, 1.5f);
    frame->AddVisual(ufo);
    frame->SetOrientation(f.scene, 0, 0.3f, 1, 0, 1, -0.3f); // a little from above
    f.Draw();
    Channels lamp = Brightest(f);
    EXPECT_GE(lamp.r, 240);
    EXPECT_GT(lamp.g, lamp.b + 100);
    int lit = f.CountNot(0);
    EXPECT_GT(lit, 20);
    EXPECT_LT(lit, 3000); // lamps and the beam only, not the whole saucer
    ufo->Release();
    shot->Release();
}
