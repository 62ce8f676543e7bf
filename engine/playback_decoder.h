#pragma once
// A decoder that feeds the player block by block. Operations in slot order.
#include <cstdint>

#include "wave_buffer.h"

class PlaybackDecoder {
public:
    // 0 or a negative EngineResult; stream -1 = the first audio stream.
    virtual int32_t open(const char* path, int32_t stream) = 0;
    virtual void close() = 0;
    virtual void setStop(bool stop) = 0;
    // Null when not open.
    virtual const PcmWaveFormat* waveFormat() const = 0;
    // An empty buffer when there is nothing to deliver.
    virtual WaveBufferRef readBlock() = 0;
    virtual int32_t seek(double seconds) = 0;
    virtual double position() const = 0;
    virtual double length() const = 0;
    // Frees a decoder that was created with new.
    virtual void destroy() = 0;

protected:
    ~PlaybackDecoder() = default;
};
