// The sounds: the explosion WAV (noise burst over a falling rumble, decaying) and a short MIDI
// piece for the music facility, both made here from nothing but arithmetic.
#include "datagen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const int BOMB_RATE = 22050;
const double BOMB_SECONDS = 1.1;

void PutU16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutU16Big(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void PutU32Big(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16Big(out, value >> 16);
    PutU16Big(out, value & 0xFFFF);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// 8-bit unsigned mono: the sound's samples between -1 and 1.
std::vector<uint8_t> ExplosionSamples()
{
    const int count = static_cast<int>(BOMB_RATE * BOMB_SECONDS);
    std::vector<uint8_t> samples(static_cast<size_t>(count));
    uint32_t noiseState = 0x2545F491u;
    double smooth = 0.0;
    double rumblePhase = 0.0;
    const double pi = 3.14159265358979;
    for (int i = 0; i < count; i++) {
        const double t = static_cast<double>(i) / BOMB_RATE;
        noiseState ^= noiseState << 13;
        noiseState ^= noiseState >> 17;
        noiseState ^= noiseState << 5;
        const double white = static_cast<double>(noiseState) / 2147483648.0 - 1.0;
        // The crack is bright at first and dulls as the low-pass closes.
        const double cutoff = 0.05 + 0.6 * std::exp(-t * 9.0);
        smooth += cutoff * (white - smooth);
        const double noise = smooth * std::exp(-t * 4.5);
        // The rumble falls from 70 Hz to 35 Hz.
        rumblePhase += 2.0 * pi * (35.0 + 35.0 * std::exp(-t * 3.0)) / BOMB_RATE;
        const double rumble = 0.6 * std::sin(rumblePhase) * std::exp(-t * 3.0);
        const double attack = t < 0.004 ? t / 0.004 : 1.0;
        double value = attack * (0.9 * noise + rumble);
        value = value > 1.0 ? 1.0 : (value < -1.0 ? -1.0 : value);
        samples[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(128.0 + value * 127.0));
    }
    return samples;
}

bool WriteExplosion(const std::string& path)
{
    const std::vector<uint8_t> samples = ExplosionSamples();
    std::vector<uint8_t> file;
    PutTag(file, "RIFF");
    PutU32(file, static_cast<uint32_t>(4 + 8 + 16 + 8 + samples.size() + (samples.size() & 1)));
    PutTag(file, "WAVE");
    PutTag(file, "fmt ");
    PutU32(file, 16);
    PutU16(file, 1); // PCM
    PutU16(file, 1); // mono
    PutU32(file, BOMB_RATE);
    PutU32(file, BOMB_RATE); // bytes per second
    PutU16(file, 1);         // block align
    PutU16(file, 8);         // bits per sample
    PutTag(file, "data");
    PutU32(file, static_cast<uint32_t>(samples.size()));
    file.insert(file.end(), samples.begin(), samples.end());
    if (samples.size() & 1)
        file.push_back(0);
    return WriteFile(path, file);
}

void PutVarLen(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t bytes[5];
    int count = 0;
    do {
        bytes[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count > 1)
        out.push_back(static_cast<uint8_t>(bytes[--count] | 0x80));
    out.push_back(bytes[0]);
}

// A four-bar phrase over a walking bass: format 0, 480 ticks a beat at 140 beats a minute.
bool WriteMusic(const std::string& path)
{
    struct Note {
        int beat8; // start in eighth notes
        int length8;
        int channel;
        int key;
    };
    static const Note NOTES[] = {
        {0, 2, 0, 76},  {2, 1, 0, 74},  {3, 1, 0, 72},  {4, 2, 0, 74},  {6, 2, 0, 79},  {8, 3, 0, 81},
        {11, 1, 0, 79}, {12, 4, 0, 76}, {16, 2, 0, 72}, {18, 2, 0, 74}, {20, 2, 0, 76}, {22, 2, 0, 79},
        {24, 6, 0, 81}, {30, 2, 0, 84}, {0, 4, 1, 45},  {4, 4, 1, 48},  {8, 4, 1, 41},  {12, 4, 1, 43},
        {16, 4, 1, 45}, {20, 4, 1, 48}, {24, 4, 1, 41}, {28, 4, 1, 43},
    };
    const uint32_t ticksPer8 = 240;
    struct Event {
        uint32_t tick;
        uint8_t status;
        uint8_t key;
        uint8_t velocity;
    };
    std::vector<Event> events;
    for (const Note& note : NOTES) {
        const uint32_t on = static_cast<uint32_t>(note.beat8) * ticksPer8;
        const uint32_t off = on + static_cast<uint32_t>(note.length8) * ticksPer8 - 10;
        events.push_back({on, static_cast<uint8_t>(0x90 | note.channel), static_cast<uint8_t>(note.key), 96});
        events.push_back({off, static_cast<uint8_t>(0x80 | note.channel), static_cast<uint8_t>(note.key), 64});
    }
    // Offs before ons at the same tick, otherwise in time order.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : (a.status & 0xF0) < (b.status & 0xF0);
    });

    std::vector<uint8_t> track;
    const uint32_t tempo = 60000000u / 140;
    const uint8_t setup[] = {0x00,
                             0xFF,
                             0x51,
                             0x03,
                             static_cast<uint8_t>(tempo >> 16),
                             static_cast<uint8_t>(tempo >> 8),
                             static_cast<uint8_t>(tempo),
                             0x00,
                             0xC0,
                             48,
                             0x00,
                             0xC1,
                             32};
    track.insert(track.end(), setup, setup + sizeof setup);
    uint32_t now = 0;
    for (const Event& event : events) {
        PutVarLen(track, event.tick - now);
        now = event.tick;
        track.push_back(event.status);
        track.push_back(event.key);
        track.push_back(event.velocity);
    }
    const uint8_t end[] = {0x00, 0xFF, 0x2F, 0x00};
    track.insert(track.end(), end, end + sizeof end);

    std::vector<uint8_t> file;
    PutTag(file, "MThd");
    PutU32Big(file, 6);
    PutU16Big(file, 0); // one track
    PutU16Big(file, 1);
    PutU16Big(file, 480);
    PutTag(file, "MTrk");
    PutU32Big(file, static_cast<uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    return WriteFile(path, file);
}

} // namespace

bool WriteSounds(const std::string& folder)
{
    bool ok = WriteExplosion(folder + "/G_bomb8.Wav");
    ok = WriteMusic(folder + "/music.mid") && ok;
    return ok;
}
