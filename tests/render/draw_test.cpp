// Drawing: projection against pixels, clipping, depth, culling, the fill rule and lighting.
#include "band_split.h"
#include "game_like_scene.h"
#include "raster.h"
#include "render_fixture.h"
#include "testing_render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// A square of side `size` in the z = 0 plane, front face towards -z (the camera), split into
// n x n cells of two triangles each with inner vertices jittered so edges run at odd angles.
std::string WriteGrid(const std::string& name, float size, int n)
{
    std::vector<float> xyz;
    for (int j = 0; j <= n; j++)
        for (int i = 0; i <= n; i++) {
            float x = size * (static_cast<float>(i) / n - 0.5f), y = size * (0.5f - static_cast<float>(j) / n);
            if (i > 0 && i < n && j > 0 && j < n) {
                x += size * 0.31f / n * std::sin(static_cast<float>(i * 7 + j * 3));
                y += size * 0.27f / n * std::cos(static_cast<float>(i * 5 + j * 11));
            }
            xyz.insert(xyz.end(), {x, y, 0});
        }
    std::vector<XFace> faces;
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) {
            int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            faces.push_back({a, b, c});
            faces.push_back({b, d, c});
        }
    return WriteXModel(name, xyz, faces);
}

// A quad 0.1 across in the z = 0 plane, front face towards -z, as two triangles.
IDirect3DRMMeshBuilder* LoadSmallQuad(RenderFixture& f, const std::string& name)
{
    return LoadMesh(f.rm,
                    WriteXModel(name, {-0.05f, 0.05f, 0, 0.05f, 0.05f, 0, -0.05f, -0.05f, 0, 0.05f, -0.05f, 0},
                                {{0, 1, 2}, {1, 3, 2}}));
}

} // namespace

TEST(RenderDraw, TransformMatchesHandComputedPixels)
{
    RenderFixture f;
    D3DVECTOR in{1, 2, 10};
    D3DRMVECTOR4D out{};
    ASSERT_EQ(f.viewport->Transform(&out, &in), D3DRM_OK);
    EXPECT_NEAR(out.x / out.w, 320 + 64, 1e-3);
    EXPECT_NEAR(out.y / out.w, 240 - 128, 1e-3);
    EXPECT_NEAR(out.z / out.w, (10.0 - 1.0) / 10.0 * 400.0 / 399.0, 1e-5);
    in = {0, 0, 400};
    f.viewport->Transform(&out, &in);
    EXPECT_NEAR(out.z / out.w, 1.0, 1e-5);

    // A front plane at 0 is refused and the projection stays put.
    EXPECT_EQ(f.viewport->SetFront(0.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(f.viewport->SetFront(-1.0f), D3DRMERR_BADVALUE);
    in = {1, 2, 1};
    f.viewport->Transform(&out, &in);
    EXPECT_NEAR(out.z / out.w, 0.0, 1e-6);

    // At and behind the camera plane: w <= 0, never NaN.
    for (D3DVECTOR p : {D3DVECTOR{5, 5, 0}, D3DVECTOR{5, -5, -3}, D3DVECTOR{1e30f, -1e30f, 1e30f}}) {
        f.viewport->Transform(&out, &p);
        EXPECT_FALSE(std::isnan(out.x) || std::isnan(out.y) || std::isnan(out.z) || std::isnan(out.w));
    }
    in = {5, 5, -3};
    f.viewport->Transform(&out, &in);
    EXPECT_LT(out.w, 0);

    // Through the camera's placement: after facing +x under CONSTRAIN_Y, world -y is screen right.
    IDirect3DRMFrame* target = nullptr;
    f.rm->CreateFrame(f.scene, &target);
    target->SetPosition(f.scene, 32, 0, 0);
    f.camera->LookAt(target, f.scene, D3DRMCONSTRAIN_Y);
    in = {32, -1, -2};
    f.viewport->Transform(&out, &in);
    EXPECT_NEAR(out.x / out.w, 320 + 20, 1e-3);
    EXPECT_NEAR(out.y / out.w, 240 - 40, 1e-3); // world -z is screen up
    target->Release();
}

TEST(RenderDraw, TinyMeshLandsWhereTransformSays)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    IDirect3DRMMeshBuilder* mesh = LoadSmallQuad(f, "tiny.x");
    f.camera->SetPosition(f.scene, 3, -2, 1);
    f.camera->AddRotation(D3DRMCOMBINE_BEFORE, 0.2f, 1, 0.1f, 0.3f);
    D3DVECTOR where{5.5f, -1.2f, 20};
    IDirect3DRMFrame* frame = f.Show(mesh, where.x, where.y, where.z);
    frame->LookAt(f.camera, f.scene, D3DRMCONSTRAIN_Z);
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 3.14159265f); // front (-z) towards the camera
    f.Draw();
    D3DRMVECTOR4D out{};
    f.viewport->Transform(&out, &where);
    SurfacePixels p = f.Pixels();
    double sumX = 0, sumY = 0;
    int count = 0;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (p.pixels[y * p.pitchPixels + x] != 0) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                count++;
            }
    ASSERT_GT(count, 4);
    EXPECT_NEAR(sumX / count, out.x / out.w, 0.75);
    EXPECT_NEAR(sumY / count, out.y / out.w, 0.75);
    EXPECT_EQ(TestLastRenderTriangleCount(), 2);
    mesh->Release();
}

