// Mesh builders: reading .x files (and refusing broken ones), materials, scaling and textures.
#include "png_io.h"
#include "render_fixture.h"
#include "testing_render.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string WriteBytes(const std::string& name, const std::string& bytes)
{
    std::string path = ScratchPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::vector<float> QUAD = {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0};
const std::vector<XFace> QUAD_FACES = {{0, 1, 2}, {1, 3, 2}};

} // namespace

TEST(RenderMesh, BrokenFilesLeaveAnEmptyBuilderAndAnError)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    std::string good = ReadAll(WriteSphere("good.x", 8, 12, false));
    const char garbage[] = "\x89\x01\xff garbage \x00\x13 xof";
    std::string brokenFiles[] = {ScratchPath("missing.x"),
                                 WriteBytes("empty.x", ""),
                                 WriteBytes("truncated.x", good.substr(0, good.size() / 2)),
                                 WriteBytes("garbage.x", std::string(garbage, sizeof garbage - 1)),
                                 WriteBytes("header_only.x", "xof 0303txt 0032\n"),
                                 WriteBytes("bad_index.x",
                                            "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n 1;0;0;,\n"
                                            " 0;1;0;;\n 1;\n 3;0,1,7;;\n}\n")};
    for (const std::string& path : brokenFiles) {
        HRESULT result = D3DRM_OK;
        IDirect3DRMMeshBuilder* mesh = LoadMesh(f.rm, path, &result);
        EXPECT_NE(result, D3DRM_OK) << path;
        EXPECT_EQ(TestMeshFaceCount(mesh), 0) << path;
        mesh->Scale(2, 2, 2);
        f.Show(mesh, 0, 0, 5);
        mesh->Release();
    }
    // A builder that loaded once and then failed to load again is empty too.
    HRESULT result = D3DRM_OK;
    IDirect3DRMMeshBuilder* mesh = LoadMesh(f.rm, ScratchPath("good.x"), &result);
    EXPECT_EQ(result, D3DRM_OK);
    EXPECT_EQ(TestMeshFaceCount(mesh), 8 * 12 * 2);
    EXPECT_NE(mesh->Load(const_cast<char*>(brokenFiles[2].c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr),
              D3DRM_OK);
    EXPECT_EQ(TestMeshFaceCount(mesh), 0);
    f.Show(mesh, 0, 0, 5);
    mesh->Release();
    f.Draw(); // empty builders draw nothing
    EXPECT_EQ(f.CountNot(0), 0);
}

TEST(RenderMesh, WindowsPathsAndTheGameModelsLoad)
{
    RenderFixture f;
    std::string path = WriteXModel("win path.x", QUAD, QUAD_FACES);
    std::string windowsPath = path;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    IDirect3DRMMeshBuilder* mesh = LoadMesh(f.rm, windowsPath);
    EXPECT_EQ(TestMeshFaceCount(mesh), 2);
    mesh->Release();
    // The tests run beside the game's data.
    for (const char* name : {"SATELLITE.x", "ICBM.x", "CANON.x", "earth.x", "UFO.x", "meteo.x", "tenkyu.x"}) {
        HRESULT result = D3DRM_OK;
        IDirect3DRMMeshBuilder* model = LoadMesh(f.rm, name, &result);
        EXPECT_EQ(result, D3DRM_OK) << name;
        EXPECT_GT(TestMeshFaceCount(model), 0) << name;
        model->Release();
    }
    for (const char* name : {"earth2_texture.bmp", "tenkyu_texture.bmp"}) {
        IDirect3DRMTexture* texture = nullptr;
        EXPECT_EQ(f.rm->LoadTexture(name, &texture), D3DRM_OK) << name;
        EXPECT_TRUE(TestTextureLoaded(texture)) << name;
        if (texture)
            texture->Release();
    }
    IDirect3DRMTexture* texture = nullptr;
    EXPECT_NE(f.rm->LoadTexture(ScratchPath("no_such.bmp").c_str(), &texture), D3DRM_OK);
    EXPECT_EQ(texture, nullptr);
}

