// The busy moment of play the benchmarks share, and the closing summary of their figures.
#include "busy_moment.h"

#include "game_support.h"
#include "testing.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

namespace {

std::map<std::string, FrameFigures> s_figures;

} // namespace

void RefillBusySlots(int live)
{
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        EnemySlot& enemy = g_enemySlots[i];
        enemy = EnemySlot{};
        if (i >= live)
            continue;
        enemy.position = {5.0f + 115.0f * i / (ENEMY_SLOT_COUNT - 1), static_cast<float>(i % 7) * 4.0f - 12.0f,
                          static_cast<float>(i % 5) * 3.0f - 6.0f};
        enemy.spinRate = 8.0f;
        enemy.kind = i % 3;
        enemy.alive = true;
        enemy.needsSetup = true;
        enemy.explosionCountdown = 12.0f;
    }
    // A few kills a moment ago and a few bursts on the earth.
    for (int i = 0; i + 1 < live; i += 8) {
        g_enemySlots[i].exploding = true;
        g_enemySlots[i].explosionX = 100 + 10 * i;
        g_enemySlots[i].explosionY = 200;
        g_enemySlots[i + 1].impactCountdown = 16.0f;
    }
    g_elapsed = 60.0f;
    g_timeLeft = ROUND_SECONDS - g_elapsed;
    g_scheduleCursor = 251 * SPAWN_ROW_VALUES; // nothing more falls due
}

bool SetUpBusyMoment(int live)
{
    static bool up = BringUpGame();
    if (!up)
        return false;
    // One title frame sets the round up; then play as if the title had just been left.
    EnterPlay(0.016f);
    TestSetMouseButton(VK_LBUTTON, true);
    RefillBusySlots(live);
    return true;
}

double ProcessCpuMs()
{
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void RecordFigures(const std::string& name, FrameFigures figures)
{
    s_figures[name] = figures;
}

FrameFigures FiguresOf(double* samples, int count)
{
    FrameFigures f;
    if (count <= 0)
        return f;
    std::sort(samples, samples + count);
    f.medianMs = samples[count / 2];
    f.p99Ms = samples[std::min(count - 1, count * 99 / 100)];
    return f;
}

void PrintSummary()
{
    auto has = [](const char* name) { return s_figures.count(name) != 0; };
    auto ratio = [&](const char* ours, const char* other) {
        if (!has(ours) || !has(other) || s_figures[other].medianMs <= 0)
            return;
        const FrameFigures& a = s_figures[ours];
        const FrameFigures& b = s_figures[other];
        std::printf("  %-24s / %-22s = %7.2f  (%.3f / %.3f ms)", ours, other, a.medianMs / b.medianMs, a.medianMs,
                    b.medianMs);
        if (a.cpuMs > 0 && b.cpuMs > 0)
            std::printf("   processor time %7.2f  (%.3f / %.3f ms)", a.cpuMs / b.cpuMs, a.cpuMs, b.cpuMs);
        std::printf("\n");
    };
    if (s_figures.empty())
        return;
    std::printf("\nFrame times in ms: median, 99th percentile, processor time of all threads per frame\n");
    for (auto& [name, f] : s_figures)
        std::printf("  %-26s %8.3f %8.3f %8.3f\n", name.c_str(), f.medianMs, f.p99Ms, f.cpuMs);
    std::printf("Ratios of this run (below 1: ours is faster):\n");
    for (const char* ours : {"play frame, 40 enemies", "3D render alone"}) {
        ratio(ours, "peer, 1 thread");
        ratio(ours, "peer, default threads");
        ratio(ours, "memory floor");
    }
    for (auto& [name, f] : s_figures)
        if (name.rfind("game-like scene, ", 0) == 0 && name != "game-like scene, 1 thread")
            ratio(name.c_str(), "game-like scene, 1 thread");
    std::fflush(stdout);
}
