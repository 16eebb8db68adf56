// Drawing a frame hierarchy: world placement, culling, lighting per vertex or per face mesh by
// mesh, then the software rasteriser in bands of rows, both shared across the cores (no library;
// C++ threads).
#include "band_split.h"
#include "d3drm_objects.h"
#include "hook_points.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <sched.h>

// The device of the last Render that drew, whose flags tell which triangles reached the screen.
const DeviceObject* g_lastRenderDevice = nullptr;

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

struct RenderPass {
    RasterTarget target;
    RasterView view;
    Mat4 fromWorldToCamera;
    const LightSet* lights = &g_lights;
    bool lightOn = false;
    bool gouraud = false;
};

// One mesh of the frame, placed in the frame's arrays before any is worked on, so that each can be
// done by whichever thread takes it and the result is the same in any order.
struct MeshJob {
    const MeshBuilderObject* mesh;
    Mat4 world;
    uint32_t firstVertex, firstTriangle; // the mesh's kept triangles go at kept[firstTriangle...]
};

// What one thread needs for itself while working on meshes.
struct MeshScratch {
    std::vector<Vec3> towardsLight;
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

// Light arriving at every vertex of a mesh, as LightNormal works it out. Vertices that no kept
// face uses are lit too: four at a time and without a branch, that costs less than finding which
// are used.
void LightVertices(const LightSet& lights, const std::vector<Vec3>& towardsLight, const Vec3* normals, size_t count,
                   RasterVertex* vertices)
{
    size_t i = 0;
#if defined(__SSE2__)
    // A vertex to a lane. Where a surface faces away from a light, zero is added instead (which
    // changes no sum but a negative zero, and the colour clamp makes that zero again).
    const __m128 zero = _mm_setzero_ps();
    for (; i + 4 <= count; i += 4) {
        const Vec3* n = normals + i;
        const __m128 nx = _mm_setr_ps(n[0].x, n[1].x, n[2].x, n[3].x);
        const __m128 ny = _mm_setr_ps(n[0].y, n[1].y, n[2].y, n[3].y);
        const __m128 nz = _mm_setr_ps(n[0].z, n[1].z, n[2].z, n[3].z);
        __m128 r = _mm_set1_ps(lights.ambientRed), g = _mm_set1_ps(lights.ambientGreen),
               b = _mm_set1_ps(lights.ambientBlue);
        for (size_t l = 0; l < towardsLight.size(); l++) {
            const Vec3 to = towardsLight[l];
            const DirectionalLight& light = lights.directional[l];
            const __m128 facing =
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, _mm_set1_ps(to.x)), _mm_mul_ps(ny, _mm_set1_ps(to.y))),
                           _mm_mul_ps(nz, _mm_set1_ps(to.z)));
            const __m128 lit = _mm_cmpgt_ps(facing, zero);
            r = _mm_add_ps(r, _mm_and_ps(lit, _mm_mul_ps(facing, _mm_set1_ps(light.red))));
            g = _mm_add_ps(g, _mm_and_ps(lit, _mm_mul_ps(facing, _mm_set1_ps(light.green))));
            b = _mm_add_ps(b, _mm_and_ps(lit, _mm_mul_ps(facing, _mm_set1_ps(light.blue))));
        }
        alignas(16) float red[4], green[4], blue[4];
        _mm_store_ps(red, r);
        _mm_store_ps(green, g);
        _mm_store_ps(blue, b);
        for (int j = 0; j < 4; j++) {
            vertices[i + j].r = red[j];
            vertices[i + j].g = green[j];
            vertices[i + j].b = blue[j];
        }
    }
#endif
    for (; i < count; i++) {
        float rgb[3];
        LightNormal(lights, towardsLight, normals[i], rgb);
        vertices[i].r = rgb[0];
        vertices[i].g = rgb[1];
        vertices[i].b = rgb[2];
    }
}

