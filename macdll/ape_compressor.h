#pragma once
// Writes a Monkey's Audio file (version 3990) from interleaved 16-bit PCM handed in pieces.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace mac {

class ApeCompressor {
public:
    ApeCompressor() = default;
    ~ApeCompressor();
    ApeCompressor(const ApeCompressor&) = delete;
    ApeCompressor& operator=(const ApeCompressor&) = delete;

    // headerBytes <= 0 (or no header data): the decoder creates the WAV header.
    int start(const char* path, int sampleRate, int bitsPerSample, int channels, int64_t maxAudioBytes,
              int compressionLevel, const void* headerData, int headerBytes);
    int addData(const uint8_t* data, int bytes);
    int finish(const uint8_t* terminatingData, int terminatingBytes);

    static uint32_t BlocksPerFrame(int compressionLevel) { return compressionLevel >= 4000 ? 73728 * 4 : 73728; }

private:
    int encodeFrame(const int16_t* pcm, uint32_t blocks);
    int writeAt(uint64_t offset, const uint8_t* data, size_t size);
    int moveFrameData(uint64_t newStart, uint64_t bytes);
    int writeHeader();
    void abandon();

    FILE* file_ = nullptr;
    bool failed_ = false;
    int channels_ = 0;
    int sampleRate_ = 0;
    int level_ = 0;
    uint32_t blocksPerFrame_ = 0;
    int blockAlign_ = 0;
    std::vector<uint8_t> wavHeader_;
    std::vector<uint8_t> pending_;  // input bytes not yet forming a whole frame
    std::vector<uint8_t> frame_;
    std::vector<uint32_t> seekTable_;
    uint32_t reservedEntries_ = 0;
    uint64_t dataStart_ = 0;
    uint64_t frameDataBytes_ = 0;
    uint32_t finalFrameBlocks_ = 0;
    uint32_t terminatingBytes_ = 0;
};

}  // namespace mac
