// Scene building: lights, models, textures and the frames the game moves.
#include "scene/scene_registry.h"

LPDIRECT3DRMFRAME g_frames[SCENE_SLOTS];
LPDIRECT3DRMMESHBUILDER g_meshes[SCENE_SLOTS];
LPDIRECT3DRMTEXTURE g_textures[SCENE_SLOTS];

bool BuildScene(HWND window)
{
    (void)window;
    return false;
}

bool LoadModel(const char* modelFile, const char* textureFile, int slot, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz,
               bool show, LPDIRECT3DRMWRAP wrap)
{
    (void)modelFile, (void)textureFile, (void)slot, (void)sx, (void)sy, (void)sz, (void)show, (void)wrap;
    return true;
}

void ReleaseSceneRegistry() {}