// The sphere around a mesh's vertices: the middle of their box, out to the farthest of them.
void MakeBound(MeshBuilderObject* mesh)
{
    Vec3 low = mesh->positions.empty() ? Vec3() : mesh->positions[0], high = low;
    for (const Vec3& p : mesh->positions) {
        low = MakeVec3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = MakeVec3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    mesh->boundCentre = (low + high) * 0.5f;
    float radius = 0;
    for (const Vec3& p : mesh->positions)
        radius = std::max(radius, Length(p - mesh->boundCentre));
    mesh->boundRadius = radius;
    mesh->boundMade = true;
    mesh->boundVertices = mesh->positions.size();
}

// Whether a mesh's sphere lies wholly beyond the front or the back plane, or a pixel or more past
// a side of the target, where none of its faces can reach a pixel.
bool OutOfSight(const RenderPass& pass, const Mat4& toCamera, const MeshBuilderObject& mesh)
{
    const Vec3 c = TransformPoint(mesh.boundCentre, toCamera);
    // Frame matrices are rigid, so the radius holds; a little more for rounding.
    const float r = mesh.boundRadius * 1.001f + 1e-4f;
    const RasterView& view = pass.view;
    const RasterTarget& target = pass.target;
    if (c.z + r < view.front || c.z - r > view.back)
        return true;
    // A side is a plane through the eye, a = k z: the sphere is past it when its centre is further
    // than its radius beyond.
    auto past = [&](float a, float k) { return a - k * c.z > r * std::sqrt(1.0f + k * k); };
    const float left = (static_cast<float>(target.clipLeft - 1) - view.centreX) / view.scale;
    const float right = (static_cast<float>(target.clipRight + 1) - view.centreX) / view.scale;
    const float top = (view.centreY - static_cast<float>(target.clipTop - 1)) / view.scale;
    const float bottom = (view.centreY - static_cast<float>(target.clipBottom + 1)) / view.scale;
    return past(-c.x, -left) || past(c.x, right) || past(c.y, top) || past(-c.y, -bottom);
}

// One mesh: vertices to camera space and classified, back faces and faces wholly outside dropped,
// then light worked out where a kept face needs it. Returns how many faces it kept.
uint32_t DrawMesh(const RenderPass& pass, DeviceObject* device, const MeshJob& job, MeshScratch& scratch,
                  RenderBatch* batch)
{
    const MeshBuilderObject* mesh = job.mesh;
    const Mat4 toCamera = Multiply(job.world, pass.fromWorldToCamera);
    batch->triangles = mesh->faces.data();
    if (OutOfSight(pass, toCamera, *mesh))
        return 0;
    const size_t count = mesh->positions.size();
    const uint32_t base = job.firstVertex;
    RasterVertex* vertices = device->vertices.data() + base;
    RasterVertexClass* classes = device->classes.data() + base;
    const bool hasUv = mesh->us.size() == count && mesh->vs.size() == count;
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
    RasterClassify(pass.target, pass.view, vertices, static_cast<int>(count), classes);

    const size_t faceCount = mesh->faces.size();
    const MeshFace* faces = mesh->faces.data();
    uint32_t* kept = device->kept.data() + job.firstTriangle;
    const int keptCount = RasterCull(vertices, classes, static_cast<int>(count), faces, static_cast<int>(faceCount),
                                     kept, device->keptRows.data() + job.firstTriangle);
    // The faces are drawn where they are, unless flat light changes their colours for this frame.
    if (keptCount == 0)
        return 0;

    const bool perVertexLight = pass.lightOn && pass.gouraud;
    const bool perFaceLight = pass.lightOn && !pass.gouraud;
    std::vector<Vec3>& towardsLight = scratch.towardsLight; // in the mesh's own coordinates
    if (pass.lightOn) {
        Mat4 fromWorld = InverseRigid(job.world);
        towardsLight.clear();
        for (const DirectionalLight& light : pass.lights->directional)
            towardsLight.push_back(TransformDirection(light.towardsLight, fromWorld));
    }
    if (perVertexLight) {
        LightVertices(*pass.lights, towardsLight, mesh->normals.data(), std::min(count, mesh->normals.size()),
                      vertices);
    } else if (perFaceLight) {
        // Flat: one intensity per face, from the face's own normal, on the frame's copy of it.
        RasterTriangle* lit = device->triangles.data() + job.firstTriangle;
        batch->triangles = lit;
        for (int k = 0; k < keptCount; k++) {
            RasterTriangle& t = lit[kept[k]];
            t = faces[kept[k]];
            Vec3 a = mesh->positions[t.v[0]], b = mesh->positions[t.v[1]], c = mesh->positions[t.v[2]];
            Vec3 n;
            if (!Normalise(Cross(b - a, c - a), &n))
                n = MakeVec3(0, 0, 0);
            float rgb[3];
            LightNormal(*pass.lights, towardsLight, n, rgb);
            t.r *= rgb[0];
            t.g *= rgb[1];
            t.b *= rgb[2];
        }
    }
    return static_cast<uint32_t>(keptCount);
}

// A decal texture's counts of drawn texels, made on the first frame that draws it (before any
// thread is at work on the frame). A texture drawn over more than a quarter of its texels (an
// earth, a hull) gets none: its runs would seldom be skipped, and looking would only cost time.
const uint16_t* OpaqueSums(TextureObject* texture, const RasterTexture& raster)
{
    if (!texture->opaqueSumsMade || texture->opaqueSumsKey != raster.key) {
        texture->opaqueSums.resize(RasterOpaqueSumsSize(raster));
        const size_t drawn = RasterCountOpaque(raster, texture->opaqueSums.data());
        if (drawn > texture->texels.size() / 4)
            std::vector<uint16_t>().swap(texture->opaqueSums);
        texture->opaqueSumsMade = true;
        texture->opaqueSumsKey = raster.key;
    }
    return texture->opaqueSums.empty() ? nullptr : texture->opaqueSums.data();
}

// The frame's meshes in drawing order, with their places in the frame's arrays and their batches.
void ListMeshes(const FrameObject* frame, const Mat4& world, DeviceObject* device, std::vector<MeshJob>* jobs,
                uint32_t* vertexCount, uint32_t* triangleCount)
{
    for (IDirect3DRMVisual* visual : frame->visuals) {
        MeshBuilderObject* mesh = dynamic_cast<MeshBuilderObject*>(visual);
        if (!mesh || mesh->faces.empty())
            continue;
        // Here, before any thread is at work: a mesh may be listed under more than one frame.
        if (!mesh->boundMade || mesh->boundVertices != mesh->positions.size())
            MakeBound(mesh);
        jobs->push_back({mesh, world, *vertexCount, *triangleCount});
        RenderBatch batch;
        batch.firstKept = *triangleCount;
        batch.firstVertex = *vertexCount;
        if (mesh->texture && mesh->texture->loaded) {
            batch.textured = true;
            batch.texture.texels = mesh->texture->texels.data();
            batch.texture.widthShift = mesh->texture->widthShift;
            batch.texture.heightShift = mesh->texture->heightShift;
            batch.texture.decal = mesh->texture->decal;
            batch.texture.key = mesh->texture->transparentColour;
            if (batch.texture.decal && !g_platformHooks.drawTransparentSpans)
                batch.texture.opaqueSums = OpaqueSums(mesh->texture, batch.texture);
        }
        device->batches.push_back(batch);
        *vertexCount += static_cast<uint32_t>(mesh->positions.size());
        *triangleCount += static_cast<uint32_t>(mesh->faces.size());
    }
    for (const FrameObject* child : frame->children)
        ListMeshes(child, Multiply(child->local, world), device, jobs, vertexCount, triangleCount);
}

// Grows a frame array to hold `count` (never shrinks it, so nothing is cleared frame after frame).
template <typename T> void Hold(std::vector<T>& array, size_t count)
{
    if (array.size() < count)
        array.resize(count);
}

} // namespace

