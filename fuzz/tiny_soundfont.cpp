// A General MIDI soundfont of one preset and one short silent sample, handed to the mixer in
// place of the system's large one: the MCI target opens the sequencer thousands of times a
// second, and loading a full soundfont on every open would spend the run on sample data.
#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Put16(std::string* out, unsigned value)
{
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>(value >> 8 & 0xFF));
}

void Put32(std::string* out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A name field of `length` bytes, zero-padded.
void PutName(std::string* out, const char* name, size_t length)
{
    std::string field(name);
    field.resize(length, '\0');
    *out += field;
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string out(id, 4);
    Put32(&out, static_cast<unsigned>(body.size()));
    return out + body;
}

std::string List(const char* type, const std::string& chunks)
{
    return Chunk("LIST", std::string(type, 4) + chunks);
}

std::string PresetHeader(const char* name, unsigned bag)
{
    std::string out;
    PutName(&out, name, 20);
    Put16(&out, 0); // preset
    Put16(&out, 0); // bank
    Put16(&out, bag);
    Put32(&out, 0);
    Put32(&out, 0);
    Put32(&out, 0);
    return out;
}

std::string Bag(unsigned generator)
{
    std::string out;
    Put16(&out, generator);
    Put16(&out, 0);
    return out;
}

std::string Generator(unsigned operation, unsigned amount)
{
    std::string out;
    Put16(&out, operation);
    Put16(&out, amount);
    return out;
}

std::string SampleHeader(const char* name, unsigned end, unsigned rate, unsigned type)
{
    std::string out;
    PutName(&out, name, 20);
    Put32(&out, 0);   // start
    Put32(&out, end); // end
    Put32(&out, 0);   // loop start
    Put32(&out, end); // loop end
    Put32(&out, rate);
    out.push_back(60); // original key
    out.push_back(0);  // pitch correction
    Put16(&out, 0);    // link
    Put16(&out, type);
    return out;
}

std::string TinySoundFont()
{
    const unsigned SAMPLE_FRAMES = 8;
    const unsigned GEN_INSTRUMENT = 41, GEN_SAMPLE_ID = 53, MONO_SAMPLE = 1;
    std::string version;
    Put16(&version, 2);
    Put16(&version, 1);
    const std::string info =
        Chunk("ifil", version) + Chunk("isng", std::string("EMU8000", 8)) + Chunk("INAM", std::string("tiny\0\0", 6));
    // The sample is followed by the 46 zero frames every sample needs.
    const std::string samples = Chunk("smpl", std::string((SAMPLE_FRAMES + 46) * 2, '\0'));
    const std::string modulatorEnd(10, '\0');
    std::string instruments;
    PutName(&instruments, "silence", 20);
    Put16(&instruments, 0);
    PutName(&instruments, "EOI", 20);
    Put16(&instruments, 1);
    const std::string hydra = Chunk("phdr", PresetHeader("silence", 0) + PresetHeader("EOP", 1)) +
        Chunk("pbag", Bag(0) + Bag(1)) + Chunk("pmod", modulatorEnd) +
        Chunk("pgen", Generator(GEN_INSTRUMENT, 0) + Generator(0, 0)) + Chunk("inst", instruments) +
        Chunk("ibag", Bag(0) + Bag(1)) + Chunk("imod", modulatorEnd) +
        Chunk("igen", Generator(GEN_SAMPLE_ID, 0) + Generator(0, 0)) +
        Chunk("shdr", SampleHeader("silence", SAMPLE_FRAMES, 22050, MONO_SAMPLE) + SampleHeader("EOS", 0, 0, 0));
    return Chunk("RIFF", std::string("sfbk") + List("INFO", info) + List("sdta", samples) + List("pdta", hydra));
}

} // namespace

void UseTinySoundFont()
{
    static char s_path[64];
    if (s_path[0])
        return;
    const std::string bytes = TinySoundFont();
    const int file = memfd_create("tiny-soundfont", 0);
    if (file < 0 || write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror("tiny soundfont");
        std::abort();
    }
    std::snprintf(s_path, sizeof s_path, "/proc/self/fd/%d", file);
    // The mixer prefers its packaged default to the variable unless told otherwise.
    setenv("SDL_SOUNDFONTS", s_path, 1);
    setenv("SDL_FORCE_SOUNDFONTS", "1", 1);
}
