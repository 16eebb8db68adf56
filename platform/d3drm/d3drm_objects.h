// The concrete retained-mode objects behind the d3drm.h interfaces, shared by the files of this
// folder and the test read-back.
#pragma once

#include "../internal/platform_private.h"

#include "d3drm.h"
#include "d3drm_math.h"
#include "platform_internal.h"
#include "raster.h"

#include <cstdint>
#include <vector>

struct FrameObject;
struct TextureObject;

struct LightObject final : IDirect3DRMLight {
    D3DRMLIGHTTYPE type = D3DRMLIGHT_AMBIENT;
    float red = 0, green = 0, blue = 0; // quantised to 1/255 steps
};

struct TextureObject final : IDirect3DRMTexture {
    ~TextureObject() override = default;
    HRESULT SetDecalTransparency(BOOL on) override;
    HRESULT SetDecalTransparentColor(D3DCOLOR colour) override;

    // Texels 0x00RRGGBB, top row first, resampled to power-of-two sides for the rasteriser.
    std::vector<uint32_t> texels;
    int widthShift = 0;
    int heightShift = 0;
    bool loaded = false;
    bool decal = false;
    uint32_t transparentColour = 0; // 0x00RRGGBB
    // The rasteriser's counts of drawn texels, made when a decal texture is first drawn; remade
    // when the texels or the transparent colour change.
    std::vector<uint16_t> opaqueSums; // empty when too many texels are drawn for them to help
    bool opaqueSumsMade = false;
    uint32_t opaqueSumsKey = 0;
};

// A face as the rasteriser takes it: corners indexing the mesh's vertices, the material's colour
// and its light of its own (added unlit), so that drawing reads the faces where they are.
using MeshFace = RasterTriangle;

struct MeshBuilderObject final : IDirect3DRMMeshBuilder {
    ~MeshBuilderObject() override;
    HRESULT Load(LPVOID fileName, LPVOID objectName, D3DRMLOADOPTIONS options, D3DRMLOADTEXTURECALLBACK callback,
                 LPVOID callbackArg) override;
    HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) override;
    HRESULT SetTexture(LPDIRECT3DRMTEXTURE texture) override;

    std::vector<Vec3> positions;
    std::vector<Vec3> normals; // unit, one per position
    std::vector<float> us, vs; // texture coordinates, one per position
    std::vector<MeshFace> faces;
    TextureObject* texture = nullptr; // one reference held
    // A sphere around every vertex, so that a mesh out of sight is passed over before any vertex
    // work; made when a frame lists the mesh, for the vertices as they are then.
    Vec3 boundCentre;
    float boundRadius = 0;
    bool boundMade = false;
    size_t boundVertices = 0;
};

struct WrapObject final : IDirect3DRMWrap {
    HRESULT Apply(LPDIRECT3DRMOBJECT object) override;

    D3DRMWRAPTYPE type = D3DRMWRAP_FLAT;
    Vec3 origin, axisX, axisY, axisZ;
    float ou = 0, ov = 0, su = 1, sv = 1;
};

struct FrameObject final : IDirect3DRMFrame {
    ~FrameObject() override;
    HRESULT AddLight(LPDIRECT3DRMLIGHT light) override;
    HRESULT AddVisual(LPDIRECT3DRMVISUAL visual) override;
    HRESULT DeleteVisual(LPDIRECT3DRMVISUAL visual) override;
    HRESULT SetPosition(LPDIRECT3DRMFRAME reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    HRESULT GetPosition(LPDIRECT3DRMFRAME reference, LPD3DVECTOR position) override;
    HRESULT SetOrientation(LPDIRECT3DRMFRAME reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy,
                           D3DVALUE uz) override;
    HRESULT GetOrientation(LPDIRECT3DRMFRAME reference, LPD3DVECTOR direction, LPD3DVECTOR up) override;
    HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) override;
    HRESULT LookAt(LPDIRECT3DRMFRAME target, LPDIRECT3DRMFRAME reference, D3DRMFRAMECONSTRAINT constraint) override;
    HRESULT SetSceneBackground(D3DCOLOR colour) override;

    FrameObject* parent = nullptr;           // not counted: the parent holds the child, not the reverse
    std::vector<FrameObject*> children;      // one reference each
    std::vector<IDirect3DRMVisual*> visuals; // one reference each
    std::vector<LightObject*> lights;        // one reference each
    Mat4 local;                              // relative to the parent
    D3DCOLOR background = 0xFF000000u;
};

