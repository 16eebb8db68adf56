// Drawing a frame hierarchy: world placement, culling, lighting per vertex or per face, then the
// software rasteriser in bands of rows across the cores (no library; C++ threads).
#include "d3drm_objects.h"
#include "hook_points.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

int g_lastRenderTriangles = 0;

namespace {

struct DirectionalLight {
    Vec3 towardsLight; // world space, unit: minus the shining direction
    float red, green, blue;
};

struct LightSet {
    float ambientRed = 0, ambientGreen = 0, ambientBlue = 0;
    std::vector<DirectionalLight> directional;
};

// Lights may sit on any frame under the rendered root; a directional light shines along its
// frame's z axis.
void CollectLights(const FrameObject* frame, const Mat4& world, LightSet* lights)
{
    for (const LightObject* light : frame->lights) {
        if (light->type == D3DRMLIGHT_AMBIENT) {
            lights->ambientRed += light->red;
            lights->ambientGreen += light->green;
            lights->ambientBlue += light->blue;
        } else if (light->type == D3DRMLIGHT_DIRECTIONAL) {
            Vec3 shining;
            if (Normalise(Row(world, 2), &shining))
                lights->directional.push_back({shining * -1.0f, light->red, light->green, light->blue});
        }
    }
    for (const FrameObject* child : frame->children)
        CollectLights(child, Multiply(child->local, world), lights);
}

// Kept between frames so drawing allocates nothing once warmed up.
LightSet g_lights;
std::vector<Vec3> g_towardsLight;

struct RenderPass {
    ViewportObject* viewport;
    DeviceObject* device;
    RasterTarget target;
    RasterView view;
    Mat4 fromWorldToCamera;
    LightSet& lights = g_lights;
    bool lightOn;
    bool gouraud;
    int drawn = 0;
};

// Light arriving at a surface with this (model-space) normal.
void LightNormal(const LightSet& lights, const std::vector<Vec3>& towardsLight, Vec3 normal, float rgb[3])
{
    rgb[0] = lights.ambientRed;
    rgb[1] = lights.ambientGreen;
    rgb[2] = lights.ambientBlue;
    for (size_t i = 0; i < towardsLight.size(); i++) {
        float facing = Dot(normal, towardsLight[i]);
        if (facing > 0) {
            rgb[0] += facing * lights.directional[i].red;
            rgb[1] += facing * lights.directional[i].green;
            rgb[2] += facing * lights.directional[i].blue;
        }
    }
}

// Appends the mesh to the frame: vertices to camera space and classified, back faces and faces
// wholly outside dropped, then light worked out only for the vertices a kept face uses.
void DrawMesh(RenderPass& pass, const MeshBuilderObject* mesh, const Mat4& world)
{
    if (mesh->faces.empty())
        return;
    DeviceObject* device = pass.device;
    Mat4 toCamera = Multiply(world, pass.fromWorldToCamera);
    size_t count = mesh->positions.size();
    size_t base = device->vertices.size();
    device->vertices.resize(base + count);
    device->classes.resize(base + count);
    device->lit.assign(count, 0);
    RasterVertex* vertices = device->vertices.data() + base;
    bool hasUv = mesh->us.size() == count && mesh->vs.size() == count;
    for (size_t i = 0; i < count; i++) {
        Vec3 p = TransformPoint(mesh->positions[i], toCamera);
        RasterVertex& v = vertices[i];
        v.x = p.x;
        v.y = p.y;
        v.z = p.z;
        v.u = hasUv ? mesh->us[i] : 0.0f;
        v.v = hasUv ? mesh->vs[i] : 0.0f;
        v.r = v.g = v.b = 1.0f;
    }
    RasterClassify(pass.target, pass.view, vertices, static_cast<int>(count), device->classes.data() + base);

    size_t firstTriangle = device->triangles.size();
    size_t faceCount = mesh->faces.size();
    device->triangles.resize(firstTriangle + faceCount);
    RasterTriangle* triangles = device->triangles.data() + firstTriangle;
    for (size_t f = 0; f < faceCount; f++) {
        const MeshFace& face = mesh->faces[f];
        RasterTriangle& t = triangles[f];
        t.v[0] = face.v[0];
        t.v[1] = face.v[1];
        t.v[2] = face.v[2];
        t.r = face.red;
        t.g = face.green;
        t.b = face.blue;
        t.emissiveR = face.emissiveRed;
        t.emissiveG = face.emissiveGreen;
        t.emissiveB = face.emissiveBlue;
    }
    size_t firstKept = device->kept.size();
    device->kept.resize(firstKept + faceCount);
    uint32_t* kept = device->kept.data() + firstKept;
    int keptCount = RasterCull(vertices, device->classes.data() + base, static_cast<int>(count), triangles,
                               static_cast<int>(faceCount), static_cast<uint32_t>(firstTriangle), kept);
    device->kept.resize(firstKept + static_cast<size_t>(keptCount));
    if (keptCount == 0) {
        device->vertices.resize(base);
        device->classes.resize(base);
        device->triangles.resize(firstTriangle);
        return;
    }

    bool perVertexLight = pass.lightOn && pass.gouraud;
    bool perFaceLight = pass.lightOn && !pass.gouraud;
    std::vector<Vec3>& towardsLight = g_towardsLight; // in the mesh's own coordinates
    if (pass.lightOn) {
        Mat4 fromWorld = InverseRigid(world);
        towardsLight.clear();
        for (const DirectionalLight& light : pass.lights.directional)
            towardsLight.push_back(TransformDirection(light.towardsLight, fromWorld));
    }
    for (int k = 0; k < keptCount; k++) {
        RasterTriangle& t = device->triangles[kept[k]];
        if (perVertexLight) {
            for (uint32_t corner : t.v) {
                if (device->lit[corner])
                    continue;
                device->lit[corner] = 1;
                float rgb[3];
                LightNormal(pass.lights, towardsLight, mesh->normals[corner], rgb);
                vertices[corner].r = rgb[0];
                vertices[corner].g = rgb[1];
                vertices[corner].b = rgb[2];
            }
        } else if (perFaceLight) {
            // Flat: one intensity per face, from the face's own normal.
            Vec3 a = mesh->positions[t.v[0]], b = mesh->positions[t.v[1]], c = mesh->positions[t.v[2]];
            Vec3 n;
            if (!Normalise(Cross(b - a, c - a), &n))
                n = MakeVec3(0, 0, 0);
            float rgb[3];
            LightNormal(pass.lights, towardsLight, n, rgb);
            t.r *= rgb[0];
            t.g *= rgb[1];
            t.b *= rgb[2];
        }
        // The frame's corners index the frame's vertices.
        t.v[0] += static_cast<uint32_t>(base);
        t.v[1] += static_cast<uint32_t>(base);
        t.v[2] += static_cast<uint32_t>(base);
    }

    RenderBatch batch;
    batch.firstKept = static_cast<uint32_t>(firstKept);
    batch.keptCount = static_cast<uint32_t>(keptCount);
    if (mesh->texture && mesh->texture->loaded) {
        batch.textured = true;
        batch.texture.texels = mesh->texture->texels.data();
        batch.texture.widthShift = mesh->texture->widthShift;
        batch.texture.heightShift = mesh->texture->heightShift;
        batch.texture.decal = mesh->texture->decal;
        batch.texture.key = mesh->texture->transparentColour;
    }
    device->batches.push_back(batch);
}

void DrawFrame(RenderPass& pass, const FrameObject* frame, const Mat4& world)
{
    for (IDirect3DRMVisual* visual : frame->visuals)
        if (const MeshBuilderObject* mesh = dynamic_cast<const MeshBuilderObject*>(visual))
            DrawMesh(pass, mesh, world);
    for (const FrameObject* child : frame->children)
        DrawFrame(pass, child, Multiply(child->local, world));
}

} // namespace

