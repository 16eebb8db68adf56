// Test entry: every test runs headless, on SDL's dummy video and audio drivers, with the
// platform's recorders on.
#include "testing.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Under LeakSanitizer: memory the libraries keep on purpose is not ours to free: fontconfig keeps
// its cache for the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestInstallRecorders();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
