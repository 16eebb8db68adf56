// The peer: the busy moment's 3D scene (the game's own meshes, textures, lights and camera) drawn
// through OpenGL on Mesa's llvmpipe (OSMesa), 640 x 480 RGB565, glFinish every frame. llvmpipe
// reads its thread count once, when it starts, so each thread count runs in a child process.
#include "busy_moment.h"
#include "d3drm_objects.h"
#include "game_support.h"
#include "platform_internal.h"

#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const int WIDTH = 640, HEIGHT = 480;

struct Instance {
    Mat4 toCamera;
    GLuint list;
};

struct PeerScene {
    std::map<const TextureObject*, GLuint> textures;
    std::map<const MeshBuilderObject*, GLuint> lists;
    std::vector<Instance> instances;
    float ambient[4] = {0, 0, 0, 1};
    int lightCount = 0;
};

// Nearest texels, repeating, with the decal key's texels (compared as the rasteriser compares
// them) given alpha 0 for the alpha test.
GLuint TextureFor(PeerScene& peer, const TextureObject* texture)
{
    auto found = peer.textures.find(texture);
    if (found != peer.textures.end())
        return found->second;
    int width = 1 << texture->widthShift, height = 1 << texture->heightShift;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < texture->texels.size(); i++) {
        uint32_t t = texture->texels[i];
        bool clear = texture->decal && (t & RGB565_BITS) == (texture->transparentColour & RGB565_BITS);
        rgba[i * 4 + 0] = static_cast<uint8_t>(t >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(t >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(t);
        rgba[i * 4 + 3] = clear ? 0 : 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    peer.textures[texture] = name;
    return name;
}

// One display list per mesh: its faces grouped by material, colour material on.
GLuint ListFor(PeerScene& peer, const MeshBuilderObject* mesh)
{
    auto found = peer.lists.find(mesh);
    if (found != peer.lists.end())
        return found->second;
    std::map<std::array<float, 6>, std::vector<uint32_t>> groups;
    for (const MeshFace& f : mesh->faces)
        groups[{f.r, f.g, f.b, f.emissiveR, f.emissiveG, f.emissiveB}].insert(
            groups[{f.r, f.g, f.b, f.emissiveR, f.emissiveG, f.emissiveB}].end(), f.v, f.v + 3);
    size_t count = mesh->positions.size();
    bool textured = mesh->texture && mesh->texture->loaded && mesh->us.size() == count && mesh->vs.size() == count;
    std::vector<float> uv(count * 2);
    for (size_t i = 0; textured && i < count; i++) {
        uv[i * 2] = mesh->us[i];
        uv[i * 2 + 1] = mesh->vs[i];
    }
    GLuint texture = textured ? TextureFor(peer, mesh->texture) : 0;
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vec3), mesh->positions.data());
    glNormalPointer(GL_FLOAT, sizeof(Vec3), mesh->normals.data());
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, uv.data());
        if (mesh->texture->decal)
            glEnable(GL_ALPHA_TEST);
    }
    for (auto& [material, indices] : groups) {
        glColor3f(material[0], material[1], material[2]);
        float emission[4] = {material[3], material[4], material[5], 1};
        glMaterialfv(GL_FRONT, GL_EMISSION, emission);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glEndList();
    peer.lists[mesh] = list;
    return list;
}