// The pixel work of a frame, split in bands of rows: each band fills every batch within its own
// rows, in the frame's order, so the picture is the same however many threads share the bands.
struct RenderWorkers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake, finished;
    uint64_t generation = 0; // a new frame to draw when it changes
    bool stopping = false;
    // Bands are taken by whichever thread comes first; the frame is done when all are drawn, so
    // the caller never waits for a thread that has not woken yet (on a busy machine it may not
    // get a core for a while).
    std::atomic<int> nextBand{0};
    std::atomic<int> bandsDone{0};
    int bandCount = 1;
    DeviceObject* device = nullptr;
    RasterTarget target;
    RasterView view;
};

namespace {

const int MAX_RENDER_THREADS = 16;
// Triangles and vertices a frame may hold before its buffers must grow (the game's busiest frame
// holds about 30,000 triangles).
const size_t RESERVED_TRIANGLES = 40000;

void DrawBand(RenderWorkers& workers, int band)
{
    DeviceObject* device = workers.device;
    RasterTarget target = workers.target;
    int rows = workers.target.clipBottom - workers.target.clipTop;
    target.clipTop = workers.target.clipTop + rows * band / workers.bandCount;
    target.clipBottom = workers.target.clipTop + rows * (band + 1) / workers.bandCount;
    if (target.clipTop >= target.clipBottom)
        return;
    uint8_t* drawn = device->drawn.data() + static_cast<size_t>(band) * device->triangles.size();
    for (const RenderBatch& batch : device->batches)
        RasterFill(target, workers.view, device->vertices.data(), device->classes.data(), device->triangles.data(),
                   device->kept.data() + batch.firstKept, static_cast<int>(batch.keptCount),
                   batch.textured ? &batch.texture : nullptr, drawn);
}

void DrawBands(RenderWorkers& workers)
{
    for (int band = workers.nextBand.fetch_add(1); band < workers.bandCount; band = workers.nextBand.fetch_add(1)) {
        DrawBand(workers, band);
        if (workers.bandsDone.fetch_add(1) + 1 == workers.bandCount) {
            std::lock_guard<std::mutex> lock(workers.mutex);
            workers.finished.notify_all();
        }
    }
}

void WorkerLoop(RenderWorkers* workers)
{
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(workers->mutex);
            workers->wake.wait(lock, [&] { return workers->stopping || workers->generation != seen; });
            if (workers->stopping)
                return;
            seen = workers->generation;
        }
        DrawBands(*workers);
    }
}

} // namespace

