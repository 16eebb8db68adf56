// The command line (no library): the options a player may give, read before WinMain runs. The
// game itself gets an empty command line, as it always has.
#include "window_internal.h"

#include <cstring>

#ifndef ORBIT_VERSION
#define ORBIT_VERSION "unknown"
#endif

LaunchOptions g_launchOptions;

namespace {
const char HELP_TEXT[] = "Usage: orbitdefense [OPTION]...\n"
                         "Defend a satellite and the earth against meteors, UFOs and missiles.\n"
                         "\n"
                         "  -w, --window       start in a window instead of full screen\n"
                         "                     (Alt+Enter or F11 switches between the two while playing)\n"
                         "      --scale=MODE   how the 640x480 picture is enlarged: sharp (the default: whole\n"
                         "                     multiples, then a smooth fit of the rest), smooth, or whole\n"
                         "                     (whole multiples only, with black borders)\n"
                         "      --no-pause     keep the round running while the window is in the background\n"
                         "  -h, --help         show this help and exit\n"
                         "      --version      show the version and exit\n"
                         "\n"
                         "Mouse to aim, left button to start and to fire, right button on the tally, Escape quits.\n"
                         "Exit status: 1 after a normal close, 0 when start-up fails, 2 for a wrong command line.\n";

int Refuse(std::FILE* err, const char* what, const char* argument)
{
    std::fprintf(err, "orbitdefense: %s '%s' (see orbitdefense --help)\n", what, argument);
    return 2;
}
} // namespace

int ParseCommandLine(int argc, char** argv, LaunchOptions* options, std::FILE* out, std::FILE* err)
{
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            std::fputs(HELP_TEXT, out);
            return 0;
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::fprintf(out, "orbitdefense %s\n", ORBIT_VERSION);
            return 0;
        }
        if (std::strcmp(argument, "-w") == 0 || std::strcmp(argument, "--window") == 0) {
            options->windowed = true;
        } else if (std::strcmp(argument, "--no-pause") == 0) {
            options->pauseInBackground = false;
        } else if (std::strncmp(argument, "--scale=", 8) == 0) {
            const char* mode = argument + 8;
            if (std::strcmp(mode, "sharp") == 0)
                options->scale = ScaleMode::Sharp;
            else if (std::strcmp(mode, "smooth") == 0)
                options->scale = ScaleMode::Smooth;
            else if (std::strcmp(mode, "whole") == 0)
                options->scale = ScaleMode::Whole;
            else
                return Refuse(err, "--scale takes sharp, smooth or whole, not", mode);
        } else if (argument[0] == '-') {
            return Refuse(err, "unknown option", argument);
        } else {
            return Refuse(err, "unexpected argument", argument);
        }
    }
    return -1;
}
