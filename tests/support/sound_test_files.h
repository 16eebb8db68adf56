// Files the sound tests write for themselves: RIFF WAVE files laid out chunk by chunk, and
// tiny MIDI pieces.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

struct RiffChunk {
    std::string id;            // four letters
    std::vector<uint8_t> body; // written as given, padded to an even length
    int64_t declaredSize = -1; // the size field; -1 takes the body's size
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> PcmFormatBody(int tag, int channels, int rate, int bits)
{
    std::vector<uint8_t> body;
    const int blockAlign = channels * bits / 8;
    PutLe(body, static_cast<uint32_t>(tag), 2);
    PutLe(body, static_cast<uint32_t>(channels), 2);
    PutLe(body, static_cast<uint32_t>(rate), 4);
    PutLe(body, static_cast<uint32_t>(rate * blockAlign), 4);
    PutLe(body, static_cast<uint32_t>(blockAlign), 2);
    PutLe(body, static_cast<uint32_t>(bits), 2);
    return body;
}

inline std::vector<uint8_t> RiffFile(const std::string& form, const std::vector<RiffChunk>& chunks)
{
    std::vector<uint8_t> inner(form.begin(), form.end());
    for (const RiffChunk& chunk : chunks) {
        inner.insert(inner.end(), chunk.id.begin(), chunk.id.end());
        const int64_t size = chunk.declaredSize >= 0 ? chunk.declaredSize : static_cast<int64_t>(chunk.body.size());
        PutLe(inner, static_cast<uint32_t>(size), 4);
        inner.insert(inner.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() & 1)
            inner.push_back(0);
    }
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    PutLe(file, static_cast<uint32_t>(inner.size()), 4);
    file.insert(file.end(), inner.begin(), inner.end());
    return file;
}

// Bytes that never repeat in a way that would hide a misplaced copy.
inline std::vector<uint8_t> NoiseBytes(size_t count, uint32_t seed)
{
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

// A file name of this test process's own, so that tests running side by side in the same
// folder never write over each other's files.
inline std::string UniqueTestFileName(const char* stem, const char* extension)
{
    return std::string(stem) + "_" + std::to_string(getpid()) + extension;
}

inline void WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// One woodblock tick: the shortest piece that still plays through the synthesiser.
inline void WriteShortMidi(const std::string& name)
{
    const uint8_t track[] = {0x00, 0xC0, 115, 0x00, 0x90, 60, 100, 0x30, 0x80, 60, 64, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> file = {'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
                                 1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(sizeof track)};
    file.insert(file.end(), track, track + sizeof track);
    WriteTestFile(name, file);
}
