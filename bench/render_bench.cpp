// Renderer speed: one 640 x 480 frame of a scene like the game's (textured earth, inward textured
// sky around the camera, the satellite and 40 small enemies), drawn with the game's own models.
#include <benchmark/benchmark.h>

#include "d3drm.h"
#include "ddraw.h"

#include <unistd.h>

#include <cmath>
#include <string>

namespace {

std::string DataFolder()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    path[length] = '\0';
    std::string folder(path);
    return folder.substr(0, folder.rfind('/') + 1);
}

struct GameLikeScene {
    IDirectDraw* dd = nullptr;
    IDirectDrawSurface* surface = nullptr;
    IDirect3DRM* rm = nullptr;
    IDirect3DRMFrame* scene = nullptr;
    IDirect3DRMFrame* camera = nullptr;
    IDirect3DRMDevice* device = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
    IDirect3DRMFrame* enemies[40] = {};

    IDirect3DRMMeshBuilder* Load(const char* file, float scale, const char* texture, IDirect3DRMWrap* wrap)
    {
        IDirect3DRMMeshBuilder* mesh = nullptr;
        rm->CreateMeshBuilder(&mesh);
        std::string path = DataFolder() + file;
        mesh->Load(const_cast<char*>(path.c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
        mesh->Scale(scale, scale, scale);
        if (texture) {
            IDirect3DRMTexture* t = nullptr;
            if (rm->LoadTexture((DataFolder() + texture).c_str(), &t) == D3DRM_OK) {
                t->SetDecalTransparency(TRUE);
                t->SetDecalTransparentColor(0);
                mesh->SetTexture(t);
                t->Release();
            }
            wrap->Apply(mesh);
        }
        return mesh;
    }

    IDirect3DRMFrame* Place(IDirect3DRMMeshBuilder* mesh, float x, float y, float z)
    {
        IDirect3DRMFrame* frame = nullptr;
        rm->CreateFrame(scene, &frame);
        frame->SetPosition(scene, x, y, z);
        frame->AddVisual(mesh);
        frame->Release();
        return frame;
    }

    GameLikeScene()
    {
        DirectDrawCreate(nullptr, &dd, nullptr);
        DDSURFACEDESC desc{};
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        desc.dwWidth = 640;
        desc.dwHeight = 480;
        dd->CreateSurface(&desc, &surface, nullptr);
        Direct3DRMCreate(&rm);
        rm->CreateFrame(nullptr, &scene);
        rm->CreateFrame(scene, &camera);
        rm->CreateDeviceFromSurface(nullptr, dd, surface, &device);
        rm->CreateViewport(device, camera, 0, 0, 640, 480, &viewport);
        viewport->SetBack(400);
        device->SetQuality(D3DRMRENDER_GOURAUD);

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
        Place(earth, 136, -37, -25)->SetOrientation(scene, 0, 0, 0, 0, 0.5f, 0.5f);
        Place(sky, 90, -6, 13)->SetOrientation(scene, 0.036f, -0.66f, 0.74f, 0.04f, -0.74f, -0.66f);
        IDirect3DRMFrame* satelliteFrame = Place(satellite, 32, 0, 0);
        for (int i = 0; i < 40; i++) {
            float along = 10.0f + 3.0f * i;
            enemies[i] = Place(kinds[i % 3], along, 12.0f * std::sin(i * 0.9f), 9.0f * std::cos(i * 1.3f));
        }
        camera->LookAt(satelliteFrame, scene, D3DRMCONSTRAIN_Y);
        flat->Release();
        sphere->Release();
        earth->Release();
        sky->Release();
        satellite->Release();
        for (IDirect3DRMMeshBuilder* k : kinds)
            k->Release();
    }

    ~GameLikeScene()
    {
        viewport->Release();
        device->Release();
        camera->Release();
        scene->Release();
        rm->Release();
        surface->Release();
        dd->Release();
    }
};

void BM_GameLikeFrame(benchmark::State& state)
{
    GameLikeScene s;
    for (auto _ : state) {
        s.viewport->Clear();
        s.viewport->Render(s.scene);
        s.device->Update();
        for (IDirect3DRMFrame* enemy : s.enemies)
            enemy->AddRotation(D3DRMCOMBINE_BEFORE, 0.1f, 0.1f, 0.1f, 0.05f);
        s.camera->AddRotation(D3DRMCOMBINE_AFTER, 1, 0, 0, 0.01f);
    }
}
BENCHMARK(BM_GameLikeFrame)->Unit(benchmark::kMillisecond);

void BM_ClearOnly(benchmark::State& state)
{
    GameLikeScene s;
    for (auto _ : state)
        s.viewport->Clear();
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);

} // namespace
