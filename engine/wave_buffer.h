#pragma once
// A block of PCM handed from a playback decoder to the player, and the PCM wave format that
// describes it (laid out as a WAVEFORMATEX, without Windows headers).
#include <cstdint>
#include <memory>
#include <vector>

#pragma pack(push, 1)
struct PcmWaveFormat {
    uint16_t formatTag;  // 1 = PCM
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};
#pragma pack(pop)

struct WaveBuffer {
    enum Kind : int32_t { kEmpty = 0, kWaveOut = 1, kWaveIn = 2 };
    int32_t kind = kEmpty;
    std::vector<uint8_t> data;
};

// Counted reference to a block; the last reference frees it.
using WaveBufferRef = std::shared_ptr<WaveBuffer>;

inline WaveBufferRef MakeEmptyWaveBuffer() { return std::make_shared<WaveBuffer>(); }

inline WaveBufferRef MakeWaveBuffer(size_t size)
{
    auto buffer = std::make_shared<WaveBuffer>();
    buffer->kind = WaveBuffer::kWaveIn;
    buffer->data.resize(size);
    return buffer;
}
