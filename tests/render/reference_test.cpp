// Reference pictures of the two textured spheres the game is built around. Regenerate with
// ORBIT_UPDATE_REFERENCES=1 and look at the pictures before committing them.
#include "png_io.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

namespace {

// A checker of coloured squares with a bright stripe down u = 0, so seams and smears show.
std::string WriteChecker(const std::string& name)
{
    std::vector<uint32_t> texels(64 * 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++) {
            bool odd = ((x / 8) + (y / 8)) % 2 != 0;
            uint32_t colour = odd ? 0x2050C0 : 0x30A040;
            if (x < 2)
                colour = 0xFFE020;
            texels[y * 64 + x] = colour;
        }
    return WriteBitmap(name, 64, 32, texels);
}

void AddGameLights(RenderFixture& f)
{
    f.AddAmbient(0.35f);
    IDirect3DRMFrame* lightFrame = nullptr;
    f.rm->CreateFrame(f.scene, &lightFrame);
    lightFrame->SetPosition(f.scene, 50, 0, 0);
    lightFrame->SetOrientation(nullptr, -0.5f, -0.5f, -0.5f, 0, 0, 0);
    IDirect3DRMLight* sun = nullptr;
    f.rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.8f, 0.8f, 0.8f, &sun);
    lightFrame->AddLight(sun);
    sun->Release();
    lightFrame->Release();
}

void ExpectReference(RenderFixture& f, const char* name)
{
    SurfacePixels p = f.Pixels();
    std::string message;
    EXPECT_TRUE(MatchesReference(ImageFromRgb565(p.pixels, p.width, p.height, p.pitchPixels), name, 8, 40, &message))
        << message;
}

} // namespace

TEST(RenderReference, LitFlatWrappedSphere)
{
    RenderFixture f;
    AddGameLights(f);
    IDirect3DRMMeshBuilder* earth = LoadMesh(f.rm, WriteSphere("earth.x", 16, 24, false));
    earth->Scale(40, 40, 40);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(f.rm->LoadTexture(WriteChecker("earth.bmp").c_str(), &texture), D3DRM_OK);
    texture->SetDecalTransparency(TRUE);
    texture->SetDecalTransparentColor(0);
    earth->SetTexture(texture);
    IDirect3DRMWrap* wrap = nullptr;
    f.rm->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0.01f, 0.01f, &wrap);
    wrap->Apply(earth);
    IDirect3DRMFrame* frame = f.Show(earth, 20, -10, 150);
    frame->SetOrientation(f.scene, 0, 0, 0, 0, 0.5f, 0.5f);
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0.1f, 0, 0.6f);
    f.Draw();
    EXPECT_GT(f.CountNot(0), 30000);
    ExpectReference(f, "render/lit_flat_sphere");
    wrap->Release();
    texture->Release();
    earth->Release();
}

TEST(RenderReference, InwardTexturedSkySphere)
{
    RenderFixture f;
    AddGameLights(f);
    IDirect3DRMMeshBuilder* sky = LoadMesh(f.rm, WriteSphere("sky.x", 12, 20, true));
    sky->Scale(200, 200, 200);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(f.rm->LoadTexture(WriteChecker("sky.bmp").c_str(), &texture), D3DRM_OK);
    sky->SetTexture(texture);
    IDirect3DRMWrap* wrap = nullptr;
    f.rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, &wrap);
    wrap->Apply(sky);
    IDirect3DRMFrame* frame = f.Show(sky, 10, -6, 13);
    frame->SetOrientation(f.scene, 0.036f, -0.66f, 0.74f, 0.04f, -0.74f, -0.66f);
    // Look at a pole, where the seam ends, so both must come out clean.
    IDirect3DRMFrame* target = nullptr;
    f.rm->CreateFrame(f.scene, &target);
    target->SetPosition(f.scene, 30, -150, -110);
    f.camera->LookAt(target, f.scene, D3DRMCONSTRAIN_Y);
    f.Draw();
    int black = 640 * 480 - f.CountNot(0);
    EXPECT_EQ(black, 0); // the sky covers the whole screen
    ExpectReference(f, "render/inward_sky_sphere");
    target->Release();
    wrap->Release();
    texture->Release();
    sky->Release();
}
