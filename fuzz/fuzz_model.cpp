// Fuzz target: a .x model read by IDirect3DRMMeshBuilder::Load, then scaled and wrapped as the
// scene's models are.
#include "d3drm.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static LPDIRECT3DRM s_renderer = nullptr;
    static LPDIRECT3DRMWRAP s_sphere = nullptr, s_flat = nullptr;
    if (!s_renderer) {
        Direct3DRMCreate(&s_renderer);
        s_renderer->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, &s_sphere);
        s_renderer->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0.01f, 0.01f, &s_flat);
    }
    LPDIRECT3DRMMESHBUILDER mesh = nullptr;
    if (s_renderer->CreateMeshBuilder(&mesh) != D3DRM_OK)
        return 0;
    const char* path = InputAsFile(data, size);
    if (mesh->Load(const_cast<char*>(path), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr) == D3DRM_OK) {
        mesh->Scale(50, 50, 50);
        s_sphere->Apply(mesh);
        s_flat->Apply(mesh);
    }
    mesh->Release();
    return 0;
}
