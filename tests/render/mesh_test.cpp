// Mesh builders: reading .x files (and refusing broken ones), materials, scaling and textures.
#include "png_io.h"
#include "render_fixture.h"
#include "testing_render.h"
#include "xfile_reader.h"

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

// A mesh of one triangle up to its face list.
const std::string TRIANGLE_HEAD = "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n 1;0;0;,\n 0;1;0;;\n";

const std::vector<float> QUAD = {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0};
const std::vector<XFace> QUAD_FACES = {{0, 1, 2}, {1, 3, 2}};

} // namespace

TEST(RenderMesh, BrokenFilesLeaveAnEmptyBuilderAndAnError)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    std::string good = ReadAll(WriteSphere("good.x", 8, 12, false));
    const char garbage[] = "\x89\x01\xff garbage \x00\x13 xof";
    std::string brokenFiles[] = {
        ScratchPath("missing.x"),
        WriteBytes("empty.x", ""),
        WriteBytes("truncated.x", good.substr(0, good.size() / 2)),
        WriteBytes("garbage.x", std::string(garbage, sizeof garbage - 1)),
        WriteBytes("header_only.x", "xof 0303txt 0032\n"),
        WriteBytes("bad_index.x", TRIANGLE_HEAD + " 1;\n 3;0,1,7;;\n}\n"),
        WriteBytes("binary.x", "xof 0302bin 0032\x01\x00\x04\x00Mesh"),
        WriteBytes("compressed.x", "xof 0303tzip0032\x10\x00\x00\x00MSCIxyz"),
        WriteBytes("huge_count.x", "xof 0303txt 0032\nMesh {\n 4294967295;\n 0;0;0;;\n}\n"),
        WriteBytes("many_corners.x", TRIANGLE_HEAD + " 1;\n 100000;0,1,2;;\n}\n"),
        WriteBytes(
            "deep.x",
            "xof 0303txt 0032\n" +
                [] {
                    std::string frames;
                    for (int i = 0; i < 100000; i++)
                        frames += "Frame {\n";
                    return frames;
                }()),
        WriteBytes("long_name.x", "xof 0303txt 0032\nFrame " + std::string(300, 'F') + " {}\n"),
        WriteBytes("not_finite.x",
                   "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n 1e39;0;0;,\n"
                   " 0;nan;0;;\n 1;\n 3;0,1,2;;\n}\n"),
        WriteBytes("normal_index.x",
                   TRIANGLE_HEAD +
                       " 1;\n 3;0,1,2;;\n MeshNormals {\n 1;\n"
                       " 0;0;1;;\n 1;\n 3;0,0,1;;\n }\n}\n"),
        WriteBytes("material_index.x",
                   TRIANGLE_HEAD +
                       " 1;\n 3;0,1,2;;\n MeshMaterialList {\n"
                       " 1;\n 1;\n 1;;\n { Missing }\n }\n}\n")};
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

// What exporters write beyond the game's own models: templates and comments, nested frames whose
// matrices compose, a material named once and referred to, polygons, texture coordinates, and
// normals given per face corner.
TEST(RenderMesh, FramesReferencesPolygonsAndCornerNormalsReadAsWritten)
{
    const std::string text =
        "xof 0302txt 0064\n"
        "template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; }\n"
        "Header { 1; 0; 1; }\n"
        "# a comment\n"
        "Material Red { 1.0;0.0;0.0;1.0;; 5.0; 0;0;0;; 0.25;0;0;; TextureFilename { \"a.bmp\"; } }\n"
        "Frame Outer {\n"
        " Frame Inner {\n"
        "  Mesh Square { // two faces: a quad, then a triangle on its edge\n"
        "   4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
        "   2; 4;0,3,2,1;, 3;1,2,0;;\n"
        "   MeshMaterialList { 1; 1; 0;; { Red } }\n"
        "   MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1.5;; }\n"
        "   MeshVertexColors { 1; 3; 1;1;1;1;; }\n"
        "   MeshNormals { 2; 0;0;-1;, 0;0;1;; 2; 4;0,0,0,0;, 3;1,1,1;; }\n"
        "   AnimationKey { 0; 1; 0; 3; 1;2;3;;; }\n"
        "  }\n"
        "  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 1,0,0,1;; }\n"
        " }\n"
        " FrameTransformMatrix { 0,1,0,0, -1,0,0,0, 0,0,1,0, 0,0,10,1;; }\n"
        "}\n";
    XModel model;
    std::string why;
    ASSERT_TRUE(ReadXText(text, &model, &why)) << why;
    // Each vertex goes through the inner frame (twice the size, one to the right), then the outer
    // one (a quarter turn taking x to y, ten further on).
    ASSERT_EQ(model.positions.size(), 4u + 3u); // three corners of the triangle take the other normal
    auto text3 = [](Vec3 v) { return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z); };
    EXPECT_EQ(text3(model.positions[2]), text3(MakeVec3(-2, 3, 10))); // (1, 1, 0) -> (3, 2, 0) -> (-2, 3, 10)
    ASSERT_EQ(model.faces.size(), 3u);
    EXPECT_EQ(model.faces[0].v[0], 0u);
    EXPECT_EQ(model.faces[0].v[1], 3u);
    EXPECT_EQ(model.faces[2].r, 1.0f);
    EXPECT_EQ(model.faces[2].g, 0.0f);
    EXPECT_EQ(model.faces[2].emissiveR, 0.25f);
    EXPECT_EQ(text3(model.normals[0]), text3(MakeVec3(0, 0, -1)));
    EXPECT_EQ(text3(model.normals[4]), text3(MakeVec3(0, 0, 1)));
    EXPECT_EQ(model.faces[2].v[2], 6u);
    // Texture rows count from the top of the picture, as the renderer has them.
    EXPECT_EQ(model.us[3], 0.0f);
    EXPECT_EQ(model.vs[3], -0.5f);
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