TEST(RenderDraw, MeshesAtTheEdgesDrawAndMeshesPastThemDoNot)
{
    // A quad 0.1 across at z = 10, where a unit is 64 pixels and the edges lie 5 units (320
    // pixels) and 3.75 units (240 pixels) from the middle: its centre just past each edge, with a
    // strip of it still showing, then far enough past that none does.
    struct Place {
        const char* where;
        float x, y;
        bool shows;
    };
    const Place places[] = {{"right, showing", 5.03f, 0, true},   {"right, past", 5.1f, 0, false},
                            {"left, showing", -5.03f, 0, true},   {"left, past", -5.1f, 0, false},
                            {"top, showing", 0, 3.78f, true},     {"top, past", 0, 3.85f, false},
                            {"bottom, showing", 0, -3.78f, true}, {"bottom, past", 0, -3.85f, false}};
    RenderFixture f;
    f.AddAmbient(1.0f);
    IDirect3DRMMeshBuilder* mesh = LoadSmallQuad(f, "edge.x");
    IDirect3DRMFrame* frame = f.Show(mesh, 0, 0, 10);
    for (const Place& place : places) {
        frame->SetPosition(f.scene, place.x, place.y, 10);
        f.Draw();
        EXPECT_EQ(f.CountNot(0) > 0, place.shows) << place.where;
        EXPECT_EQ(TestLastRenderTriangleCount(), place.shows ? 2 : 0) << place.where;
    }
    mesh->Release();
}

TEST(RenderDraw, TrianglesCrossingTheFrontPlaneAreClippedNotDropped)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    // One triangle from behind the camera to well ahead of it, below the eye.
    IDirect3DRMMeshBuilder* floor =
        LoadMesh(f.rm, WriteXModel("floor.x", {-5, -1, -5, 0, -1, 50, 5, -1, -5}, {{0, 1, 2}}));
    IDirect3DRMFrame* floorFrame = f.Show(floor, 0, 0, 0);
    f.Draw();
    EXPECT_EQ(TestLastRenderTriangleCount(), 1);
    int painted = f.CountNot(0);
    EXPECT_GT(painted, 10000);
    EXPECT_NE(f.Pixel(320, 470), 0); // the near part reaches the bottom edge
    EXPECT_EQ(f.Pixel(320, 200), 0); // nothing above the horizon

    // Wholly behind the camera or beyond the back plane: nothing.
    IDirect3DRMMeshBuilder* behind =
        LoadMesh(f.rm, WriteXModel("behind.x", {-5, -1, -5, 0, 3, -2, 5, -1, -5}, {{0, 1, 2}}));
    floorFrame->DeleteVisual(floor);
    f.Show(behind, 0, 0, 0);
    f.Show(floor, 0, 0, 500);
    f.Draw();
    EXPECT_EQ(f.CountNot(0), 0);
    floor->Release();
    behind->Release();
}

TEST(RenderDraw, NearerSurfacesWinWhateverTheOrder)
{
    for (int order = 0; order < 2; order++) {
        RenderFixture f;
        IDirect3DRMMeshBuilder* red = LoadMesh(
            f.rm,
            WriteXModel("red.x", {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0}, {{0, 1, 2}, {1, 3, 2}}, {1, 0, 0, 1, 0, 0}));
        IDirect3DRMMeshBuilder* blue = LoadMesh(f.rm,
                                                WriteXModel("blue.x", {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0},
                                                            {{0, 1, 2}, {1, 3, 2}}, {0, 0, 1, 0, 0, 1}));
        f.AddAmbient(1.0f);
        if (order == 0) {
            f.Show(red, 0.5f, 0, 10);
            f.Show(blue, 0, 0, 12);
        } else {
            f.Show(blue, 0, 0, 12);
            f.Show(red, 0.5f, 0, 10);
        }
        f.Draw();
        EXPECT_EQ(f.Pixel(330, 240), 0xF800); // overlap: red is nearer
        EXPECT_EQ(f.Pixel(275, 240), 0x001F); // blue alone
        red->Release();
        blue->Release();
    }
}

