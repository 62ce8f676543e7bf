#include "ape_layout.h"

#include <cstring>

namespace mac {
namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}
    bool has(size_t n) const { return pos_ <= size_ && size_ - pos_ >= n; }
    uint16_t u16()
    {
        uint16_t v = uint16_t(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t u32()
    {
        uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                     uint32_t(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    void skip(size_t n) { pos_ += n; }
    size_t pos() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_;
};

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// Skips an ID3v2 tag at the start; returns its size (0 if none).
size_t Id3v2Size(const uint8_t* data, size_t size)
{
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
    if ((data[6] | data[7] | data[8] | data[9]) & 0x80) return 0;
    size_t body = size_t(data[6]) << 21 | size_t(data[7]) << 14 | size_t(data[8]) << 7 | data[9];
    size_t footer = (data[5] & 0x10) ? 10 : 0;
    return 10 + body + footer;
}

}  // namespace

ParseResult ParseApeHeader(const uint8_t* data, size_t size, ApeInfo& info, size_t* neededBytes)
{
    info = ApeInfo();
    const size_t junk = Id3v2Size(data, size);
    Reader r(data, size, junk);
    auto needMore = [&](size_t total) {
        if (neededBytes) *neededBytes = total;
        return ParseResult::NeedMore;
    };
    if (!r.has(6)) return needMore(junk + 80);
    if (std::memcmp(data + junk, "MAC ", 4) != 0) return ParseResult::Invalid;
    r.skip(4);
    info.junkBytes = junk;
    info.version = r.u16();
    if (info.version < 3800 || info.version > kCurrentVersion) return ParseResult::Invalid;

    uint32_t descriptorBytes = 0, headerBytes = 0, seekTableBytes = 0;
    if (info.version >= 3980) {
        if (!r.has(46)) return needMore(junk + 128);
        r.skip(2);  // padding
        descriptorBytes = r.u32();
        headerBytes = r.u32();
        seekTableBytes = r.u32();
        info.wavHeaderBytes = r.u32();
        uint32_t dataLow = r.u32(), dataHigh = r.u32();
        info.apeFrameDataBytes = uint64_t(dataHigh) << 32 | dataLow;
        info.wavTerminatingBytes = r.u32();
        r.skip(16);  // MD5
        if (descriptorBytes < kDescriptorBytes || descriptorBytes > 1 << 20) return ParseResult::Invalid;
        if (headerBytes < kHeaderBytes || headerBytes > 1 << 20) return ParseResult::Invalid;
        r = Reader(data, size, junk + descriptorBytes);
        if (!r.has(kHeaderBytes)) return needMore(junk + descriptorBytes + headerBytes);
        info.compressionLevel = r.u16();
        info.formatFlags = r.u16();
        info.blocksPerFrame = r.u32();
        info.finalFrameBlocks = r.u32();
        info.totalFrames = r.u32();
        info.bitsPerSample = r.u16();
        info.channels = r.u16();
        info.sampleRate = int(r.u32());
        r = Reader(data, size, junk + descriptorBytes + headerBytes);
    } else {
        if (!r.has(26)) return needMore(junk + 64);
        headerBytes = 32;
        info.compressionLevel = r.u16();
        info.formatFlags = r.u16();
        info.channels = r.u16();
        info.sampleRate = int(r.u32());
        info.wavHeaderBytes = r.u32();
        info.wavTerminatingBytes = r.u32();
        info.totalFrames = r.u32();
        info.finalFrameBlocks = r.u32();
        if (info.formatFlags & kFlagPeakLevel) {
            if (!r.has(4)) return needMore(junk + 64);
            r.skip(4);
            headerBytes += 4;
        }
        if (info.formatFlags & kFlagSeekElements) {
            if (!r.has(4)) return needMore(junk + 64);
            uint32_t elements = r.u32();
            if (elements > (1u << 28)) return ParseResult::Invalid;
            seekTableBytes = elements * 4;
            headerBytes += 4;
        } else {
            if (info.totalFrames > (1u << 28)) return ParseResult::Invalid;
            seekTableBytes = info.totalFrames * 4;
        }
        info.bitsPerSample = (info.formatFlags & kFlag8Bit) ? 8 : (info.formatFlags & kFlag24Bit) ? 24 : 16;
        info.blocksPerFrame = info.version >= 3950 ? 73728 * 4
                              : (info.version >= 3900 || info.compressionLevel >= 4000) ? 73728
                                                                                        : 9216;
        r = Reader(data, size, junk + headerBytes);
        if (!(info.formatFlags & kFlagCreateWavHeader)) {
            // The stored WAV header lies between the header and the seek table in old files.
            if (info.wavHeaderBytes > (1u << 24)) return ParseResult::Invalid;
            r.skip(info.wavHeaderBytes);
        }
    }

    if (info.channels < 1 || info.channels > 2) return ParseResult::Invalid;
    if (info.sampleRate < 1 || info.sampleRate > 1000000) return ParseResult::Invalid;
    if (info.bitsPerSample != 8 && info.bitsPerSample != 16 && info.bitsPerSample != 24) return ParseResult::Invalid;
    if (info.compressionLevel % 1000 || info.compressionLevel < 1000 || info.compressionLevel > 5000)
        return ParseResult::Invalid;
    if (info.blocksPerFrame == 0 || info.blocksPerFrame > (1u << 24)) return ParseResult::Invalid;
    if (info.totalFrames > 0 && (info.finalFrameBlocks == 0 || info.finalFrameBlocks > info.blocksPerFrame))
        return ParseResult::Invalid;
    if (seekTableBytes / 4 < info.totalFrames) return ParseResult::Invalid;

    const size_t tableStart = r.pos();
    const size_t tableEnd = tableStart + size_t(info.totalFrames) * 4;
    if (tableEnd > size) return needMore(tableEnd);
    info.seekTable.resize(info.totalFrames);
    for (uint32_t i = 0; i < info.totalFrames; ++i) info.seekTable[i] = r.u32();

    uint64_t first = junk + uint64_t(descriptorBytes) + headerBytes + seekTableBytes + info.wavHeaderBytes;
    if (info.version < 3810) first += info.totalFrames;  // bit table
    info.firstFrameOffset = first;
    for (uint32_t i = 1; i < info.totalFrames; ++i)
        if (info.seekTable[i] < info.seekTable[i - 1]) return ParseResult::Invalid;
    return ParseResult::Ok;
}

std::vector<uint8_t> BuildDescriptorAndHeader(const HeaderFields& f)
{
    std::vector<uint8_t> out;
    out.reserve(kDescriptorBytes + kHeaderBytes);
    out.insert(out.end(), {'M', 'A', 'C', ' '});
    PutU16(out, kCurrentVersion);
    PutU16(out, 0);
    PutU32(out, kDescriptorBytes);
    PutU32(out, kHeaderBytes);
    PutU32(out, f.seekTableBytes);
    PutU32(out, f.wavHeaderBytes);
    PutU32(out, uint32_t(f.apeFrameDataBytes));
    PutU32(out, uint32_t(f.apeFrameDataBytes >> 32));
    PutU32(out, f.terminatingBytes);
    out.insert(out.end(), 16, 0);  // no MD5
    PutU16(out, f.compressionLevel);
    PutU16(out, f.formatFlags);
    PutU32(out, f.blocksPerFrame);
    PutU32(out, f.finalFrameBlocks);
    PutU32(out, f.totalFrames);
    PutU16(out, f.bitsPerSample);
    PutU16(out, f.channels);
    PutU32(out, f.sampleRate);
    return out;
}

}  // namespace mac
