// Drawing a frame hierarchy: world placement, lighting per vertex or per face, then the software
// rasteriser (no library).
#include "d3drm_objects.h"
#include "hook_points.h"

#include <algorithm>

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

void DrawMesh(RenderPass& pass, const MeshBuilderObject* mesh, const Mat4& world)
{
    if (mesh->faces.empty())
        return;
    Mat4 toCamera = Multiply(world, pass.fromWorldToCamera);
    Mat4 fromWorld = InverseRigid(world);
    std::vector<Vec3>& towardsLight = g_towardsLight; // in the mesh's own coordinates
    towardsLight.clear();
    for (const DirectionalLight& light : pass.lights.directional)
        towardsLight.push_back(TransformDirection(light.towardsLight, fromWorld));

    size_t count = mesh->positions.size();
    std::vector<RasterVertex>& vertices = pass.device->vertices;
    vertices.resize(count);
    bool hasUv = mesh->us.size() == count && mesh->vs.size() == count;
    bool perVertexLight = pass.lightOn && pass.gouraud;
    for (size_t i = 0; i < count; i++) {
        Vec3 p = TransformPoint(mesh->positions[i], toCamera);
        RasterVertex& v = vertices[i];
        v.x = p.x;
        v.y = p.y;
        v.z = p.z;
        v.u = hasUv ? mesh->us[i] : 0.0f;
        v.v = hasUv ? mesh->vs[i] : 0.0f;
        float rgb[3] = {1, 1, 1};
        if (perVertexLight)
            LightNormal(pass.lights, towardsLight, mesh->normals[i], rgb);
        v.r = rgb[0];
        v.g = rgb[1];
        v.b = rgb[2];
    }

    std::vector<RasterTriangle>& triangles = pass.device->triangles;
    triangles.resize(mesh->faces.size());
    for (size_t f = 0; f < mesh->faces.size(); f++) {
        const MeshFace& face = mesh->faces[f];
        RasterTriangle& t = triangles[f];
        t.v[0] = face.v[0];
        t.v[1] = face.v[1];
        t.v[2] = face.v[2];
        float rgb[3] = {1, 1, 1};
        if (pass.lightOn && !pass.gouraud) {
            // Flat: one intensity per face, from the face's own normal.
            Vec3 a = mesh->positions[face.v[0]], b = mesh->positions[face.v[1]], c = mesh->positions[face.v[2]];
            Vec3 n;
            if (!Normalise(Cross(b - a, c - a), &n))
                n = MakeVec3(0, 0, 0);
            LightNormal(pass.lights, towardsLight, n, rgb);
        }
        t.r = face.red * rgb[0];
        t.g = face.green * rgb[1];
        t.b = face.blue * rgb[2];
        t.emissiveR = face.emissiveRed;
        t.emissiveG = face.emissiveGreen;
        t.emissiveB = face.emissiveBlue;
    }

    RasterTexture texture;
    const RasterTexture* useTexture = nullptr;
    if (mesh->texture && mesh->texture->loaded) {
        texture.texels = mesh->texture->texels.data();
        texture.widthShift = mesh->texture->widthShift;
        texture.heightShift = mesh->texture->heightShift;
        texture.decal = mesh->texture->decal;
        texture.key = mesh->texture->transparentColour;
        useTexture = &texture;
    }
    pass.drawn += RasterDrawMesh(pass.target, pass.view, vertices.data(), static_cast<int>(count), triangles.data(),
                                 static_cast<int>(triangles.size()), useTexture, pass.device->scratch);
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
    DrawFrame(pass, root, rootWorld);
    g_lastRenderTriangles = pass.drawn;
    return D3DRM_OK;
}
