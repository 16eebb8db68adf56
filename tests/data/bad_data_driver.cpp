// bad_data_driver: the whole game run headless from the data of its own folder, as a player would
// meet it: the title, a few seconds of a round with shots at whatever comes, the clock run out,
// the tally and game-over pages, the title again, then Escape. Prints every message box the game
// showed ("box: caption: text") and the files whose objects it went without ("absent: ..."), and ends with the game's
// own exit code. The bad-data test starts it in a folder of damaged files.
#include "harness.h"

#include "display/draw2d.h"
#include "game/enemy_slots.h"
#include "game/round.h"
#include "game/screens.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "sound/sound.h"
#include "testing_render.h"

#include <cstdio>
#include <cstdlib>

// Under LeakSanitizer: what the system libraries keep for the life of the process is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus\nleak:libfontconfig\n";
}

// The objects made from files, by file name.
struct FileObject {
    const char* fileName;
    int slot;
};
static const FileObject s_models[] = {
    {"SATELLITE.x", SLOT_SATELLITE}, {"ICBM.x", SLOT_ICBM}, {"CANON.x", SLOT_CANNON},
    {"earth.x", SLOT_EARTH},         {"UFO.x", SLOT_UFO},   {"meteo.x", SLOT_METEOR},
    {"tenkyu.x", SLOT_SKY},
};
static const FileObject s_textures[] = {{"earth2_texture.bmp", SLOT_EARTH}, {"tenkyu_texture.bmp", SLOT_SKY}};
static const FileObject s_sheets[] = {
    {"baku0.bmp", SPR_EXPLOSION0},
    {"baku1.bmp", SPR_EXPLOSION1},
    {"baku2.bmp", SPR_EXPLOSION2},
    {"baku3.bmp", SPR_EXPLOSION3},
    {"earthexplosion.bmp", SPR_EARTH_EXPLOSION},
    {"hyoujun.bmp", SPR_CROSSHAIR},
    {"number_char.bmp", SPR_DIGITS},
    {"score_char.bmp", SPR_SCORE_LABEL},
    {"GAMEOVER.bmp", SPR_GAMEOVER},
    {"line.bmp", SPR_LINE},
    {"limit_char.bmp", SPR_TIME_LABEL},
    {"hibana.bmp", SPR_SPARK},
    {"TITLE.bmp", SPR_TITLE},
    {"meteo_char.bmp", SPR_METEOR_LABEL},
    {"ufo_char.bmp", SPR_UFO_LABEL},
    {"missle_char.bmp", SPR_MISSILE_LABEL},
    {"bonus_char.bmp", SPR_BONUS_LABEL},
    {"hakairitu_char.bmp", SPR_RATE_LABEL},
    {"hiscore_char.bmp", SPR_HISCORE_LABEL},
    {"yourscore_char.bmp", SPR_YOURSCORE_LABEL},
    {"totalbonus_char.bmp", SPR_TOTALBONUS_LABEL},
};

// Prints the file names whose objects the game went without: a model with no faces, a texture or
// sprite sheet with no pixels, no explosion sound.
static void PrintAbsentObjects()
{
    std::printf("absent:");
    for (const FileObject& model : s_models)
        if (!g_meshes[model.slot] || TestMeshFaceCount(g_meshes[model.slot]) == 0)
            std::printf(" %s", model.fileName);
    for (const FileObject& texture : s_textures)
        if (!g_textures[texture.slot] || !TestTextureLoaded(g_textures[texture.slot]))
            std::printf(" %s", texture.fileName);
    for (const FileObject& sheet : s_sheets)
        if (!g_spriteSheets[sheet.slot].surface)
            std::printf(" %s", sheet.fileName);
    if (!g_soundBuffers[SND_BOMB])
        std::printf(" G_bomb8.Wav");
    std::printf("\n");
}

// Aims at the first live enemy on screen, as a player would.
static void AimAtAnEnemy()
{
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        if (!g_enemySlots[i].alive || !g_frames[SLOT_ENEMY_BASE + i])
            continue;
        D3DVECTOR p;
        D3DRMVECTOR4D q;
        g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &p);
        g_viewport->Transform(&q, &p);
        if (q.w > 0.0f && q.x / q.w >= 0.0f && q.x / q.w < 640.0f && q.y / q.w >= 0.0f && q.y / q.w < 480.0f) {
            TestMoveMouse(static_cast<int>(q.x / q.w) - 4, static_cast<int>(q.y / q.w) - 4);
            return;
        }
    }
}

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestInstallRecorders();

    constexpr int PLAY_FRAMES = 100; // 8 s of play at 80 ms a frame
    int playFrame = 0;
    int resultFrame = 0;
    bool backOnTitle = false;
    GameScript script;
    script.frameMs = 80;
    script.maxFrames = 2000;
    script.onFrame = [&](int frame, GameScript& s) {
        s.frameMs = 80;
        if (frame == 1)
            PrintAbsentObjects();
        if (playFrame == 0) {
            TestSetMouseButton(VK_LBUTTON, frame >= 3);
            if (g_worldActive)
                playFrame = frame;
        } else if (resultFrame == 0) {
            AimAtAnEnemy();
            if (g_resultActive) {
                resultFrame = frame;
                TestSetMouseButton(VK_LBUTTON, false);
            } else if (frame == playFrame + PLAY_FRAMES) {
                s.frameMs = 180000; // the clock runs out in one long frame
            }
        } else if (!backOnTitle) {
            // Long right presses turn the tally and the game-over page.
            TestSetMouseButton(VK_RBUTTON, (frame - resultFrame) % 10 >= 3 && (frame - resultFrame) % 10 < 6);
            if (g_titleActive) {
                backOnTitle = true;
                TestSetMouseButton(VK_RBUTTON, false);
                TestPressKey(VK_ESCAPE);
            }
        }
    };
    int exitCode = RunGame(script);
    for (const TestMessageBox& box : TestMessageBoxes())
        std::printf("box: %s: %s\n", box.caption.c_str(), box.text.c_str());
    std::printf("frames: %d, play from frame %d, result from frame %d, title again: %s\n", TestPresentCount(),
                playFrame, resultFrame, backOnTitle ? "yes" : "no");
    std::fflush(stdout);
    return exitCode;
}