// The frame's matrix relative to the world (the root of its hierarchy).
Mat4 FrameWorldMatrix(const FrameObject* frame);
// Our frame behind an interface pointer, or null for anything else.
FrameObject* AsFrame(IUnknown* object);

struct RenderWorkers;

// One mesh's share of a frame: its kept triangles and its texture.
struct RenderBatch {
    uint32_t firstKept = 0, keptCount = 0; // the mesh's first face in the frame's arrays
    uint32_t firstVertex = 0;
    const RasterTriangle* triangles = nullptr; // the mesh's faces, or the frame's lit copy of them
    bool textured = false;
    RasterTexture texture;
};

struct DeviceObject final : IDirect3DRMDevice {
    DeviceObject();
    ~DeviceObject() override;
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    HRESULT SetBufferCount(DWORD count) override;
    DWORD GetWidth() override;
    DWORD GetHeight() override;
    HRESULT Update() override;

    IDirectDrawSurface* surface = nullptr; // one reference held
    int width = 0;
    int height = 0;
    D3DRMRENDERQUALITY quality = D3DRMRENDER_FLAT;
    std::vector<float> depth; // width x height, made once
    // The rectangle of the depth buffer a viewport's Clear left to the next Render to empty: each
    // band of rows empties its own part just before it draws there, at the same time as the
    // others. Empty when left == right.
    int depthClearLeft = 0, depthClearTop = 0, depthClearRight = 0, depthClearBottom = 0;
    size_t depthClearPitch = 0; // floats per row
    // Asks for a rectangle to be emptied by the next Render; one asked for before that is
    // emptied at once if it is another.
    void ClearDepthLater(int left, int top, int right, int bottom, size_t pitch);
    // Empties the asked-for rectangle's rows from `top` to `bottom`.
    void ClearDepthRows(int top, int bottom);
    // After a Render: nothing is left to empty.
    void DepthCleared() { depthClearLeft = depthClearRight = 0; }
    // The frame being drawn: every mesh's vertices in camera space, their classes, the faces kept
    // after culling (at each mesh's first face; flat light colours a copy of them in `triangles`),
    // one batch per mesh. Kept from frame to frame and only ever grown, so drawing allocates
    // nothing once the busiest frame has been seen; the frame's own counts are the workers'.
    std::vector<RasterVertex> vertices;
    std::vector<RasterVertexClass> classes;
    std::vector<RasterTriangle> triangles;
    std::vector<uint32_t> kept;
    std::vector<RasterRows> keptRows; // beside kept
    std::vector<RenderBatch> batches;
    std::vector<uint8_t> drawn; // per band, per triangle: reached the screen
    RenderWorkers* workers;     // bands of rows drawn at once, one thread per further core
};

// Threads used to draw a frame by devices made from now on; 0 means one per core the process may
// run on.
extern int g_renderThreads;

struct ViewportObject final : IDirect3DRMViewport {
    ~ViewportObject() override;
    HRESULT SetFront(D3DVALUE front) override;
    HRESULT SetBack(D3DVALUE back) override;
    HRESULT Clear() override;
    HRESULT Render(LPDIRECT3DRMFRAME frame) override;
    HRESULT Transform(LPD3DRMVECTOR4D out, LPD3DVECTOR in) override;

    DeviceObject* device = nullptr; // one reference held
    FrameObject* camera = nullptr;  // one reference held
    int left = 0, top = 0, width = 0, height = 0;
    float front = 1.0f;
    float back = 100.0f;
    float field = 0.5f;
};

// The projection that drawing and Transform share.
RasterView ViewportProjection(const ViewportObject* viewport);
// Draws the hierarchy under `root` seen from the viewport's camera (d3drm_render.cpp).
HRESULT RenderHierarchy(ViewportObject* viewport, FrameObject* root);
// Triangles drawn by the last Render, counted when asked (tests ask; a frame does not need it).
int LastRenderTriangles();

// Our one device: the software RGB rasteriser.
extern const GUID SOFTWARE_RGB_DEVICE_GUID;

// Axes from a direction and an up vector as a wrap takes them (zero vectors handled as frames do).
void WrapAxes(Vec3 direction, Vec3 up, Vec3* x, Vec3* y, Vec3* z);
// Fills a texture from a decoded bitmap (resampled to power-of-two sides).
void SetTexturePixels(TextureObject* texture, const DecodedBitmap& bitmap);
