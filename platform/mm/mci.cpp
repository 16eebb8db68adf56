// SDL2_mixer (FluidSynth with a General MIDI soundfont): MCI command strings for one MIDI
// sequencer device. The end-of-play notice comes from the mixer's audio thread.
#include "dsound_internal.h"
#include "hook_points.h"
#include "mmsystem.h"
#include "platform_internal.h"
#include "unsupported.h"

#include <SDL_mixer.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#define MCIERR_DEVICE_OPEN (MCIERR_BASE + 9)
#define MCIERR_MISSING_COMMAND_STRING (MCIERR_BASE + 11)
#define MCIERR_PARAM_OVERFLOW (MCIERR_BASE + 12)
#define MCIERR_MISSING_STRING_ARGUMENT (MCIERR_BASE + 13)
#define MCIERR_MISSING_DEVICE_NAME (MCIERR_BASE + 36)
#define MCIERR_NO_CLOSING_QUOTE (MCIERR_BASE + 38)
#define MCIERR_INVALID_FILE (MCIERR_BASE + 40)

namespace {

enum class Mode { Stopped, Playing, Paused };

// The one sequencer. Fields marked (shared) are also touched by the audio thread's end-of-play
// hook and are only used under g_shared; no mixer call is ever made while holding it.
struct Sequencer {
    bool open = false;
    std::string alias;
    Mix_Music* music = nullptr;
    LPARAM deviceId = 0;
    bool mixerPaused = false;    // stopped or paused mid-piece: play resumes
    bool atStart = true;         // the next play starts the piece afresh
    Mode mode = Mode::Stopped;   // (shared)
    bool atEnd = false;          // (shared) the last play ran to the end
    HWND notifyWindow = nullptr; // (shared) waiting for the play's end, when set
};

std::mutex g_shared;
Sequencer g_sequencer;
LPARAM g_lastDeviceId = 0;

void Notify(HWND window, WPARAM code, LPARAM deviceId)
{
    if (!window)
        return;
    if (g_platformHooks.mciNotice)
        g_platformHooks.mciNotice(window, code, deviceId);
    PostMessageFromAnyThread(window, MM_MCINOTIFY, code, deviceId);
}

// Audio thread (or inside Mix_HaltMusic): a play that was still expected to run has ended.
void SDLCALL MusicFinished()
{
    HWND window = nullptr;
    LPARAM deviceId = 0;
    {
        std::lock_guard<std::mutex> hold(g_shared);
        if (!g_sequencer.open || g_sequencer.mode != Mode::Playing)
            return;
        g_sequencer.mode = Mode::Stopped;
        g_sequencer.atEnd = true;
        window = g_sequencer.notifyWindow;
        g_sequencer.notifyWindow = nullptr;
        deviceId = g_sequencer.deviceId;
    }
    Notify(window, MCI_NOTIFY_SUCCESSFUL, deviceId);
}

// Leaves playing (or pausing) for `mode`; a play still waiting for its end is told `code`.
void LeavePlay(Mode mode, WPARAM code)
{
    HWND window = nullptr;
    LPARAM deviceId = 0;
    {
        std::lock_guard<std::mutex> hold(g_shared);
        g_sequencer.mode = mode;
        window = g_sequencer.notifyWindow;
        g_sequencer.notifyWindow = nullptr;
        deviceId = g_sequencer.deviceId;
    }
    Notify(window, code, deviceId);
}

Mode CurrentMode()
{
    std::lock_guard<std::mutex> hold(g_shared);
    return g_sequencer.mode;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Words split at blanks; a double-quoted stretch is one word without its quotes.
bool Tokenise(const char* command, std::vector<std::string>* words)
{
    const char* p = command;
    for (;;) {
        while (*p == ' ' || *p == '\t')
            p++;
        if (!*p)
            return true;
        std::string word;
        if (*p == '"') {
            const char* close = std::strchr(p + 1, '"');
            if (!close)
                return false;
            word.assign(p + 1, close);
            p = close + 1;
        } else {
            while (*p && *p != ' ' && *p != '\t')
                word += *p++;
        }
        words->push_back(word);
    }
}

MCIERROR Reply(const char* text, LPSTR returnString, UINT returnLength)
{
    if (!returnString || returnLength == 0)
        return 0;
    const size_t length = std::strlen(text);
    const size_t kept = length < returnLength ? length : returnLength - 1;
    std::memcpy(returnString, text, kept);
    returnString[kept] = '\0';
    return kept < length ? MCIERR_PARAM_OVERFLOW : 0;
}

bool HasMidiExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string extension = Lower(path.substr(dot));
    return extension == ".mid" || extension == ".midi" || extension == ".rmi";
}

MCIERROR Open(const std::vector<std::string>& words, HWND callback)
{
    const std::string& path = words[1];
    std::string alias = path;
    bool sequencer = HasMidiExtension(path);
    bool notify = false;
    for (size_t i = 2; i < words.size(); i++) {
        const std::string keyword = Lower(words[i]);
        if (keyword == "type" || keyword == "alias") {
            if (i + 1 >= words.size())
                return MCIERR_MISSING_STRING_ARGUMENT;
            if (keyword == "type")
                sequencer = Lower(words[++i]) == "sequencer";
            else
                alias = words[++i];
        } else if (keyword == "notify") {
            notify = true;
        } else if (keyword != "wait" && keyword != "shareable") {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    if (!sequencer)
        return MCIERR_INVALID_DEVICE_NAME;
    if (g_sequencer.open)
        return Lower(g_sequencer.alias) == Lower(alias) ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;

    const std::string native = NativePath(path.c_str());
    if (std::FILE* probe = std::fopen(native.c_str(), "rb"))
        std::fclose(probe);
    else
        return MCIERR_FILE_NOT_FOUND;
    if (!AcquireMixer())
        return MCIERR_HARDWARE;
    Mix_Music* music = Mix_LoadMUS(native.c_str());
    if (!music || Mix_GetMusicType(music) != MUS_MID) {
        if (music)
            Mix_FreeMusic(music);
        ReleaseMixer();
        return MCIERR_INVALID_FILE;
    }
    Mix_HookMusicFinished(MusicFinished);
    {
        std::lock_guard<std::mutex> hold(g_shared);
        g_sequencer = Sequencer();
        g_sequencer.open = true;
        g_sequencer.alias = alias;
        g_sequencer.music = music;
        g_sequencer.deviceId = ++g_lastDeviceId;
    }
    if (notify)
        Notify(callback, MCI_NOTIFY_SUCCESSFUL, g_sequencer.deviceId);
    return 0;
}

void Close()
{
    LeavePlay(Mode::Stopped, MCI_NOTIFY_ABORTED);
    Mix_HaltMusic();
    Mix_HookMusicFinished(nullptr);
    Mix_FreeMusic(g_sequencer.music);
    ReleaseMixer();
    std::lock_guard<std::mutex> hold(g_shared);
    g_sequencer = Sequencer();
}

MCIERROR Play(HWND callback, bool notify)
{
    // A play already waiting for its end is replaced.
    HWND replaced = nullptr;
    bool atEnd = false;
    {
        std::lock_guard<std::mutex> hold(g_shared);
        replaced = g_sequencer.notifyWindow;
        g_sequencer.notifyWindow = nullptr;
        atEnd = g_sequencer.atEnd;
    }
    Notify(replaced, MCI_NOTIFY_SUPERSEDED, g_sequencer.deviceId);
    if (atEnd) {
        // Nothing left to play from the end: done at once.
        if (notify)
            Notify(callback, MCI_NOTIFY_SUCCESSFUL, g_sequencer.deviceId);
        return 0;
    }
    {
        std::lock_guard<std::mutex> hold(g_shared);
        g_sequencer.mode = Mode::Playing;
        g_sequencer.notifyWindow = notify ? callback : nullptr;
    }
    if (g_sequencer.mixerPaused) {
        Mix_ResumeMusic();
        g_sequencer.mixerPaused = false;
        return 0;
    }
    if (g_sequencer.atStart || !Mix_PlayingMusic()) {
        g_sequencer.atStart = false;
        if (Mix_PlayMusic(g_sequencer.music, 0) != 0) {
            LeavePlay(Mode::Stopped, MCI_NOTIFY_FAILURE);
            return MCIERR_HARDWARE;
        }
    }
    return 0;
}

MCIERROR Seek(const std::vector<std::string>& words)
{
    if (words.size() < 4 || Lower(words[2]) != "to")
        return MCIERR_MISSING_STRING_ARGUMENT;
    const std::string where = Lower(words[3]);
    if (where != "start" && where != "end")
        return MCIERR_OUTOFRANGE;
    LeavePlay(Mode::Stopped, MCI_NOTIFY_ABORTED);
    Mix_HaltMusic();
    g_sequencer.mixerPaused = false;
    g_sequencer.atStart = where == "start";
    std::lock_guard<std::mutex> hold(g_shared);
    g_sequencer.atEnd = where == "end";
    return 0;
}

// Stop and pause both keep the place in the piece; only the reported mode differs.
void Halt(Mode mode)
{
    if (CurrentMode() == Mode::Stopped)
        return;
    LeavePlay(mode, MCI_NOTIFY_ABORTED);
    if (!g_sequencer.mixerPaused && Mix_PlayingMusic()) {
        Mix_PauseMusic();
        g_sequencer.mixerPaused = true;
    }
}

MCIERROR Status(const std::vector<std::string>& words, LPSTR returnString, UINT returnLength)
{
    if (words.size() < 3)
        return MCIERR_MISSING_STRING_ARGUMENT;
    if (Lower(words[2]) != "mode")
        return MCIERR_UNRECOGNIZED_KEYWORD;
    switch (CurrentMode()) {
    case Mode::Playing: return Reply("playing", returnString, returnLength);
    case Mode::Paused: return Reply("paused", returnString, returnLength);
    case Mode::Stopped: break;
    }
    return Reply("stopped", returnString, returnLength);
}

} // namespace

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback)
{
    if (returnString && returnLength > 0)
        returnString[0] = '\0';
    if (!command)
        return MCIERR_MISSING_COMMAND_STRING;
    std::vector<std::string> words;
    if (!Tokenise(command, &words))
        return MCIERR_NO_CLOSING_QUOTE;
    if (words.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    const std::string verb = Lower(words[0]);
    static const char* const VERBS[] = {"open", "close", "play", "stop", "pause", "resume", "seek", "status"};
    bool known = false;
    for (const char* name : VERBS)
        known = known || verb == name;
    if (!known)
        return UNSUPPORTED(MCIERR_UNRECOGNIZED_COMMAND,
                           "an MCI command other than open, close, play, stop, pause, resume, seek or status");
    if (words.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    if (verb == "open")
        return Open(words, callback);
    if (!g_sequencer.open || Lower(words[1]) != Lower(g_sequencer.alias))
        return MCIERR_INVALID_DEVICE_NAME;

    // Keywords every command may carry; the rest belong to the command.
    bool notify = false;
    std::vector<std::string> own;
    for (const std::string& word : words) {
        const std::string keyword = Lower(word);
        if (keyword == "notify")
            notify = true;
        else if (keyword != "wait")
            own.push_back(word);
    }
    MCIERROR result = 0;
    if (verb == "play") {
        if (own.size() > 2)
            return MCIERR_UNRECOGNIZED_KEYWORD;
        return Play(callback, notify);
    } else if (verb == "status") {
        result = Status(own, returnString, returnLength);
    } else if (own.size() > 2 && verb != "seek") {
        return MCIERR_UNRECOGNIZED_KEYWORD;
    } else if (verb == "close") {
        Close();
    } else if (verb == "stop") {
        Halt(Mode::Stopped);
    } else if (verb == "pause") {
        Halt(Mode::Paused);
    } else if (verb == "resume") {
        if (CurrentMode() == Mode::Paused)
            return Play(callback, notify);
    } else {
        result = Seek(own);
    }
    if (result == 0 && notify)
        Notify(callback, MCI_NOTIFY_SUCCESSFUL, g_lastDeviceId);
    return result;
}
