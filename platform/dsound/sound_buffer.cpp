// SDL2_mixer: DirectSound secondary buffers. The PCM bytes live here in the buffer's own format;
// each Unlock converts them to the mixer's format (SDL_AudioCVT), and every buffer owns one mixer
// channel, so a restart cuts its previous sound off.
#include "dsound_internal.h"
#include "hook_points.h"
#include "unsupported.h"

#include <SDL_mixer.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

#define DSBLOCK_ENTIREBUFFER 0x00000002u
#define DSBSIZE_MIN 4u
#define DSBSIZE_MAX 0x0FFFFFFFu
#define DSBFREQUENCY_MIN 100u
#define DSBFREQUENCY_MAX 200000u

struct PcmFormat {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int blockAlign = 0;
};

SDL_AudioFormat SdlFormat(const PcmFormat& pcm)
{
    return pcm.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

struct MixerSoundBuffer : IDirectSoundBuffer {
    IDirectSound* m_device = nullptr;
    PcmFormat m_format;
    int m_channel = -1;
    std::vector<uint8_t> m_data;      // the buffer memory, in the buffer's own format
    std::vector<uint8_t> m_converted; // the same sound in the mixer's format
    Mix_Chunk m_chunk{};              // plays m_converted from the current position
    bool m_lost = false;
    bool m_locked = false;
    void* m_lockRegion1 = nullptr;
    void* m_lockRegion2 = nullptr;
    DWORD m_position = 0;    // play cursor in bytes of m_data
    bool m_started = false;  // Play started the channel and no Stop has come since
    Uint64 m_startTicks = 0; // when it started, to tell where Stop catches it
    DWORD m_startPosition = 0;

    ~MixerSoundBuffer() override
    {
        Seen("Gone");
        ReleaseMixerChannel(m_channel);
        m_device->Release();
    }

    DWORD Size() const { return static_cast<DWORD>(m_data.size()); }

    void Seen(const char* call)
    {
        if (g_platformHooks.soundBufferCall)
            g_platformHooks.soundBufferCall(this, call);
    }

    // A sound that ran out leaves the cursor at the start again.
    void SettlePosition()
    {
        if (m_started && !Mix_Playing(m_channel)) {
            m_started = false;
            m_position = 0;
        }
    }

    void Convert()
    {
        SDL_AudioCVT cvt;
        MixerFormat mixer = GetMixerFormat();
        int built = SDL_BuildAudioCVT(&cvt, SdlFormat(m_format), static_cast<Uint8>(m_format.channels), m_format.rate,
                                      mixer.format, static_cast<Uint8>(mixer.channels), mixer.rate);
        const size_t frames = m_data.size() / static_cast<size_t>(m_format.blockAlign);
        const size_t bytes = frames * static_cast<size_t>(m_format.blockAlign);
        if (built < 0 || bytes == 0) {
            m_converted.clear();
            return;
        }
        const size_t mult = built > 0 ? static_cast<size_t>(cvt.len_mult) : 1;
        m_converted.assign(bytes * mult, 0);
        std::memcpy(m_converted.data(), m_data.data(), bytes);
        if (built > 0) {
            cvt.buf = m_converted.data();
            cvt.len = static_cast<int>(bytes);
            if (SDL_ConvertAudio(&cvt) != 0) {
                m_converted.clear();
                return;
            }
            m_converted.resize(static_cast<size_t>(cvt.len_cvt));
        }
    }

    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* region1, DWORD* region1Bytes, LPVOID* region2, DWORD* region2Bytes,
                 DWORD flags) override
    {
        if (!region1 || !region1Bytes)
            return DSERR_INVALIDPARAM;
        *region1 = nullptr;
        *region1Bytes = 0;
        if (region2)
            *region2 = nullptr;
        if (region2Bytes)
            *region2Bytes = 0;
        if (flags & ~DSBLOCK_ENTIREBUFFER)
            return DSERR_INVALIDPARAM;
        if (flags & DSBLOCK_ENTIREBUFFER) {
            offset = 0;
            bytes = Size();
        }
        if (FailureInjected(FailPoint::SoundBufferLockLost)) {
            // Lost memory comes back as silence; its owner must write it again.
            m_lost = true;
            std::memset(m_data.data(), m_format.bits == 8 ? 0x80 : 0, m_data.size());
        }
        if (m_lost)
            return DSERR_BUFFERLOST;
        if (m_locked)
            return DSERR_INVALIDCALL;
        if (bytes == 0 || bytes > Size() || offset >= Size())
            return DSERR_INVALIDPARAM;

        DWORD first = bytes;
        if (first > Size() - offset)
            first = Size() - offset;
        const DWORD split = g_platformHooks.soundLockSplit;
        if (split > 0 && first > split)
            first = split;
        const DWORD second = bytes - first;
        if (second > 0 && (!region2 || !region2Bytes))
            return DSERR_INVALIDPARAM;

        *region1 = m_data.data() + offset;
        *region1Bytes = first;
        m_lockRegion1 = *region1;
        m_lockRegion2 = nullptr;
        if (second > 0) {
            *region2 = m_data.data() + (offset + first) % Size();
            *region2Bytes = second;
            m_lockRegion2 = *region2;
        }
        m_locked = true;
        return DS_OK;
    }

    HRESULT Unlock(LPVOID region1, DWORD region1Bytes, LPVOID region2, DWORD region2Bytes) override
    {
        (void)region1Bytes;
        (void)region2Bytes;
        if (!m_locked || region1 != m_lockRegion1 || (region2 && region2 != m_lockRegion2))
            return DSERR_INVALIDPARAM;
        m_locked = false;
        // The mixer may be reading the old conversion: stop before replacing it.
        Mix_HaltChannel(m_channel);
        m_started = false;
        Convert();
        return DS_OK;
    }

    HRESULT Restore() override
    {
        m_lost = false;
        return DS_OK;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        Seen("Play");
        if (reserved != 0 || priority != 0)
            return DSERR_INVALIDPARAM;
        if (flags & DSBPLAY_LOOPING)
            return UNSUPPORTED(DSERR_UNSUPPORTED, "IDirectSoundBuffer::Play looping");
        if (m_lost)
            return DSERR_BUFFERLOST;
        SettlePosition();
        if (m_started)
            return DS_OK;

        // The chunk starts at the converted frame matching the cursor.
        const size_t srcFrames = m_data.size() / static_cast<size_t>(m_format.blockAlign);
        const MixerFormat mixer = GetMixerFormat();
        const size_t dstFrameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(mixer.format) / 8 * mixer.channels);
        const size_t dstFrames = dstFrameBytes ? m_converted.size() / dstFrameBytes : 0;
        const size_t srcFrame = m_position / static_cast<size_t>(m_format.blockAlign);
        size_t dstOffset = 0;
        if (srcFrames > 0)
            dstOffset = static_cast<size_t>(static_cast<uint64_t>(srcFrame) * dstFrames / srcFrames) * dstFrameBytes;
        if (dstOffset >= m_converted.size())
            return DS_OK;
        m_chunk.allocated = 0;
        m_chunk.abuf = m_converted.data() + dstOffset;
        m_chunk.alen = static_cast<Uint32>(m_converted.size() - dstOffset);
        m_chunk.volume = MIX_MAX_VOLUME;
        if (Mix_PlayChannel(m_channel, &m_chunk, 0) < 0)
            return DSERR_GENERIC;
        m_started = true;
        m_startTicks = SDL_GetTicks64();
        m_startPosition = m_position;
        Seen("Start");
        return DS_OK;
    }

    HRESULT Stop() override
    {
        Seen("Stop");
        SettlePosition();
        if (!m_started)
            return DS_OK;
        Mix_HaltChannel(m_channel);
        m_started = false;
        // The cursor stays where the sound was caught, to the block.
        const uint64_t elapsedMs = SDL_GetTicks64() - m_startTicks;
        const uint64_t played =
            elapsedMs * static_cast<uint64_t>(m_format.rate) / 1000 * static_cast<uint64_t>(m_format.blockAlign);
        const uint64_t position = m_startPosition + played;
        m_position = position >= Size() ? 0 : static_cast<DWORD>(position);
        return DS_OK;
    }

    HRESULT SetCurrentPosition(DWORD position) override
    {
        Seen(position == 0 ? "Position 0" : "Position");
        if (position >= Size())
            return DSERR_INVALIDPARAM;
        const DWORD aligned = position - position % static_cast<DWORD>(m_format.blockAlign);
        SettlePosition();
        if (m_started) {
            Mix_HaltChannel(m_channel);
            m_started = false;
            m_position = aligned;
            return Play(0, 0, 0);
        }
        m_position = aligned;
        return DS_OK;
    }
};