TEST(RenderDraw, SharedEdgesPaintEveryPixelExactlyOnce)
{
    // A grid of large cells, then one of cells a pixel or two across, whose triangles mostly
    // hold one or two pixel centres each.
    for (int cells : {13, 150}) {
        RenderFixture f;
        f.AddAmbient(1.0f);
        IDirect3DRMMeshBuilder* grid = LoadMesh(f.rm, WriteGrid("grid.x", 6, cells));
        IDirect3DRMFrame* frame = f.Show(grid, 0.1234f, -0.0567f, 10);
        frame->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0, 1, 0.37f);
        frame->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 0.5f);
        TestCountPixelWrites(true, 640, 480);
        f.Draw();
        TestCountPixelWrites(false, 0, 0);
        // Every pixel is painted at most once, and the painted area has no holes: each unpainted
        // pixel inside the covered span of its row would be a crack.
        int twice = 0, holes = 0, painted = 0;
        for (int y = 0; y < 480; y++) {
            int first = -1, last = -1;
            for (int x = 0; x < 640; x++) {
                int n = TestPixelWriteCount(x, y);
                twice += n > 1;
                if (n > 0) {
                    painted++;
                    if (first < 0)
                        first = x;
                    last = x;
                }
            }
            for (int x = first; first >= 0 && x <= last; x++)
                holes += TestPixelWriteCount(x, y) == 0;
        }
        EXPECT_GT(painted, 50000) << cells << " cells";
        EXPECT_EQ(twice, 0) << cells << " cells";
        EXPECT_EQ(holes, 0) << cells << " cells";
        // Snapped to sixteenths of a pixel, a few of the small triangles have no area left.
        if (cells == 13)
            EXPECT_EQ(TestLastRenderTriangleCount(), 2 * cells * cells);
        else
            EXPECT_GT(TestLastRenderTriangleCount(), 2 * cells * cells * 9 / 10);
        grid->Release();
    }
}

TEST(RenderDraw, BackFacesAreCulled)
{
    RenderFixture f;
    f.AddAmbient(1.0f);
    IDirect3DRMMeshBuilder* quad =
        LoadMesh(f.rm, WriteXModel("quad.x", {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0}, {{0, 1, 2}, {1, 3, 2}}));
    IDirect3DRMFrame* frame = f.Show(quad, 0, 0, 10);
    f.Draw();
    EXPECT_EQ(TestLastRenderTriangleCount(), 2);
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 3.14159265f); // turned away
    f.Draw();
    EXPECT_EQ(TestLastRenderTriangleCount(), 0);
    EXPECT_EQ(f.CountNot(0), 0);
    quad->Release();
}

TEST(RenderDraw, LightingFollowsAmbientDirectionalAndFaceColour)
{
    RenderFixture f;
    // Face colour (0.5, 1, 0.25); ambient 0.2; a directional 0.6 light shining straight at the quad
    // (along +z, the quad's front faces -z). Lit = 0.8 x face colour.
    IDirect3DRMMeshBuilder* quad = LoadMesh(f.rm,
                                            WriteXModel("lit.x", {-1, 1, 0, 1, 1, 0, -1, -1, 0, 1, -1, 0},
                                                        {{0, 1, 2}, {1, 3, 2}}, {0.5f, 1, 0.25f, 0.5f, 1, 0.25f}));
    f.AddAmbient(0.2f);
    IDirect3DRMFrame* lightFrame = nullptr;
    f.rm->CreateFrame(f.scene, &lightFrame);
    IDirect3DRMLight* sun = nullptr;
    f.rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.6f, 0.6f, 0.6f, &sun);
    lightFrame->AddLight(sun);
    f.Show(quad, 0, 0, 10);
    f.Draw();
    // floor(255 * 0.2) + floor(255 * 0.6) = 51 + 153 = 204 of 255.
    float lit = 204.0f / 255.0f;
    uint16_t p = f.Pixel(320, 240);
    EXPECT_NEAR((p >> 11) & 31, static_cast<int>(0.5f * lit * 255) >> 3, 1);
    EXPECT_NEAR((p >> 5) & 63, static_cast<int>(1.0f * lit * 255) >> 2, 1);
    EXPECT_NEAR(p & 31, static_cast<int>(0.25f * lit * 255) >> 3, 1);

    // Turned so it shines from behind the quad: ambient only.
    lightFrame->SetOrientation(f.scene, 0, 0, -1, 0, 1, 0);
    f.Draw();
    p = f.Pixel(320, 240);
    EXPECT_NEAR((p >> 5) & 63, 51 >> 2, 1);
    // Flat quality lights each face once: same result for a flat quad.
    f.device->SetQuality(D3DRMRENDER_FLAT);
    EXPECT_EQ(TestDeviceQuality(f.device), static_cast<DWORD>(D3DRMRENDER_FLAT));
    f.Draw();
    EXPECT_NEAR((f.Pixel(320, 240) >> 5) & 63, 51 >> 2, 1);
    lightFrame->Release();
    sun->Release();
    quad->Release();
}

