// Scene building: lights, models, textures and the frames the game moves.
#include "scene/scene_registry.h"

#include "base/shell_services.h"
#include "display/draw2d.h"
#include "scene/renderer.h"
#include "sound/sound.h"

#include <cstdio>

LPDIRECT3DRMFRAME g_frames[SCENE_SLOTS];       // filled once by BuildScene; released on Escape
LPDIRECT3DRMMESHBUILDER g_meshes[SCENE_SLOTS]; // the models, shown on frames as the game needs
LPDIRECT3DRMTEXTURE g_textures[SCENE_SLOTS];   // the earth's and the sky's pictures

constexpr int ENEMY_FRAME_COUNT = 40;
constexpr int PATH_BUFFER = 2000;

// The sheets in load order, each from its bare file name.
struct SheetFile {
    int index;
    const char* fileName;
};
static const SheetFile s_sheetFiles[] = {
    {SPR_EXPLOSION0, "baku0.bmp"},
    {SPR_EXPLOSION1, "baku1.bmp"},
    {SPR_EXPLOSION2, "baku2.bmp"},
    {SPR_EXPLOSION3, "baku3.bmp"},
    {SPR_EARTH_EXPLOSION, "earthexplosion.bmp"},
    {SPR_CROSSHAIR, "hyoujun.bmp"},
    {SPR_DIGITS, "number_char.bmp"},
    {SPR_SCORE_LABEL, "score_char.bmp"},
    {SPR_GAMEOVER, "GAMEOVER.bmp"},
    {SPR_LINE, "line.bmp"},
    {SPR_TIME_LABEL, "limit_char.bmp"},
    {SPR_SPARK, "hibana.bmp"},
    {SPR_TITLE, "TITLE.bmp"},
    {SPR_METEOR_LABEL, "meteo_char.bmp"},
    {SPR_UFO_LABEL, "ufo_char.bmp"},
    {SPR_MISSILE_LABEL, "missle_char.bmp"},
    {SPR_BONUS_LABEL, "bonus_char.bmp"},
    {SPR_RATE_LABEL, "hakairitu_char.bmp"},
    {SPR_HISCORE_LABEL, "hiscore_char.bmp"},
    {SPR_YOURSCORE_LABEL, "yourscore_char.bmp"},
    {SPR_TOTALBONUS_LABEL, "totalbonus_char.bmp"},
};

// Directory plus file name; false when the path does not fit, and the file is then taken as missing.
static bool ModulePath(char (&path)[PATH_BUFFER], const char* fileName)
{
    int length = snprintf(path, sizeof(path), "%s%s", GetModuleDirectory(), fileName);
    return length >= 0 && length < PATH_BUFFER;
}

static LPDIRECT3DRMFRAME NewFrame()
{
    LPDIRECT3DRMFRAME frame = nullptr;
    if (FAILED(g_d3drm->CreateFrame(g_scene, &frame)))
        return nullptr;
    return frame;
}

// Any object that could not be made stays absent: its slot is left empty.
bool LoadModel(const char* modelFile, const char* textureFile, int slot, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz,
               bool show, LPDIRECT3DRMWRAP wrap)
{
    if (slot < 0 || slot >= SCENE_SLOTS)
        return true;
    char modelPath[PATH_BUFFER];
    bool modelPathFits = ModulePath(modelPath, modelFile);

    LPDIRECT3DRMFRAME frame = NewFrame();
    g_frames[slot] = frame;
    LPDIRECT3DRMMESHBUILDER mesh = nullptr;
    if (FAILED(g_d3drm->CreateMeshBuilder(&mesh)))
        mesh = nullptr;
    g_meshes[slot] = mesh;
    if (mesh) {
        // A model that cannot be read leaves the mesh empty: the object is invisible.
        if (modelPathFits)
            mesh->Load(modelPath, nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
        mesh->Scale(sx, sy, sz);
    }
    if (show && frame && mesh)
        frame->AddVisual(mesh);
    if (!textureFile)
        return true;

    char texturePath[PATH_BUFFER];
    LPDIRECT3DRMTEXTURE texture = nullptr;
    if (ModulePath(texturePath, textureFile) && FAILED(g_d3drm->LoadTexture(texturePath, &texture)))
        texture = nullptr;
    g_textures[slot] = texture;
    if (texture) {
        texture->SetDecalTransparency(TRUE);
        texture->SetDecalTransparentColor(0);
        if (mesh)
            mesh->SetTexture(texture);
    }
    if (wrap && mesh)
        wrap->Apply(mesh);
    return true;
}

static void ReleaseIfAny(IUnknown* object)
{
    if (object)
        object->Release();
}

// An ambient light on the root, and a directional light shining along (-0.5, -0.5, -0.5).
static bool AddLights()
{
    LPDIRECT3DRMLIGHT ambient = nullptr;
    if (FAILED(g_d3drm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.35f, 0.35f, 0.35f, &ambient)) || !ambient)
        return false;
    g_scene->AddLight(ambient);

    LPDIRECT3DRMFRAME lightFrame = NewFrame();
    if (!lightFrame) {
        ambient->Release();
        return false;
    }
    LPDIRECT3DRMLIGHT directional = nullptr;
    if (FAILED(g_d3drm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.8f, 0.8f, 0.8f, &directional)) || !directional) {
        ambient->Release();
        lightFrame->Release();
        return false;
    }
    lightFrame->AddLight(directional);
    lightFrame->SetPosition(g_scene, 50.0f, 0.0f, 0.0f);
    lightFrame->SetOrientation(nullptr, -0.5f, -0.5f, -0.5f, 0.0f, 0.0f, 0.0f);

    // The scene graph keeps them for the rest of the run.
    lightFrame->Release();
    ambient->Release();
    directional->Release();
    return true;
}