// The lights as the renderer gathers them: ambient summed, a directional light along its frame's z.
void CollectLights(PeerScene& peer, const FrameObject* frame, const Mat4& world)
{
    for (const LightObject* light : frame->lights) {
        if (light->type == D3DRMLIGHT_AMBIENT) {
            peer.ambient[0] += light->red;
            peer.ambient[1] += light->green;
            peer.ambient[2] += light->blue;
        } else if (light->type == D3DRMLIGHT_DIRECTIONAL && peer.lightCount < 8) {
            Vec3 shining;
            if (!Normalise(Row(world, 2), &shining))
                continue;
            GLenum name = GL_LIGHT0 + peer.lightCount++;
            float towards[4] = {-shining.x, -shining.y, -shining.z, 0};
            float colour[4] = {light->red, light->green, light->blue, 1};
            float none[4] = {0, 0, 0, 1};
            glLightfv(name, GL_POSITION, towards); // under the camera's matrix: in camera space
            glLightfv(name, GL_DIFFUSE, colour);
            glLightfv(name, GL_AMBIENT, none);
            glLightfv(name, GL_SPECULAR, none);
            glEnable(name);
        }
    }
    for (const FrameObject* child : frame->children)
        CollectLights(peer, child, Multiply(child->local, world));
}

void CollectInstances(PeerScene& peer, const FrameObject* frame, const Mat4& world, const Mat4& fromWorldToCamera)
{
    for (IDirect3DRMVisual* visual : frame->visuals)
        if (const MeshBuilderObject* mesh = dynamic_cast<const MeshBuilderObject*>(visual))
            if (!mesh->faces.empty())
                peer.instances.push_back({Multiply(world, fromWorldToCamera), ListFor(peer, mesh)});
    for (const FrameObject* child : frame->children)
        CollectInstances(peer, child, Multiply(child->local, world), fromWorldToCamera);
}

// Camera space as the rasteriser has it (x right, y up, z ahead) to OpenGL's clip space.
void LoadProjection(const RasterView& view)
{
    float f = view.front, b = view.back;
    float m[16] = {};
    m[0] = view.scale / (WIDTH * 0.5f);
    m[5] = view.scale / (HEIGHT * 0.5f);
    m[10] = (b + f) / (b - f);
    m[11] = 1;
    m[14] = -2 * b * f / (b - f);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m);
    glMatrixMode(GL_MODELVIEW);
}

void DrawPeerFrame(const PeerScene& peer)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const Instance& instance : peer.instances) {
        glLoadMatrixf(&instance.toCamera.m[0][0]);
        glCallList(instance.list);
    }
    glFinish();
}

