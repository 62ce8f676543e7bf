#pragma once
// On-disk layout of a Monkey's Audio file: descriptor, header and seek table (version 3980 and later),
// and the older single header (3800 to 3970). Parsing never trusts a field it cannot check.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mac {

constexpr int kCurrentVersion = 3990;
constexpr uint32_t kDescriptorBytes = 52;
constexpr uint32_t kHeaderBytes = 24;

enum FormatFlags : uint16_t {
    kFlag8Bit = 1,
    kFlagCrc = 2,
    kFlagPeakLevel = 4,
    kFlag24Bit = 8,
    kFlagSeekElements = 16,
    kFlagCreateWavHeader = 32,
};

struct ApeInfo {
    int version = 0;
    int compressionLevel = 0;
    int formatFlags = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    uint32_t blocksPerFrame = 0;
    uint32_t finalFrameBlocks = 0;
    uint32_t totalFrames = 0;
    uint32_t wavHeaderBytes = 0;
    uint32_t wavTerminatingBytes = 0;
    uint64_t apeFrameDataBytes = 0;   // from the descriptor; 0 when unknown (old files)
    uint64_t junkBytes = 0;           // bytes before "MAC " (an ID3v2 tag, for example)
    uint64_t firstFrameOffset = 0;    // absolute file offset of frame 0
    std::vector<uint32_t> seekTable;  // absolute offsets of the frames (without junk), totalFrames entries

    int blockAlign() const { return channels * (bitsPerSample / 8); }
    int64_t totalBlocks() const
    {
        return totalFrames == 0 ? 0 : int64_t(totalFrames - 1) * blocksPerFrame + finalFrameBlocks;
    }
    int64_t lengthMs() const { return sampleRate > 0 ? totalBlocks() * 1000 / sampleRate : 0; }
};

enum class ParseResult { Ok, NeedMore, Invalid };

// Parses the descriptor, header and seek table from the first bytes of a file. NeedMore means the
// given bytes end before the seek table does; the caller may retry with more (up to neededBytes).
ParseResult ParseApeHeader(const uint8_t* data, size_t size, ApeInfo& info, size_t* neededBytes = nullptr);

// Descriptor and header of a current-version file (76 bytes), followed by the seek table.
struct HeaderFields {
    uint16_t compressionLevel = 0;
    uint16_t formatFlags = 0;
    uint32_t blocksPerFrame = 0;
    uint32_t finalFrameBlocks = 0;
    uint32_t totalFrames = 0;
    uint16_t bitsPerSample = 16;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t seekTableBytes = 0;
    uint32_t wavHeaderBytes = 0;
    uint64_t apeFrameDataBytes = 0;
    uint32_t terminatingBytes = 0;
};
std::vector<uint8_t> BuildDescriptorAndHeader(const HeaderFields& fields);

}  // namespace mac
