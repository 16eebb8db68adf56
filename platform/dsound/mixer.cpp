// SDL2_mixer: opening and closing the shared audio output, and handing out mixer channels.
#include "dsound_internal.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const char* const DEFAULT_SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

int g_mixerUsers = 0;
MixerFormat g_mixerFormat;
std::vector<bool> g_channelTaken;
} // namespace

// Opens the mixer's output on the audio driver SDL chooses.
static bool OpenMixerOutput()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    // MIDI decoders are only listed once initialised; FluidSynth needs a soundfont to make sound.
    Mix_Init(MIX_INIT_MID);
    // A soundfont named in SDL_SOUNDFONTS wins. It is handed over explicitly because Debian's mixer
    // otherwise keeps its packaged default unless SDL_FORCE_SOUNDFONTS is set as well.
    const char* named = std::getenv("SDL_SOUNDFONTS");
    if (named && *named) {
        Mix_SetSoundFonts(named);
    } else if (FILE* probe = std::fopen(DEFAULT_SOUNDFONT, "rb")) {
        std::fclose(probe);
        Mix_SetSoundFonts(DEFAULT_SOUNDFONT);
    }
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, AUDIO_S16SYS, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

bool AcquireMixer()
{
    if (g_mixerUsers > 0) {
        g_mixerUsers++;
        return true;
    }
    if (!OpenMixerOutput()) {
        // A desktop without a working sound device still plays the game, silently, as Windows
        // would with its emulated device; only a failure of the silent output itself counts.
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        if (driver && std::strcmp(driver, "dummy") == 0)
            return false;
        std::fprintf(stderr, "No sound device could be opened (%s); playing without sound.\n", SDL_GetError());
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!OpenMixerOutput())
            return false;
    }
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    g_mixerFormat.rate = rate;
    g_mixerFormat.format = format;
    g_mixerFormat.channels = channels;
    g_channelTaken.assign(static_cast<size_t>(Mix_AllocateChannels(-1)), false);
    g_mixerUsers = 1;
    return true;
}

void ReleaseMixer()
{
    if (g_mixerUsers <= 0)
        return;
    if (--g_mixerUsers > 0)
        return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_channelTaken.clear();
    g_mixerFormat = MixerFormat();
}

MixerFormat GetMixerFormat()
{
    return g_mixerFormat;
}

int AcquireMixerChannel()
{
    for (size_t i = 0; i < g_channelTaken.size(); i++) {
        if (!g_channelTaken[i]) {
            g_channelTaken[i] = true;
            return static_cast<int>(i);
        }
    }
    const size_t next = g_channelTaken.size();
    const size_t grown = next < 8 ? 8 : next * 2;
    if (Mix_AllocateChannels(static_cast<int>(grown)) < static_cast<int>(grown))
        return -1;
    g_channelTaken.resize(grown, false);
    g_channelTaken[next] = true;
    return static_cast<int>(next);
}

void ReleaseMixerChannel(int channel)
{
    if (channel < 0 || static_cast<size_t>(channel) >= g_channelTaken.size())
        return;
    Mix_HaltChannel(channel);
    g_channelTaken[static_cast<size_t>(channel)] = false;
}
