// The in-memory input file and the headless set-up the fuzz targets share (Linux memfd).
#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

const char* InputAsFile(const uint8_t* data, size_t size)
{
    static int s_file = -1;
    static char s_path[64];
    if (s_file < 0) {
        s_file = memfd_create("fuzz-input", 0);
        if (s_file < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        std::snprintf(s_path, sizeof s_path, "/proc/self/fd/%d", s_file);
    }
    if (ftruncate(s_file, 0) != 0 || (size > 0 && pwrite(s_file, data, size, 0) != static_cast<ssize_t>(size))) {
        std::perror("fuzz input");
        std::abort();
    }
    return s_path;
}

void UseHeadlessDrivers()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}