TEST(RenderMesh, MaterialsColourFacesAndNoListMeansWhite)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    IDirect3DRMMeshBuilder* plain = LoadMesh(f.rm, WriteXModel("plain.x", QUAD, QUAD_FACES));
    IDirect3DRMMeshBuilder* coloured = LoadMesh(f.rm, WriteXModel("two.x", QUAD, QUAD_FACES, {1, 0, 0, 0, 1, 0}));
    f.Show(plain, -1.5f, 0, 10);
    f.Show(coloured, 1.5f, 0, 10);
    f.Draw();
    EXPECT_EQ(f.Pixel(320 - 96, 240), 0xFFFF);
    // The first face (upper left half) red, the second green.
    EXPECT_EQ(f.Pixel(320 + 96 - 40, 240 - 40), 0xF800);
    EXPECT_EQ(f.Pixel(320 + 96 + 40, 240 + 40), 0x07E0);
    plain->Release();
    coloured->Release();
}

TEST(RenderMesh, ScalingMovesVerticesButKeepsShading)
{
    RenderFixture f;
    f.AddAmbient(0.1f);
    IDirect3DRMFrame* lightFrame = nullptr;
    f.rm->CreateFrame(f.scene, &lightFrame);
    lightFrame->SetOrientation(f.scene, 0.6f, 0, 0.8f, 0, 1, 0); // 0.8 of full strength on the quad
    IDirect3DRMLight* sun = nullptr;
    f.rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 1, 1, 1, &sun);
    lightFrame->AddLight(sun);
    IDirect3DRMMeshBuilder* quad = LoadMesh(f.rm, WriteXModel("scaled.x", QUAD, QUAD_FACES));
    f.Show(quad, 0, 0, 10);
    f.Draw();
    uint16_t before = f.Pixel(320, 240);
    int areaBefore = f.CountNot(0);
    quad->Scale(2, 3, 1);
    f.Draw();
    EXPECT_EQ(f.Pixel(320, 240), before);
    EXPECT_NEAR(f.CountNot(0), 6 * areaBefore, areaBefore / 20);
    EXPECT_NEAR((before >> 5) & 63, static_cast<int>((25.0f / 255 + 0.8f) * 255) >> 2, 1);
    quad->Release();
    sun->Release();
    lightFrame->Release();
}

TEST(RenderMesh, DecalTexelsOfTheTransparentColourAreNotDrawn)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    // Four bands of columns: a near black that is black in 16 bits and black (both transparent),
    // the darkest colour that is not black in 16 bits, and white.
    const uint32_t bands[4] = {0x070307, 0x000000, 0x080408, 0xFFFFFF};
    std::vector<uint32_t> texels(16 * 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            texels[y * 16 + x] = bands[x / 4];
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(f.rm->LoadTexture(WriteBitmap("decal.bmp", 16, 16, texels).c_str(), &texture), D3DRM_OK);
    texture->SetDecalTransparency(TRUE);
    texture->SetDecalTransparentColor(0);
    IDirect3DRMMeshBuilder* front = LoadMesh(f.rm, WriteXModel("front.x", QUAD, QUAD_FACES));
    IDirect3DRMMeshBuilder* back = LoadMesh(f.rm, WriteXModel("back.x", QUAD, QUAD_FACES, {0, 0, 1, 0, 0, 1}));
    front->SetTexture(texture);
    IDirect3DRMWrap* wrap = nullptr;
    // u = 0.5 x + 0.5 spans the quad once from left to right.
    f.rm->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0, 0, 0, 0, 0, 1, 0, 1, 0, -0.5f, -0.5f, 0.5f, -0.5f, &wrap);
    wrap->Apply(front);
    f.Show(front, 0, 0, 10);
    f.Show(back, 0, 0, 12);
    f.Draw();
    // The quad spans pixels 256 to 384, eight pixels a texel.
    EXPECT_EQ(f.Pixel(270, 240), 0x001F); // through the transparent bands to the blue quad
    EXPECT_EQ(f.Pixel(300, 240), 0x001F);
    EXPECT_EQ(f.Pixel(336, 240), 0x0821);
    EXPECT_EQ(f.Pixel(370, 240), 0xFFFF);
    // Without decal transparency the black texels are drawn.
    texture->SetDecalTransparency(FALSE);
    f.Draw();
    EXPECT_EQ(f.Pixel(270, 240), 0x0000);
    EXPECT_EQ(f.Pixel(300, 240), 0x0000);
    wrap->Release();
    texture->Release();
    front->Release();
    back->Release();
}