bool BuildScene(HWND window)
{
    (void)window;
    g_device->SetQuality(D3DRMRENDER_GOURAUD);

    LPDIRECT3DRMWRAP earthWrap = nullptr;
    LPDIRECT3DRMWRAP skyWrap = nullptr;
    if (FAILED(g_d3drm->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                   0.0f, 0.01f, 0.01f, &earthWrap)))
        earthWrap = nullptr;
    if (FAILED(g_d3drm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f,
                                   0.0f, 0.0f, 1.0f, 1.0f, &skyWrap)))
        skyWrap = nullptr;

    if (!AddLights()) {
        ReleaseIfAny(earthWrap);
        ReleaseIfAny(skyWrap);
        return false;
    }

    LoadModel("SATELLITE.x", nullptr, SLOT_SATELLITE, 1.0f, 1.0f, 1.0f, true, nullptr);
    LoadModel("ICBM.x", nullptr, SLOT_ICBM, 1.0f, 1.0f, 1.0f, false, nullptr);
    // The shot: ten times its length along z, three times its width.
    LoadModel("CANON.x", nullptr, SLOT_CANNON, 3.0f, 3.0f, 10.0f, false, nullptr);
    LoadModel("earth.x", "earth2_texture.bmp", SLOT_EARTH, 100.0f, 100.0f, 100.0f, true, earthWrap);
    LoadModel("UFO.x", nullptr, SLOT_UFO, 1.5f, 1.5f, 1.5f, false, nullptr);
    LoadModel("meteo.x", nullptr, SLOT_METEOR, 1.0f, 1.0f, 1.0f, false, nullptr);
    LoadModel("tenkyu.x", "tenkyu_texture.bmp", SLOT_SKY, 50.0f, 50.0f, 50.0f, true, skyWrap);
    ReleaseIfAny(earthWrap);
    ReleaseIfAny(skyWrap);

    for (int i = 0; i < ENEMY_FRAME_COUNT; i++)
        g_frames[SLOT_ENEMY_BASE + i] = NewFrame();
    g_frames[SLOT_SHOT_PIVOT] = NewFrame();
    g_frames[SLOT_AIM] = NewFrame();

    // Starting attitudes only; every frame stays at the origin until play places it.
    if (g_frames[SLOT_EARTH])
        g_frames[SLOT_EARTH]->SetOrientation(g_scene, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.5f);
    if (g_frames[SLOT_SATELLITE])
        g_frames[SLOT_SATELLITE]->SetOrientation(g_scene, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    if (g_frames[SLOT_SKY])
        g_frames[SLOT_SKY]->SetOrientation(g_scene, 0.0f, 0.0f, 0.0f, -0.3f, 0.0f, 0.0f);

    // Missing bitmaps or sound do not stop the game.
    for (const SheetFile& sheet : s_sheetFiles)
        LoadSpriteSheet(g_spriteSheets[sheet.index], sheet.fileName);
    LoadWave(g_soundBuffers[SND_BOMB], "G_bomb8.Wav");
    return true;
}

void ReleaseSceneRegistry()
{
    // Frames, then meshes, then textures; the entries keep their values.
    for (int i = 0; i < SCENE_SLOTS; i++)
        ReleaseIfAny(g_frames[i]);
    for (int i = 0; i < SCENE_SLOTS; i++)
        ReleaseIfAny(g_meshes[i]);
    for (int i = 0; i < SCENE_SLOTS; i++)
        ReleaseIfAny(g_textures[i]);
}
