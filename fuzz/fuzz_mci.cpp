// Fuzz target: MCI command strings, one a line, sent to the sequencer in turn with a reply buffer
// as long as the input's first byte says; a device left open is closed at the end.
#include "dsound.h"
#include "fuzz_input.h"
#include "mmsystem.h"

#include <sstream>
#include <string>
#include <strings.h>

namespace {

// The name a successful open gave its device: the word after "alias", or else the file.
std::string OpenedName(const std::string& command)
{
    std::istringstream words(command);
    std::string word, name, previous;
    words >> word >> name;
    while (words >> word) {
        if (strcasecmp(previous.c_str(), "alias") == 0)
            name = word;
        previous = word;
    }
    if (strcasecmp(previous.c_str(), "alias") == 0)
        name.clear();
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool s_ready = false;
    if (!s_ready) {
        UseHeadlessDrivers();
        UseTinySoundFont();
        // The game keeps its DirectSound for the whole run, so the audio output stays open while
        // the sequencer opens and closes; without it each close would wait on the audio thread.
        static LPDIRECTSOUND s_sound = nullptr;
        DirectSoundCreate(nullptr, &s_sound, nullptr);
        s_ready = true;
    }
    if (size == 0)
        return 0;
    const UINT replyLength = data[0] % 16;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    char reply[16];
    std::string opened;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string command = text.substr(start, end - start);
        if (mciSendStringA(command.c_str(), replyLength ? reply : nullptr, replyLength, nullptr) == 0 &&
            strncasecmp(command.c_str(), "open", 4) == 0)
            opened = OpenedName(command);
        start = end + 1;
    }
    if (!opened.empty())
        mciSendStringA(("close " + opened).c_str(), nullptr, 0, nullptr);
    return 0;
}
