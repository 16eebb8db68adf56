// The scene: models, textures, lights and the frames the game moves, reached by slot number.
#pragma once

#include "d3drm.h"

constexpr int SCENE_SLOTS = 100;

constexpr int SLOT_SATELLITE = 0;
constexpr int SLOT_METEOR = 1;
constexpr int SLOT_UFO = 2;
constexpr int SLOT_ICBM = 3;
constexpr int SLOT_EARTH = 5;
constexpr int SLOT_CANNON = 7;
constexpr int SLOT_SKY = 8;
constexpr int SLOT_AIM = 9;
constexpr int SLOT_ENEMY_BASE = 10;
constexpr int SLOT_SHOT_PIVOT = 60;
static_assert(SLOT_AIM == SLOT_ENEMY_BASE - 1, "with no target the enemy frame lookup must give the aim frame");

extern LPDIRECT3DRMFRAME g_frames[SCENE_SLOTS]; // every one a child of g_scene
extern LPDIRECT3DRMMESHBUILDER g_meshes[SCENE_SLOTS];
extern LPDIRECT3DRMTEXTURE g_textures[SCENE_SLOTS];

bool BuildScene(HWND window);
bool LoadModel(const char* modelFile, const char* textureFile, int slot, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz,
               bool show, LPDIRECT3DRMWRAP wrap);
void ReleaseSceneRegistry();