TEST(RenderDraw, VerticesClassifyAlikeFourAtOnceAndOneByOne)
{
    // Vertices on and past every plane and side, at pixel and half-pixel positions, and not
    // numbers at all: classified in blocks of four, each must come out as it does alone.
    RasterTarget target;
    target.clipLeft = 10, target.clipTop = 20, target.clipRight = 630, target.clipBottom = 470;
    RasterView view;
    view.scale = 400, view.centreX = 320, view.centreY = 240, view.front = 1, view.back = 100;
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float xyz[][3] = {{0, 0, 5},          {0.1f, -0.2f, 1},
                            {0, 0, 0.999f},     {0, 0, 100},
                            {0, 0, 100.01f},    {-0.775f, 0, 1},
                            {0.775f, 0, 1},     {0, 0.55f, 1},
                            {0, -0.575f, 1},    {20.48f, 0, 1},
                            {20.49f, 0, 1},     {0, -20.49f, 1},
                            {-3, 2, -4},        {0.00125f, 0, 1},
                            {-0.00125f, 0, 1},  {nan, 0, 2},
                            {0, inf, 2},        {0, 0, nan},
                            {1e30f, 1, 2},      {0.4f, 0.3f, 7},
                            {-0.5f, -0.25f, 3}, {0.00078125f, 0.00078125f, 1},
                            {2, 2, 2},          {-0.8f, 0, 1},
                            {0, -0.6f, 1},      {-0.9013f, 0.7013f, 1}};
    const int count = static_cast<int>(sizeof(xyz) / sizeof(xyz[0]));
    std::vector<RasterVertex> vertices;
    for (const auto& p : xyz)
        vertices.push_back({p[0], p[1], p[2], 0.5f, 0.25f, 1, 1, 1});
    std::vector<RasterVertexClass> together(count), alone(count);
    RasterClassify(target, view, vertices.data(), count, together.data());
    for (int i = 0; i < count; i++)
        RasterClassify(target, view, &vertices[i], 1, &alone[i]);
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(together[i].outcode, alone[i].outcode) << "vertex " << i;
        EXPECT_EQ(together[i].X, alone[i].X) << "vertex " << i;
        EXPECT_EQ(together[i].Y, alone[i].Y) << "vertex " << i;
        EXPECT_EQ(std::memcmp(&together[i].row, &alone[i].row, sizeof(float)), 0) << "vertex " << i;
        EXPECT_EQ(std::memcmp(&together[i].q, &alone[i].q, sizeof(float)), 0) << "vertex " << i;
    }
    // The table reaches each side and both planes.
    uint16_t seen = 0;
    for (const RasterVertexClass& c : alone)
        seen |= c.outcode;
    EXPECT_EQ(seen, 0x3FF);
}

