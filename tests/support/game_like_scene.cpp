// The busy game-like scene shared by the renderer benchmarks and tests.
#include "game_like_scene.h"

#include "platform_internal.h"

#include <cmath>

std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    return path.substr(0, path.rfind('/') + 1);
}

IDirect3DRMMeshBuilder* GameLikeScene::Load(const char* file, float scale, const char* texture, IDirect3DRMWrap* wrap)
{
    IDirect3DRMMeshBuilder* mesh = LoadMesh(rm, ExecutableFolder() + file);
    mesh->Scale(scale, scale, scale);
    if (texture) {
        IDirect3DRMTexture* t = nullptr;
        if (rm->LoadTexture((ExecutableFolder() + texture).c_str(), &t) == D3DRM_OK) {
            t->SetDecalTransparency(TRUE);
            t->SetDecalTransparentColor(0);
            mesh->SetTexture(t);
            t->Release();
        }
        wrap->Apply(mesh);
    }
    return mesh;
}

GameLikeScene::GameLikeScene()
{
    IDirect3DRMLight* ambient = nullptr;
    rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.35f, 0.35f, 0.35f, &ambient);
    scene->AddLight(ambient);
    ambient->Release();
    IDirect3DRMFrame* lightFrame = nullptr;
    rm->CreateFrame(scene, &lightFrame);
    lightFrame->SetOrientation(nullptr, -0.5f, -0.5f, -0.5f, 0, 0, 0);
    IDirect3DRMLight* sun = nullptr;
    rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.8f, 0.8f, 0.8f, &sun);
    lightFrame->AddLight(sun);
    sun->Release();
    lightFrame->Release();

    IDirect3DRMWrap* flat = nullptr;
    IDirect3DRMWrap* sphere = nullptr;
    rm->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0.01f, 0.01f, &flat);
    rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, &sphere);
    IDirect3DRMMeshBuilder* earth = Load("earth.x", 100, "earth2_texture.bmp", flat);
    IDirect3DRMMeshBuilder* sky = Load("tenkyu.x", 50, "tenkyu_texture.bmp", sphere);
    IDirect3DRMMeshBuilder* satellite = Load("SATELLITE.x", 1, nullptr, nullptr);
    IDirect3DRMMeshBuilder* kinds[3] = {Load("meteo.x", 1, nullptr, nullptr), Load("UFO.x", 1.5f, nullptr, nullptr),
                                        Load("ICBM.x", 1, nullptr, nullptr)};
    Show(earth, 136, -37, -25)->SetOrientation(scene, 0, 0, 0, 0, 0.5f, 0.5f);
    Show(sky, 90, -6, 13)->SetOrientation(scene, 0.036f, -0.66f, 0.74f, 0.04f, -0.74f, -0.66f);
    IDirect3DRMFrame* satelliteFrame = Show(satellite, 32, 0, 0);
    for (int i = 0; i < ENEMIES; i++) {
        float along = 10.0f + 3.0f * i;
        enemies[i] = Show(kinds[i % 3], along, 12.0f * std::sin(i * 0.9f), 9.0f * std::cos(i * 1.3f));
    }
    camera->LookAt(satelliteFrame, scene, D3DRMCONSTRAIN_Y);
    flat->Release();
    sphere->Release();
    earth->Release();
    sky->Release();
    satellite->Release();
    for (IDirect3DRMMeshBuilder* kind : kinds)
        kind->Release();
}

void GameLikeScene::Step()
{
    for (IDirect3DRMFrame* enemy : enemies)
        enemy->AddRotation(D3DRMCOMBINE_BEFORE, 0.1f, 0.1f, 0.1f, 0.05f);
    camera->AddRotation(D3DRMCOMBINE_AFTER, 1, 0, 0, 0.01f);
}