MixerSoundBuffer* OurBuffer(IDirectSoundBuffer* buffer)
{
    return dynamic_cast<MixerSoundBuffer*>(buffer);
}

} // namespace

HRESULT CreatePcmSoundBuffer(IDirectSound* device, const DSBUFFERDESC* desc, LPDIRECTSOUNDBUFFER* buffer)
{
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER)
        return UNSUPPORTED(DSERR_UNSUPPORTED, "a primary sound buffer");
    if (!desc->lpwfxFormat || desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    PCMWAVEFORMAT wave;
    std::memcpy(&wave, desc->lpwfxFormat, sizeof wave);
    if (wave.wf.wFormatTag != WAVE_FORMAT_PCM)
        return DSERR_BADFORMAT;
    PcmFormat format;
    format.channels = wave.wf.nChannels;
    format.rate = static_cast<int>(wave.wf.nSamplesPerSec);
    format.bits = wave.wBitsPerSample;
    format.blockAlign = wave.wf.nBlockAlign;
    if ((format.bits != 8 && format.bits != 16) || format.channels < 1 || format.channels > 8 ||
        wave.wf.nSamplesPerSec < DSBFREQUENCY_MIN || wave.wf.nSamplesPerSec > DSBFREQUENCY_MAX ||
        format.blockAlign != format.channels * format.bits / 8)
        return DSERR_BADFORMAT;

    // The conversion must exist and its working space must fit SDL's int lengths.
    SDL_AudioCVT cvt;
    const MixerFormat mixer = GetMixerFormat();
    const int built = SDL_BuildAudioCVT(&cvt, SdlFormat(format), static_cast<Uint8>(format.channels), format.rate,
                                        mixer.format, static_cast<Uint8>(mixer.channels), mixer.rate);
    if (built < 0)
        return DSERR_BADFORMAT;
    const uint64_t mult = built > 0 ? static_cast<uint64_t>(cvt.len_mult) : 1;
    if (static_cast<uint64_t>(desc->dwBufferBytes) * mult > static_cast<uint64_t>(INT_MAX))
        return DSERR_OUTOFMEMORY;

    const int channel = AcquireMixerChannel();
    if (channel < 0)
        return DSERR_OUTOFMEMORY;
    MixerSoundBuffer* made = new MixerSoundBuffer();
    device->AddRef();
    made->m_device = device;
    made->m_format = format;
    made->m_channel = channel;
    made->m_data.assign(desc->dwBufferBytes, format.bits == 8 ? 0x80 : 0);
    made->Convert();
    *buffer = made;
    return DS_OK;
}

const std::vector<uint8_t>* SoundBufferData(IDirectSoundBuffer* buffer)
{
    MixerSoundBuffer* ours = OurBuffer(buffer);
    return ours ? &ours->m_data : nullptr;
}

bool SoundBufferPlaying(IDirectSoundBuffer* buffer)
{
    MixerSoundBuffer* ours = OurBuffer(buffer);
    return ours && ours->m_started && Mix_Playing(ours->m_channel);
}
