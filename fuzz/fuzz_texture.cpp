// Fuzz target: a texture read from a bitmap file by IDirect3DRM::LoadTexture, made a decal as the
// scene's textures are.
#include "d3drm.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static LPDIRECT3DRM s_renderer = nullptr;
    if (!s_renderer)
        Direct3DRMCreate(&s_renderer);
    LPDIRECT3DRMTEXTURE texture = nullptr;
    if (s_renderer->LoadTexture(InputAsFile(data, size), &texture) == D3DRM_OK && texture) {
        texture->SetDecalTransparency(TRUE);
        texture->SetDecalTransparentColor(0);
        texture->Release();
    }
    return 0;
}