// A frame is drawn in two steps shared by the calling thread and one thread per further core: the
// meshes, taken one at a time by whichever thread comes first, then the pixel work, split in bands
// of rows. Each band fills every batch within its own rows, in the frame's order, so the picture
// is the same however many threads share the work.
//
// Meshes are handed out by a counter that carries the frame's number beside the next mesh, and
// bands by a word that carries it beside a bit per band taken, so a thread that wakes late, after
// its frame is over, finds nothing of another frame to take. Each thread takes its own band first,
// the same rows every frame, but any band left over once its own is done. Each step is done when
// all its parts are, so the caller never waits for a thread that has not woken yet (on a busy
// machine it may not get a core for a while).
struct RenderWorkers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake, bandsOpen, finished;
    uint32_t frame = 0; // the frame being drawn; a new one to draw when it changes (under mutex)
    int meshCount = 0;  // the frame's meshes (under mutex)
    bool stopping = false;
    std::atomic<uint32_t> frameBegun{0}; // `frame` once its meshes are open, to spin on without the mutex
    std::atomic<uint64_t> nextMesh{0};   // frame << 32 | next mesh
    std::atomic<uint64_t> bandsTaken{0}; // frame << 32 | a bit per band taken, once every mesh is done
    std::atomic<int> meshesDone{0};
    std::atomic<int> bandsDone{0};
    int bandCount = 1;
    BandSplit split{1};
    bool spin = false; // whether a waiting thread may spin: only with a core for every thread
    DeviceObject* device = nullptr;
    RenderPass pass;
    std::vector<MeshJob> jobs;
    std::vector<MeshScratch> scratch; // one per thread, the caller's first
    uint32_t triangleCount = 0;
};

