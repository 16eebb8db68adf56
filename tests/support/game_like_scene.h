// A scene like the game's at a busy moment, from the game's own models and textures: the
// textured earth, the inward textured sky around the camera, the satellite and 40 small enemies,
// lit by an ambient and a directional light, on a 640 x 480 device.
#pragma once

#include "render_fixture.h"

struct GameLikeScene : RenderFixture {
    static constexpr int ENEMIES = 40;
    IDirect3DRMFrame* enemies[ENEMIES] = {};

    GameLikeScene();
    // Turns the enemies and the camera a little, as a frame of play would.
    void Step();

private:
    IDirect3DRMMeshBuilder* Load(const char* file, float scale, const char* texture, IDirect3DRMWrap* wrap);
};

// The folder of the running executable, where the build puts the game's data; ends in a slash.
std::string ExecutableFolder();
