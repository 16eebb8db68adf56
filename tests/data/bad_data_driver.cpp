// bad_data_driver: the whole game run headless from the data of its own folder, as a player would
// meet it: the title, a few seconds of a round with shots at whatever comes, the clock run out,
// the tally and game-over pages, the title again, then Escape. Prints every message box the game
// showed ("box: caption: text") and ends with the game's own exit code. The bad-data test starts
// it in a folder of damaged files.
#include "harness.h"

#include "game/enemy_slots.h"
#include "game/round.h"
#include "game/screens.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

#include <cstdio>
#include <cstdlib>

// Under LeakSanitizer: what the system libraries keep for the life of the process is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus\nleak:libfontconfig\nleak:libassimp\n";
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
