// Renderer speed: one 640 x 480 frame of a scene like the game's (textured earth, inward textured
// sky around the camera, the satellite and 40 small enemies), drawn with the game's own models.
#include "busy_moment.h"
#include "game_like_scene.h"
#include "testing_render.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

void BM_GameLikeFrame(benchmark::State& state)
{
    GameLikeScene s;
    for (auto _ : state) {
        s.viewport->Clear();
        s.viewport->Render(s.scene);
        s.device->Update();
        s.Step();
    }
}
BENCHMARK(BM_GameLikeFrame)->Unit(benchmark::kMillisecond);

// The same scene on a device drawing with one thread and on one drawing with a thread per core,
// frame about frame, so both see the same load on a shared machine.
void BM_GameLikeFrameThreads(benchmark::State& state)
{
    TestSetRenderThreads(1);
    GameLikeScene one;
    TestSetRenderThreads(0);
    GameLikeScene all;
    GameLikeScene* scenes[2] = {&one, &all};
    std::vector<double> samples[2];
    for (std::vector<double>& s : samples)
        s.reserve(1 << 16);
    for (auto _ : state) {
        double total = 0;
        for (int i = 0; i < 2; i++) {
            auto start = std::chrono::steady_clock::now();
            scenes[i]->viewport->Clear();
            scenes[i]->viewport->Render(scenes[i]->scene);
            scenes[i]->device->Update();
            double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (samples[i].size() < samples[i].capacity())
                samples[i].push_back(ms);
            total += ms;
            scenes[i]->Step();
        }
        state.SetIterationTime(total / 1000.0);
    }
    RecordFigures("game-like scene, 1 thread", FiguresOf(samples[0].data(), static_cast<int>(samples[0].size())));
    RecordFigures("game-like scene, " + std::to_string(std::thread::hardware_concurrency()) + " threads",
                  FiguresOf(samples[1].data(), static_cast<int>(samples[1].size())));
}
BENCHMARK(BM_GameLikeFrameThreads)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ClearOnly(benchmark::State& state)
{
    GameLikeScene s;
    for (auto _ : state)
        s.viewport->Clear();
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);

} // namespace