namespace {

const int MAX_RENDER_THREADS = 16;
// Triangles and vertices a frame may hold before its buffers must grow: every face of every mesh
// in the frame has its place, and the busiest frame the game can make (forty UFOs besides the sky,
// the earth and the satellite) holds about 51,000 faces and 35,000 vertices.
const size_t RESERVED_TRIANGLES = 64000;
// How long a thread spins for another within a frame before it sleeps.
const int SPIN_MICROSECONDS = 300;

uint64_t Counter(uint32_t frame, int next)
{
    return static_cast<uint64_t>(frame) << 32 | static_cast<uint32_t>(next);
}

// Takes the next part of `frame` from the counter; false when none is left or the counter belongs
// to another frame.
bool TakePart(std::atomic<uint64_t>& counter, uint32_t frame, int parts, int* part)
{
    uint64_t current = counter.load();
    for (;;) {
        if (static_cast<uint32_t>(current >> 32) != frame || static_cast<int>(current & 0xFFFFFFFFu) >= parts)
            return false;
        if (counter.compare_exchange_weak(current, current + 1)) {
            *part = static_cast<int>(current & 0xFFFFFFFFu);
            return true;
        }
    }
}

static_assert(MAX_RENDER_THREADS <= 32, "a bit per band beside the frame's number");

// Takes a band of `frame` not taken yet, the thread's own (`slot`) first: a band drawn by the same
// core frame after frame finds its rows of the buffers in that core's cache. False when every band
// is taken or the bands belong to another frame.
bool TakeBand(std::atomic<uint64_t>& taken, uint32_t frame, int bands, int slot, int* band)
{
    uint64_t current = taken.load();
    for (;;) {
        if (static_cast<uint32_t>(current >> 32) != frame)
            return false;
        int free = -1;
        for (int i = 0; i < bands && free < 0; i++) {
            const int b = (slot + i) % bands;
            if (!(current & (uint64_t(1) << b)))
                free = b;
        }
        if (free < 0)
            return false;
        if (taken.compare_exchange_weak(current, current | (uint64_t(1) << free))) {
            *band = free;
            return true;
        }
    }
}

// Within a frame, one thread mostly waits for another for a few microseconds, where waking from
// sleep takes tens on a busy machine: so a waiting thread first spins, for a while, until `done`.
template <typename Done> void SpinUntil(const RenderWorkers& workers, Done done)
{
    if (!workers.spin || done())
        return;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::microseconds(SPIN_MICROSECONDS);
    for (int i = 1; !done(); i++) {
        if (i % 64 == 0 && std::chrono::steady_clock::now() > giveUp)
            return;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
}

void DrawBand(RenderWorkers& workers, int band)
{
    DeviceObject* device = workers.device;
    RasterTarget target = workers.pass.target;
    int rows = workers.pass.target.clipBottom - workers.pass.target.clipTop;
    target.clipTop = workers.split.Row(band, workers.pass.target.clipTop, rows);
    target.clipBottom = workers.split.Row(band + 1, workers.pass.target.clipTop, rows);
    if (target.clipTop >= target.clipBottom) {
        workers.split.Took(band, 0);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    device->ClearDepthRows(target.clipTop, target.clipBottom);
    uint8_t* drawn = device->drawn.data() + static_cast<size_t>(band) * workers.triangleCount;
    for (const RenderBatch& batch : device->batches)
        RasterFill(target, workers.pass.view, device->vertices.data() + batch.firstVertex,
                   device->classes.data() + batch.firstVertex, batch.triangles, device->kept.data() + batch.firstKept,
                   device->keptRows.data() + batch.firstKept, static_cast<int>(batch.keptCount),
                   batch.textured ? &batch.texture : nullptr, drawn + batch.firstKept);
    workers.split.Took(band, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void OpenBands(RenderWorkers& workers, uint32_t frame)
{
    workers.bandsTaken = Counter(frame, 0);
    std::lock_guard<std::mutex> lock(workers.mutex);
    workers.bandsOpen.notify_all();
}

// A thread's part of `frame`: meshes while any are left, then, once every mesh is done, bands.
void DrawShare(RenderWorkers& workers, int slot, uint32_t frame, int meshCount)
{
    MeshScratch& scratch = workers.scratch[static_cast<size_t>(slot)];
    int part;
    while (TakePart(workers.nextMesh, frame, meshCount, &part)) {
        RenderBatch& batch = workers.device->batches[static_cast<size_t>(part)];
        batch.keptCount =
            DrawMesh(workers.pass, workers.device, workers.jobs[static_cast<size_t>(part)], scratch, &batch);
        if (workers.meshesDone.fetch_add(1) + 1 == meshCount)
            OpenBands(workers, frame);
    }
    // The last mesh is usually a few microseconds away: spin for it before going to sleep.
    SpinUntil(workers, [&] {
        return static_cast<uint32_t>(workers.bandsTaken.load() >> 32) == frame ||
            static_cast<uint32_t>(workers.nextMesh.load() >> 32) != frame;
    });
    {
        std::unique_lock<std::mutex> lock(workers.mutex);
        workers.bandsOpen.wait(lock, [&] {
            return static_cast<uint32_t>(workers.bandsTaken.load() >> 32) == frame || workers.frame != frame ||
                workers.stopping;
        });
    }
    while (TakeBand(workers.bandsTaken, frame, workers.bandCount, slot, &part)) {
        DrawBand(workers, part);
        if (workers.bandsDone.fetch_add(1) + 1 == workers.bandCount) {
            std::lock_guard<std::mutex> lock(workers.mutex);
            workers.finished.notify_all();
        }
    }
}

void WorkerLoop(RenderWorkers* workers, int slot)
{
    uint32_t seen = 0;
    bool spinForFrame = true;
    for (;;) {
        int meshCount;
        // Between frames the caller draws the 2D overlay and presents. Where that takes a few tens
        // of microseconds, as long as waking from sleep takes, spinning for the next frame starts
        // it sooner; where presenting takes longer (a slow X server), spinning would only keep a
        // core from others. So a thread spins while the last frame came within the spin.
        const auto waitStart = std::chrono::steady_clock::now();
        if (spinForFrame)
            SpinUntil(*workers, [&] { return workers->frameBegun.load() != seen; });
        {
            std::unique_lock<std::mutex> lock(workers->mutex);
            workers->wake.wait(lock, [&] { return workers->stopping || workers->frame != seen; });
            if (workers->stopping)
                return;
            seen = workers->frame;
            meshCount = workers->meshCount;
        }
        spinForFrame = std::chrono::steady_clock::now() - waitStart < std::chrono::microseconds(SPIN_MICROSECONDS);
        DrawShare(*workers, slot, seen, meshCount);
    }
}

} // namespace

int g_renderThreads = 0;

namespace {

// Cores this process may run on (as taskset or a container's cpuset leave it), not all the
// machine has.
int UsableCores()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

} // namespace

DeviceObject::DeviceObject() : workers(new RenderWorkers())
{
    const int cores = UsableCores();
    int threads = std::clamp(g_renderThreads > 0 ? g_renderThreads : cores, 1, MAX_RENDER_THREADS);
    // A thread spinning for another that has no core to run on would only keep it off one longer.
    workers->spin = threads > 1 && threads <= cores;
    // One band a thread: every band reads every kept triangle and sets up again the triangles it
    // shares with another, which costs more than many small bands would even out. The rows are
    // shared out by the time the bands took instead.
    workers->bandCount = threads;
    workers->split = BandSplit(threads);
    vertices.reserve(RESERVED_TRIANGLES);
    classes.reserve(RESERVED_TRIANGLES);
    triangles.reserve(RESERVED_TRIANGLES);
    kept.reserve(RESERVED_TRIANGLES);
    keptRows.reserve(RESERVED_TRIANGLES);
    drawn.reserve(RESERVED_TRIANGLES * static_cast<size_t>(workers->bandCount));
    batches.reserve(256);
    workers->jobs.reserve(256);
    workers->scratch.resize(static_cast<size_t>(threads));
    for (MeshScratch& scratch : workers->scratch)
        scratch.towardsLight.reserve(8);
    // The calling thread works on the frame too.
    for (int i = 1; i < threads; i++)
        workers->threads.emplace_back(WorkerLoop, workers, i);
}

DeviceObject::~DeviceObject()
{
    {
        std::lock_guard<std::mutex> lock(workers->mutex);
        workers->stopping = true;
    }
    workers->wake.notify_all();
    workers->bandsOpen.notify_all();
    for (std::thread& thread : workers->threads)
        thread.join();
    delete workers;
    if (surface)
        surface->Release();
    if (g_lastRenderDevice == this)
        g_lastRenderDevice = nullptr;
}

HRESULT RenderHierarchy(ViewportObject* viewport, FrameObject* root)
{
    g_lastRenderDevice = nullptr;
    DeviceObject* device = viewport->device;
    SurfacePixels surface;
    if (!GetSurfacePixels(device->surface, &surface))
        return D3DRMERR_BADDEVICE;
    size_t depthSize = static_cast<size_t>(surface.pitchPixels) * surface.height;
    if (device->depth.size() < depthSize) {
        device->depth.assign(depthSize, 0.0f);
        device->DepthCleared();
    }

    RenderWorkers& workers = *device->workers;
    RenderPass& pass = workers.pass;
    pass = RenderPass();
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
    // What the bands will not reach of the depth a Clear left to this frame is emptied here.
    if (device->depthClearPitch != static_cast<size_t>(surface.pitchPixels)) {
        device->ClearDepthRows(0, surface.height);
        device->DepthCleared();
    }
    device->ClearDepthRows(0, pass.target.clipTop);
    device->ClearDepthRows(pass.target.clipBottom, surface.height);
    pass.view = ViewportProjection(viewport);
    pass.fromWorldToCamera = InverseRigid(FrameWorldMatrix(viewport->camera));
    pass.lightOn = (device->quality & D3DRMLIGHT_ON) != 0;
    pass.gouraud = (device->quality & 7u) != D3DRMSHADE_FLAT;

    g_lights.ambientRed = g_lights.ambientGreen = g_lights.ambientBlue = 0;
    g_lights.directional.clear();
    Mat4 rootWorld = FrameWorldMatrix(root);
    CollectLights(root, rootWorld, &g_lights);
    device->batches.clear();
    workers.jobs.clear();
    uint32_t vertexCount = 0, triangleCount = 0;
    ListMeshes(root, rootWorld, device, &workers.jobs, &vertexCount, &triangleCount);
    Hold(device->vertices, vertexCount);
    Hold(device->classes, vertexCount);
    Hold(device->triangles, triangleCount);
    Hold(device->kept, triangleCount);
    Hold(device->keptRows, triangleCount);
    workers.triangleCount = triangleCount;
    device->drawn.assign(static_cast<size_t>(triangleCount) * static_cast<size_t>(workers.bandCount), 0);

    workers.device = device;
    workers.meshesDone = 0;
    workers.bandsDone = 0;
    const int meshCount = static_cast<int>(workers.jobs.size());
    uint32_t frame;
    {
        std::lock_guard<std::mutex> lock(workers.mutex);
        frame = ++workers.frame;
        workers.meshCount = meshCount;
    }
    // Threads still busy with the last frame leave it now; the others wake for this one.
    workers.bandsOpen.notify_all();
    workers.wake.notify_all();
    // After everything above: a thread may take a part of this frame from here on.
    if (meshCount == 0)
        OpenBands(workers, frame);
    workers.nextMesh = Counter(frame, 0);
    // Last: a thread spinning for the frame finds its meshes open.
    workers.frameBegun = frame;
    DrawShare(workers, 0, frame, meshCount);
    if (!workers.threads.empty()) {
        SpinUntil(workers, [&] { return workers.bandsDone == workers.bandCount; });
        std::unique_lock<std::mutex> lock(workers.mutex);
        workers.finished.wait(lock, [&] { return workers.bandsDone == workers.bandCount; });
    }
    workers.split.Rebalance();
    device->DepthCleared();
    g_lastRenderDevice = device;
    return D3DRM_OK;
}

int LastRenderTriangles()
{
    if (!g_lastRenderDevice)
        return 0;
    const DeviceObject& device = *g_lastRenderDevice;
    const size_t triangleCount = device.workers->triangleCount;
    // A triangle split between bands counts once.
    int drawn = 0;
    for (size_t t = 0; t < triangleCount; t++) {
        uint8_t any = 0;
        for (int band = 0; band < device.workers->bandCount; band++)
            any |= device.drawn[static_cast<size_t>(band) * triangleCount + t];
        drawn += any;
    }
    return drawn;
}
