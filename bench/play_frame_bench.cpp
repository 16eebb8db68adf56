// A full play frame at a busy moment (enemy slots live, mixed kinds spread out along x, the button
// held, every explosion sheet in use, then the clear and the present), its parts alone, how it
// grows with the live enemies, the memory floor it is measured against, and a whole headless
// round's peak memory.
#include "busy_moment.h"
#include "game_support.h"
#include "harness.h"
#include "testing.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int MAX_SAMPLES = 1 << 16;

// Runs `frame` once per iteration, timing each one, and records the median and 99th percentile.
template <typename Frame> void TimeFrames(benchmark::State& state, const std::string& name, Frame frame)
{
    std::vector<double> samples(MAX_SAMPLES);
    int count = 0;
    double cpuStart = ProcessCpuMs();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        frame();
        auto end = std::chrono::steady_clock::now();
        double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        samples[count % MAX_SAMPLES] = seconds * 1000.0;
        count++;
    }
    double cpu = ProcessCpuMs() - cpuStart;
    FrameFigures figures = FiguresOf(samples.data(), std::min(count, MAX_SAMPLES));
    figures.cpuMs = count > 0 ? cpu / count : 0;
    state.counters["cpu_ms"] = figures.cpuMs;
    state.counters["median_ms"] = figures.medianMs;
    state.counters["p99_ms"] = figures.p99Ms;
    RecordFigures(name, figures);
}

void BM_PlayFrame(benchmark::State& state)
{
    int live = static_cast<int>(state.range(0));
    if (!SetUpBusyMoment(live)) {
        state.SkipWithError("the game could not be brought up");
        return;
    }
    int frames = 0;
    TimeFrames(state, "play frame, " + std::to_string(live) + " enemies", [&] {
        ClearBackBuffer();
        g_viewport->Clear();
        RunRoundFrame(g_hWnd);
        PresentBackBuffer();
        if (++frames % 100 == 0)
            RefillBusySlots(live); // keep the moment busy (a rare frame; it shows in the 99th percentile)
    });
    TestSetMouseButton(VK_LBUTTON, false);
}
BENCHMARK(BM_PlayFrame)
    ->ArgName("enemies")
    ->Arg(0)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The viewport's clear and the 3D render of the busy moment, nothing else: the peer's workload.
void BM_Render3D(benchmark::State& state)
{
    if (!SetUpBusyMoment(ENEMY_SLOT_COUNT)) {
        state.SkipWithError("the game could not be brought up");
        return;
    }
    RunRoundFrame(g_hWnd); // the enemies take their places
    TimeFrames(state, "3D render alone", [] {
        g_viewport->Clear();
        g_viewport->Render(g_scene);
        g_device->Update();
    });
    TestSetMouseButton(VK_LBUTTON, false);
}
BENCHMARK(BM_Render3D)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The play frame's game logic and 2D overlay: the render is given an empty root for the time.
void BM_Overlay2D(benchmark::State& state)
{
    if (!SetUpBusyMoment(ENEMY_SLOT_COUNT)) {
        state.SkipWithError("the game could not be brought up");
        return;
    }
    IDirect3DRMFrame* emptyRoot = nullptr;
    g_d3drm->CreateFrame(nullptr, &emptyRoot);
    IDirect3DRMFrame* scene = g_scene;
    int frames = 0;
    TimeFrames(state, "2D overlay and game logic", [&] {
        g_scene = emptyRoot;
        RunRoundFrame(g_hWnd);
        g_scene = scene;
        if (++frames % 100 == 0)
            RefillBusySlots(ENEMY_SLOT_COUNT);
    });
    emptyRoot->Release();
    TestSetMouseButton(VK_LBUTTON, false);
}
BENCHMARK(BM_Overlay2D)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_PresentAlone(benchmark::State& state)
{
    if (!SetUpBusyMoment(ENEMY_SLOT_COUNT)) {
        state.SkipWithError("the game could not be brought up");
        return;
    }
    TimeFrames(state, "present alone", [] { PresentBackBuffer(); });
    TestSetMouseButton(VK_LBUTTON, false);
}
BENCHMARK(BM_PresentAlone)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The least any frame of 640 x 480 x 2 bytes can cost: one fill and one copy.
void BM_MemoryFloor(benchmark::State& state)
{
    std::vector<uint16_t> back(640 * 480), front(640 * 480);
    TimeFrames(state, "memory floor", [&] {
        std::fill(back.begin(), back.end(), uint16_t{0});
        benchmark::DoNotOptimize(back.data());
        std::memcpy(front.data(), back.data(), back.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_MemoryFloor)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A whole headless round in a process of its own (title, play with the pointer on the missile
// nearest the satellite and the button held, the result pages, the title again), at 100 ms a
// frame; its peak resident memory.
void BM_HeadlessRoundPeakMemory(benchmark::State& state)
{
    for (auto _ : state) {
        std::fflush(nullptr);
        pid_t child = fork();
        if (child == 0) {
            char self[] = "/proc/self/exe";
            char mode[] = "--round-child";
            char* arguments[] = {self, mode, nullptr};
            execv(self, arguments);
            _exit(127);
        }
        int status = 0;
        struct rusage usage = {};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 1) {
            state.SkipWithError("the headless round did not end as a normal close");
            return;
        }
        state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
}
BENCHMARK(BM_HeadlessRoundPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

// The child's side of BM_HeadlessRoundPeakMemory; the exit code is the game's.
int RunHeadlessRound()
{
    int resultFrame = -1;
    GameScript script;
    script.frameMs = 100;
    script.onFrame = [&](int frame, GameScript&) {
        if (resultFrame < 0 && g_resultActive)
            resultFrame = frame;
        if (resultFrame < 0) {
            // Aim at the missile nearest the satellite, so the round lasts.
            float nearest = 1e30f;
            for (const EnemySlot& enemy : g_enemySlots) {
                if (!enemy.alive || enemy.kind != Missile)
                    continue;
                float dx = enemy.position.x - g_satellitePosition.x, dy = enemy.position.y - g_satellitePosition.y,
                      dz = enemy.position.z - g_satellitePosition.z;
                float distance = dx * dx + dy * dy + dz * dz;
                D3DVECTOR p = enemy.position;
                D3DRMVECTOR4D q = {};
                if (distance < nearest && g_viewport->Transform(&q, &p) == D3DRM_OK && q.w > 0) {
                    nearest = distance;
                    TestMoveMouse(static_cast<int>(std::clamp(q.x / q.w, 0.0f, 639.0f)),
                                  static_cast<int>(std::clamp(q.y / q.w, 0.0f, 479.0f)));
                }
            }
            TestSetMouseButton(VK_LBUTTON, frame >= 3);
            return;
        }
        TestSetMouseButton(VK_LBUTTON, false);
        TestSetMouseButton(VK_RBUTTON, (frame - resultFrame) % 10 >= 2 && (frame - resultFrame) % 10 < 5);
        if (g_titleActive)
            TestPressKey(VK_ESCAPE);
    };
    script.maxFrames = 4000;
    int code = RunGame(script);
    std::fprintf(stderr, "headless round: %.1f s of play, %d frames to the result\n", ROUND_SECONDS - g_timeLeft,
                 resultFrame);
    return code;
}
