// Benchmark entry: headless like the tests; the same executable also serves as the child process
// of the benchmarks that need a fresh one (the OpenGL peer, a whole headless round).
#include "busy_moment.h"
#include "testing.h"
#include "testing_render.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

int RunPeerChild();     // peer_gl_bench.cpp
int RunHeadlessRound(); // play_frame_bench.cpp

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // ORBIT_RENDER_THREADS=n draws with n threads instead of one per core.
    if (const char* threads = std::getenv("ORBIT_RENDER_THREADS"))
        TestSetRenderThreads(std::atoi(threads));
    if (argc == 2 && std::strcmp(argv[1], "--peer-child") == 0)
        return RunPeerChild();
    if (argc == 2 && std::strcmp(argv[1], "--round-child") == 0) {
        TestInstallRecorders();
        return RunHeadlessRound();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
