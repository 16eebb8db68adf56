// A full play frame at a busy moment: all 40 enemy slots live, mixed kinds spread out along x,
// the button held, every explosion sheet in use, then the clear and the present.
#include "game_support.h"
#include "testing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Forty enemies from x 5 to 120, meteors, UFOs and missiles in turn, some of them exploding.
void FillBusySlots()
{
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        EnemySlot& enemy = g_enemySlots[i];
        enemy = EnemySlot{};
        enemy.position = {5.0f + 115.0f * i / (ENEMY_SLOT_COUNT - 1), static_cast<float>(i % 7) * 4.0f - 12.0f,
                          static_cast<float>(i % 5) * 3.0f - 6.0f};
        enemy.spinRate = 8.0f;
        enemy.kind = i % 3;
        enemy.alive = true;
        enemy.needsSetup = true;
        enemy.explosionCountdown = 12.0f;
    }
    // A few kills a moment ago and a few bursts on the earth.
    for (int i = 0; i < ENEMY_SLOT_COUNT; i += 8) {
        g_enemySlots[i].exploding = true;
        g_enemySlots[i].explosionX = 100 + 10 * i;
        g_enemySlots[i].explosionY = 200;
        g_enemySlots[i + 1].impactCountdown = 16.0f;
    }
    g_elapsed = 60.0f;
    g_timeLeft = ROUND_SECONDS - g_elapsed;
    g_scheduleCursor = 251 * SPAWN_ROW_VALUES; // nothing more falls due
}

void BM_PlayFrame(benchmark::State& state)
{
    static bool up = BringUpGame();
    if (!up) {
        state.SkipWithError("the game could not be brought up");
        return;
    }
    // One title frame sets the round up; then play as if the title had just been left.
    EnterPlay(0.016f);
    TestSetMouseButton(VK_LBUTTON, true);
    FillBusySlots();

    int frames = 0;
    for (auto _ : state) {
        ClearBackBuffer();
        g_viewport->Clear();
        RunRoundFrame(g_hWnd);
        PresentBackBuffer();
        // Keep the moment busy: enemies reach the earth in a few seconds of game time.
        if (++frames % 100 == 0) {
            state.PauseTiming();
            FillBusySlots();
            state.ResumeTiming();
        }
    }
    TestSetMouseButton(VK_LBUTTON, false);
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
