// The renderer tests' shared set-up and scratch-file writers.
#include "render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

RenderFixture::RenderFixture(int width, int height)
{
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
    EXPECT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    rm->CreateFrame(nullptr, &scene);
    rm->CreateFrame(scene, &camera);
    EXPECT_EQ(rm->CreateDeviceFromSurface(nullptr, dd, surface, &device), D3DRM_OK);
    EXPECT_EQ(rm->CreateViewport(device, camera, 0, 0, device->GetWidth(), device->GetHeight(), &viewport), D3DRM_OK);
    viewport->SetBack(400);
    device->SetQuality(D3DRMRENDER_GOURAUD);
}

RenderFixture::~RenderFixture()
{
    viewport->Release();
    device->Release();
    camera->Release();
    scene->Release();
    rm->Release();
    surface->Release();
    dd->Release();
}

SurfacePixels RenderFixture::Pixels()
{
    SurfacePixels p;
    EXPECT_TRUE(GetSurfacePixels(surface, &p));
    return p;
}

uint16_t RenderFixture::Pixel(int x, int y)
{
    SurfacePixels p = Pixels();
    return p.pixels[static_cast<size_t>(y) * p.pitchPixels + x];
}

int RenderFixture::CountNot(uint16_t colour)
{
    SurfacePixels p = Pixels();
    int n = 0;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            n += p.pixels[static_cast<size_t>(y) * p.pitchPixels + x] != colour;
    return n;
}

void RenderFixture::Draw()
{
    viewport->Clear();
    EXPECT_EQ(viewport->Render(scene), D3DRM_OK);
    device->Update();
}

IDirect3DRMFrame* RenderFixture::Show(IDirect3DRMMeshBuilder* mesh, float x, float y, float z)
{
    IDirect3DRMFrame* frame = nullptr;
    rm->CreateFrame(scene, &frame);
    frame->SetPosition(scene, x, y, z);
    frame->AddVisual(mesh);
    frame->Release();
    return frame;
}

void RenderFixture::AddAmbient(float level)
{
    IDirect3DRMLight* light = nullptr;
    rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, level, level, level, &light);
    scene->AddLight(light);
    light->Release();
}

std::string ScratchPath(const std::string& name)
{
    return testing::TempDir() + "render_" + name;
}

std::string WriteXModel(const std::string& name, const std::vector<float>& xyz, const std::vector<XFace>& faces,
                        const std::vector<float>& colours)
{
    std::string path = ScratchPath(name);
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "xof 0303txt 0032\nMesh {\n %zu;\n", xyz.size() / 3);
    for (size_t i = 0; i < xyz.size(); i += 3)
        std::fprintf(f, " %f;%f;%f;%s\n", xyz[i], xyz[i + 1], xyz[i + 2], i + 3 < xyz.size() ? "," : ";");
    std::fprintf(f, " %zu;\n", faces.size());
    for (size_t i = 0; i < faces.size(); i++)
        std::fprintf(f, " 3;%d,%d,%d;%s\n", faces[i].a, faces[i].b, faces[i].c, i + 1 < faces.size() ? "," : ";");
    if (!colours.empty()) {
        std::fprintf(f, " MeshMaterialList {\n  %zu;\n  %zu;\n", faces.size(), faces.size());
        for (size_t i = 0; i < faces.size(); i++)
            std::fprintf(f, "  %zu%s\n", i, i + 1 < faces.size() ? "," : ";");
        for (size_t i = 0; i < faces.size(); i++)
            std::fprintf(f, "  Material {\n   %f;%f;%f;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n",
                         colours[i * 3], colours[i * 3 + 1], colours[i * 3 + 2]);
        std::fprintf(f, " }\n");
    }
    std::fprintf(f, "}\n");
    std::fclose(f);
    return path;
}

std::string WriteSphere(const std::string& name, int rings, int segments, bool inward)
{
    const float pi = 3.14159265f;
    std::vector<float> xyz;
    for (int r = 0; r <= rings; r++) {
        float polar = pi * static_cast<float>(r) / static_cast<float>(rings);
        for (int s = 0; s <= segments; s++) {
            float around = 2 * pi * static_cast<float>(s) / static_cast<float>(segments);
            xyz.push_back(std::sin(polar) * std::cos(around));
            xyz.push_back(std::cos(polar));
            xyz.push_back(std::sin(polar) * std::sin(around));
        }
    }
    std::vector<XFace> faces;
    for (int r = 0; r < rings; r++)
        for (int s = 0; s < segments; s++) {
            int a = r * (segments + 1) + s, b = a + 1, c = a + segments + 1, d = c + 1;
            if (inward) {
                faces.push_back({a, c, b});
                faces.push_back({b, c, d});
            } else {
                faces.push_back({a, b, c});
                faces.push_back({b, d, c});
            }
        }
    return WriteXModel(name, xyz, faces);
}

std::string WriteBitmap(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels)
{
    std::string path = ScratchPath(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    int stride = (width * 3 + 3) & ~3;
    uint32_t size = 54 + static_cast<uint32_t>(stride * height);
    uint8_t header[54] = {'B', 'M'};
    auto put = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(2, size);
    put(10, 54);
    put(14, 40);
    put(18, static_cast<uint32_t>(width));
    put(22, static_cast<uint32_t>(height));
    header[26] = 1;
    header[28] = 24;
    put(34, static_cast<uint32_t>(stride * height));
    std::fwrite(header, 1, 54, f);
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    for (int y = height - 1; y >= 0; y--) {
        for (int x = 0; x < width; x++) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3] = static_cast<uint8_t>(p);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p >> 16);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
    return path;
}

IDirect3DRMMeshBuilder* LoadMesh(IDirect3DRM* rm, const std::string& path, HRESULT* result)
{
    IDirect3DRMMeshBuilder* mesh = nullptr;
    rm->CreateMeshBuilder(&mesh);
    HRESULT hr = mesh->Load(const_cast<char*>(path.c_str()), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
    if (result)
        *result = hr;
    return mesh;
}