// Runs the child with llvmpipe on `threads` threads (0: its default) and reads its figures.
void BM_PeerFrame(benchmark::State& state)
{
    int threads = static_cast<int>(state.range(0));
    std::string command = "GALLIUM_DRIVER=llvmpipe ";
    command += threads > 0 ? "LP_NUM_THREADS=" + std::to_string(threads) + " " : "env -u LP_NUM_THREADS ";
    command += "'" + ExecutablePath() + "' --peer-child";
    std::fflush(nullptr);
    FILE* child = popen(command.c_str(), "r");
    FrameFigures figures;
    char renderer[256] = "";
    double agree = 0;
    bool read = child &&
        std::fscanf(child, "%lf %lf %lf %lf %255[^\n]", &figures.medianMs, &figures.p99Ms, &figures.cpuMs, &agree,
                    renderer) == 5;
    if (child)
        pclose(child);
    if (!read) {
        state.SkipWithError("the OpenGL peer did not run");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(figures.medianMs / 1000.0);
    state.counters["median_ms"] = figures.medianMs;
    state.counters["p99_ms"] = figures.p99Ms;
    state.counters["cpu_ms"] = figures.cpuMs;
    state.counters["same_pixels_pct"] = agree;
    state.SetLabel(renderer);
    RecordFigures(threads == 1 ? "peer, 1 thread" : "peer, default threads", figures);
}
BENCHMARK(BM_PeerFrame)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

// The child's side: prints the median and 99th percentile frame and the processor time per frame
// (ms), the share of pixels that
// come out the same as ours (within a step of each 16-bit channel) and the renderer's name.
int RunPeerChild()
{
    if (!SetUpBusyMoment(ENEMY_SLOT_COUNT))
        return 1;
    RunRoundFrame(g_hWnd); // the enemies take their places
    ViewportObject* viewport = dynamic_cast<ViewportObject*>(g_viewport);
    FrameObject* root = AsFrame(g_scene);
    if (!viewport || !root)
        return 1;
    // Ours, for the comparison.
    g_viewport->Clear();
    g_viewport->Render(g_scene);
    SurfacePixels ours;
    if (!GetSurfacePixels(viewport->device->surface, &ours))
        return 1;
    std::vector<uint16_t> oursCopy(WIDTH * HEIGHT);
    for (int y = 0; y < HEIGHT; y++)
        std::memcpy(&oursCopy[y * WIDTH], ours.pixels + static_cast<size_t>(y) * ours.pitchPixels, WIDTH * 2);

    std::vector<uint16_t> pixels(WIDTH * HEIGHT);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGB_565, 24, 0, 0, nullptr);
    if (!context || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_SHORT_5_6_5, WIDTH, HEIGHT))
        return 1;
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    glViewport(0, 0, WIDTH, HEIGHT);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW); // the rasteriser's front faces, clockwise on the screen
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glAlphaFunc(GL_GREATER, 0.5f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    LoadProjection(ViewportProjection(viewport));

    PeerScene peer;
    Mat4 fromWorldToCamera = InverseRigid(FrameWorldMatrix(viewport->camera));
    Mat4 rootWorld = FrameWorldMatrix(root);
    glLoadMatrixf(&fromWorldToCamera.m[0][0]);
    CollectLights(peer, root, rootWorld);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, peer.ambient);
    CollectInstances(peer, root, rootWorld, fromWorldToCamera);

    DrawPeerFrame(peer);
    int same = 0, covered = 0;
    for (int i = 0; i < WIDTH * HEIGHT; i++) {
        uint16_t a = oursCopy[i], b = pixels[i];
        if (a == 0 && b == 0)
            continue;
        covered++;
        int dr = ((a >> 11) & 31) - ((b >> 11) & 31), dg = ((a >> 5) & 63) - ((b >> 5) & 63), db = (a & 31) - (b & 31);
        same += dr >= -1 && dr <= 1 && dg >= -2 && dg <= 2 && db >= -1 && db <= 1;
    }
    if (const char* dump = std::getenv("ORBIT_PEER_DUMP")) {
        // Both pictures side by side, as a PPM, to look at by eye.
        FILE* out = std::fopen(dump, "wb");
        if (out) {
            std::fprintf(out, "P6 %d %d 255\n", WIDTH * 2, HEIGHT);
            for (int y = 0; y < HEIGHT; y++)
                for (int x = 0; x < WIDTH * 2; x++) {
                    uint16_t p = x < WIDTH ? oursCopy[y * WIDTH + x] : pixels[y * WIDTH + x - WIDTH];
                    unsigned char rgb[3] = {static_cast<unsigned char>((p >> 11) << 3),
                                            static_cast<unsigned char>(((p >> 5) & 63) << 2),
                                            static_cast<unsigned char>((p & 31) << 3)};
                    std::fwrite(rgb, 1, 3, out);
                }
            std::fclose(out);
        }
    }
    for (int i = 0; i < 5; i++)
        DrawPeerFrame(peer);
    std::vector<double> samples;
    samples.reserve(1 << 16);
    auto begin = std::chrono::steady_clock::now();
    double cpuStart = ProcessCpuMs();
    while (samples.size() < (1u << 16)) {
        auto start = std::chrono::steady_clock::now();
        DrawPeerFrame(peer);
        auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        if (samples.size() >= 30 && std::chrono::duration<double>(end - begin).count() > 1.0)
            break;
    }
    double cpu = (ProcessCpuMs() - cpuStart) / static_cast<double>(samples.size());
    FrameFigures figures = FiguresOf(samples.data(), static_cast<int>(samples.size()));
    std::printf("%f %f %f %f %s\n", figures.medianMs, figures.p99Ms, cpu, covered ? 100.0 * same / covered : 0.0,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    OSMesaDestroyContext(context);
    return 0;
}