TEST(RenderDraw, PassingOverTransparentTexelsChangesNoPixel)
{
    // Faces of a starry decal texture, drawn once with the look-ups that pass over transparent
    // texels and once without: small and large, seen head on and at a glancing angle, crossing
    // the front plane, with coordinates that repeat the texture many times over. Depth and colour
    // must agree everywhere.
    const int W = 160, H = 120;
    const int TEXTURE_SHIFT = 5;
    std::vector<uint32_t> texels(size_t(1) << (2 * TEXTURE_SHIFT), 0);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    auto uniform = [&next](float low, float high) {
        return low + (high - low) * static_cast<float>(next() >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 24; i++)
        texels[next() % texels.size()] = 0x00FFE080;
    RasterTexture texture;
    texture.texels = texels.data();
    texture.widthShift = texture.heightShift = TEXTURE_SHIFT;
    texture.decal = true;
    std::vector<uint16_t> sums(RasterOpaqueSumsSize(texture));
    ASSERT_EQ(RasterCountOpaque(texture, sums.data()), 24u);
    RasterView view;
    view.scale = 100, view.centreX = W / 2.0f, view.centreY = H / 2.0f, view.front = 1, view.back = 1000;

    for (int scene = 0; scene < 100; scene++) {
        std::vector<RasterVertex> vertices;
        std::vector<RasterTriangle> triangles;
        const float reach = scene % 4 == 0 ? 2000.0f : 3.0f; // texture coordinates, in repeats
        for (int t = 0; t < 30; t++) {
            const uint32_t first = static_cast<uint32_t>(vertices.size());
            const float z = uniform(0.5f, scene % 3 == 0 ? 400.0f : 20.0f);
            const float size = uniform(0.01f, 2.0f) * z;
            for (int corner = 0; corner < 3; corner++)
                vertices.push_back({uniform(-1.0f, 1.0f) * z + uniform(-size, size), uniform(-1.0f, 1.0f) * z,
                                    z * uniform(0.2f, 5.0f), uniform(-reach, reach), uniform(-reach, reach), 1,
                                    uniform(0, 1), 1});
            triangles.push_back({{first, first + 1, first + 2}, 1, 1, 1});
            triangles.push_back({{first, first + 2, first + 1}, 1, 1, 1});
        }
        std::vector<RasterVertexClass> classes(vertices.size());
        std::vector<uint32_t> kept(triangles.size());
        std::vector<RasterRows> rows(triangles.size());
        std::vector<uint8_t> drawn(triangles.size());
        std::vector<uint16_t> pixels[2];
        std::vector<float> depth[2];
        for (int pass = 0; pass < 2; pass++) {
            pixels[pass].assign(W * H, 0x1234);
            depth[pass].assign(W * H, 0.0f);
            RasterTarget target;
            target.pixels = pixels[pass].data();
            target.depth = depth[pass].data();
            target.pitch = W;
            target.clipRight = W, target.clipBottom = H;
            texture.opaqueSums = pass == 0 ? sums.data() : nullptr;
            RasterClassify(target, view, vertices.data(), static_cast<int>(vertices.size()), classes.data());
            const int count =
                RasterCull(vertices.data(), classes.data(), static_cast<int>(vertices.size()), triangles.data(),
                           static_cast<int>(triangles.size()), kept.data(), rows.data());
            RasterFill(target, view, vertices.data(), classes.data(), triangles.data(), kept.data(), rows.data(), count,
                       &texture, drawn.data());
        }
        EXPECT_TRUE(pixels[0] == pixels[1]) << "scene " << scene;
        EXPECT_TRUE(depth[0] == depth[1]) << "scene " << scene;
    }
}

TEST(RenderDraw, EachClearEmptiesItsOwnViewportsDepthBeforeTheNextRender)
{
    // A near red wall fills the depth everywhere; then a far blue wall is drawn through two
    // viewports, the top and the bottom half, each cleared first. Blue shows in both halves only
    // if each Clear emptied its own half by the time that half was drawn, whichever viewport
    // rendered in between.
    RenderFixture f;
    const std::vector<float> wall = {-50, 50, 0, 50, 50, 0, -50, -50, 0, 50, -50, 0};
    IDirect3DRMMeshBuilder* red =
        LoadMesh(f.rm, WriteXModel("near.x", wall, {{0, 1, 2}, {1, 3, 2}}, {1, 0, 0, 1, 0, 0}));
    IDirect3DRMMeshBuilder* blue =
        LoadMesh(f.rm, WriteXModel("far.x", wall, {{0, 1, 2}, {1, 3, 2}}, {0, 0, 1, 0, 0, 1}));
    f.AddAmbient(1.0f);
    IDirect3DRMFrame* redFrame = f.Show(red, 0, 0, 10);
    f.Draw();
    ASSERT_EQ(f.Pixel(320, 100), 0xF800);
    ASSERT_EQ(f.Pixel(320, 380), 0xF800);
    redFrame->DeleteVisual(red);
    f.Show(blue, 0, 0, 20);
    IDirect3DRMViewport *top = nullptr, *bottom = nullptr;
    ASSERT_EQ(f.rm->CreateViewport(f.device, f.camera, 0, 0, 640, 240, &top), D3DRM_OK);
    ASSERT_EQ(f.rm->CreateViewport(f.device, f.camera, 0, 240, 640, 240, &bottom), D3DRM_OK);
    top->SetBack(400);
    bottom->SetBack(400);
    top->Clear();
    bottom->Clear();
    EXPECT_EQ(top->Render(f.scene), D3DRM_OK);
    EXPECT_EQ(bottom->Render(f.scene), D3DRM_OK);
    EXPECT_EQ(f.Pixel(320, 100), 0x001F);
    EXPECT_EQ(f.Pixel(320, 380), 0x001F);
    // No Clear, no emptying: the wall drawn last still hides itself.
    f.Show(red, 0, 0, 30);
    EXPECT_EQ(f.viewport->Render(f.scene), D3DRM_OK);
    EXPECT_EQ(f.Pixel(320, 240), 0x001F);
    top->Release();
    bottom->Release();
    red->Release();
    blue->Release();
}

TEST(RenderDraw, EveryThreadCountDrawsTheSamePixels)
{
    // The busy game-like scene over a few frames of motion, drawn in bands by 1, 2, 3 and 5
    // threads, and by one thread drawing out the starry sky's runs that it would pass over as
    // wholly transparent: the pictures and the triangle counts must agree exactly.
    const int RUNS = 5;
    const int threadCounts[RUNS] = {1, 2, 3, 5, 1};
    const bool drawTransparent[RUNS] = {false, false, false, false, true};
    std::vector<std::vector<uint16_t>> pictures[RUNS];
    std::vector<int> triangles[RUNS];
    for (int i = 0; i < RUNS; i++) {
        TestSetRenderThreads(threadCounts[i]);
        TestDrawTransparentSpans(drawTransparent[i]);
        GameLikeScene s;
        for (int frame = 0; frame < 3; frame++) {
            s.Draw();
            SurfacePixels p = s.Pixels();
            std::vector<uint16_t> picture;
            for (int y = 0; y < p.height; y++)
                picture.insert(picture.end(), p.pixels + y * p.pitchPixels, p.pixels + y * p.pitchPixels + p.width);
            pictures[i].push_back(picture);
            triangles[i].push_back(TestLastRenderTriangleCount());
            s.Step();
        }
    }
    TestSetRenderThreads(0);
    TestDrawTransparentSpans(false);
    EXPECT_GT(triangles[0][0], 5000);
    for (int i = 1; i < RUNS; i++) {
        const std::string run =
            std::to_string(threadCounts[i]) + " threads" + (drawTransparent[i] ? ", transparent spans drawn" : "");
        EXPECT_EQ(triangles[i], triangles[0]) << run;
        for (int frame = 0; frame < 3; frame++)
            EXPECT_TRUE(pictures[i][frame] == pictures[0][frame]) << run << ", frame " << frame;
    }
}

TEST(RenderDraw, BandSplitSharesOutEveryRowOnceAndFollowsTheWork)
{
    // Each band's time as a row of work costs it: the top 100 of 480 rows cost ten times the rest,
    // then a clock that reads nothing, NaN or less than nothing for a frame.
    const double NAN_TIME = std::numeric_limits<double>::quiet_NaN();
    for (int bands : {2, 3, 5}) {
        BandSplit split(bands);
        for (int frame = 0; frame < 40; frame++) {
            for (int band = 0; band < bands; band++) {
                double work = 0;
                for (int row = split.Row(band, 0, 480); row < split.Row(band + 1, 0, 480); row++)
                    work += row < 100 ? 10 : 1;
                split.Took(band,
                           frame == 10                    ? 0
                               : frame == 11 && band == 0 ? NAN_TIME
                               : frame == 12 && band == 1 ? -work
                                                          : work);
            }
            split.Rebalance();
            ASSERT_EQ(split.Row(0, 7, 480), 7) << bands << " bands, frame " << frame;
            ASSERT_EQ(split.Row(bands, 7, 480), 487) << bands << " bands, frame " << frame;
            for (int band = 0; band < bands; band++)
                ASSERT_LE(split.Row(band, 7, 480), split.Row(band + 1, 7, 480)) << bands << " bands, frame " << frame;
        }
        // Work of 1000 + 380 rows in all, so the first band ends within the busy rows.
        EXPECT_LT(split.Row(1, 0, 480), 100) << bands << " bands";
    }
}