int g_renderThreads = 0;

DeviceObject::DeviceObject() : workers(new RenderWorkers())
{
    int threads = g_renderThreads > 0 ? g_renderThreads : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, MAX_RENDER_THREADS);
    // Two bands a thread, taken as each thread comes free, even out a frame's busy and empty rows.
    workers->bandCount = threads > 1 ? 2 * threads : 1;
    vertices.reserve(RESERVED_TRIANGLES);
    classes.reserve(RESERVED_TRIANGLES);
    lit.reserve(RESERVED_TRIANGLES);
    triangles.reserve(RESERVED_TRIANGLES);
    kept.reserve(RESERVED_TRIANGLES);
    drawn.reserve(RESERVED_TRIANGLES * static_cast<size_t>(workers->bandCount));
    batches.reserve(256);
    // The calling thread draws bands too.
    for (int i = 1; i < threads; i++)
        workers->threads.emplace_back(WorkerLoop, workers);
}

DeviceObject::~DeviceObject()
{
    {
        std::lock_guard<std::mutex> lock(workers->mutex);
        workers->stopping = true;
    }
    workers->wake.notify_all();
    for (std::thread& thread : workers->threads)
        thread.join();
    delete workers;
    if (surface)
        surface->Release();
}

HRESULT RenderHierarchy(ViewportObject* viewport, FrameObject* root)
{
    g_lastRenderTriangles = 0;
    DeviceObject* device = viewport->device;
    SurfacePixels surface;
    if (!GetSurfacePixels(device->surface, &surface))
        return D3DRMERR_BADDEVICE;
    size_t depthSize = static_cast<size_t>(surface.pitchPixels) * surface.height;
    if (device->depth.size() < depthSize)
        device->depth.assign(depthSize, 0.0f);

    RenderPass pass;
    pass.viewport = viewport;
    pass.device = device;
    pass.target.pixels = surface.pixels;
    pass.target.pitch = surface.pitchPixels;
    pass.target.depth = device->depth.data();
    if (g_platformHooks.pixelWriteCounts && g_platformHooks.pixelWriteCountSize >= depthSize)
        pass.target.writeCounts = g_platformHooks.pixelWriteCounts;
    pass.target.clipLeft = std::max(viewport->left, 0);
    pass.target.clipTop = std::max(viewport->top, 0);
    pass.target.clipRight = std::min(viewport->left + viewport->width, surface.width);
    pass.target.clipBottom = std::min(viewport->top + viewport->height, surface.height);
    if (pass.target.clipLeft >= pass.target.clipRight || pass.target.clipTop >= pass.target.clipBottom)
        return D3DRM_OK;
    pass.view = ViewportProjection(viewport);
    pass.fromWorldToCamera = InverseRigid(FrameWorldMatrix(viewport->camera));
    pass.lightOn = (device->quality & D3DRMLIGHT_ON) != 0;
    pass.gouraud = (device->quality & 7u) != D3DRMSHADE_FLAT;

    g_lights.ambientRed = g_lights.ambientGreen = g_lights.ambientBlue = 0;
    g_lights.directional.clear();
    Mat4 rootWorld = FrameWorldMatrix(root);
    CollectLights(root, rootWorld, &pass.lights);
    device->vertices.clear();
    device->classes.clear();
    device->triangles.clear();
    device->kept.clear();
    device->batches.clear();
    DrawFrame(pass, root, rootWorld);

    RenderWorkers& workers = *device->workers;
    size_t triangleCount = device->triangles.size();
    device->drawn.assign(triangleCount * static_cast<size_t>(workers.bandCount), 0);
    workers.device = device;
    workers.target = pass.target;
    workers.view = pass.view;
    workers.bandsDone = 0;
    workers.nextBand = 0; // after everything above: a late thread may take a band from here on
    if (!workers.threads.empty()) {
        {
            std::lock_guard<std::mutex> lock(workers.mutex);
            workers.generation++;
        }
        workers.wake.notify_all();
    }
    DrawBands(workers);
    if (!workers.threads.empty()) {
        std::unique_lock<std::mutex> lock(workers.mutex);
        workers.finished.wait(lock, [&] { return workers.bandsDone == workers.bandCount; });
    }
    // A triangle split between bands counts once.
    int drawn = 0;
    for (size_t t = 0; t < triangleCount; t++) {
        uint8_t any = 0;
        for (int band = 0; band < workers.bandCount; band++)
            any |= device->drawn[static_cast<size_t>(band) * triangleCount + t];
        drawn += any;
    }
    g_lastRenderTriangles = drawn;
    return D3DRM_OK;
}
