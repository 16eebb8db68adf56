// Renderer speed: one 640 x 480 frame of a scene like the game's (textured earth, inward textured
// sky around the camera, the satellite and 40 small enemies), drawn with the game's own models.
#include "game_like_scene.h"

#include <benchmark/benchmark.h>

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

void BM_ClearOnly(benchmark::State& state)
{
    GameLikeScene s;
    for (auto _ : state)
        s.viewport->Clear();
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);

} // namespace
