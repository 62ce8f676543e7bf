#include "frame_encoder.h"

#include "ape_prediction.h"
#include "range_encoder.h"

#include <climits>

extern "C" {
#include <libavutil/crc.h>
}

namespace mac {
namespace {

constexpr uint32_t kFlagsPresent = 0x80000000u;
constexpr uint32_t kMonoSilence = 1;
constexpr uint32_t kStereoSilence = 3;
constexpr uint32_t kPseudoStereo = 4;  // both channels equal: coded once, as mono

// Symbol model of the overflow count (version 3980 and later).
constexpr uint16_t kCounts[22] = {0,     19578, 36160, 48417, 56323, 60899, 63265, 64435, 64971, 65232, 65351,
                                  65416, 65447, 65466, 65476, 65482, 65485, 65488, 65490, 65491, 65492, 65493};
constexpr int kModeledSymbols = 21;
constexpr uint32_t kEscapeSymbol = 63;

struct Rice {
    uint32_t ksum = (1u << 10) * 16;
};

// Returns false for the one residual the coder cannot carry.
bool EncodeValue(RangeEncoder& rc, Rice& rice, int32_t value)
{
    if (value == INT32_MIN) return false;
    const uint32_t x = value > 0 ? 2u * uint32_t(value) - 1 : 0u - 2u * uint32_t(value);
    uint32_t pivot = rice.ksum >> 5;
    if (pivot == 0) pivot = 1;
    const uint32_t overflow = x / pivot;
    const uint32_t base = x % pivot;

    if (overflow < kModeledSymbols) {
        rc.encodeShift(kCounts[overflow + 1] - kCounts[overflow], kCounts[overflow], 16);
    } else if (overflow < kEscapeSymbol) {
        rc.encodeShift(1, 65535 - kEscapeSymbol + overflow, 16);
    } else {
        rc.encodeShift(1, 65535, 16);
        rc.encodeShift(1, overflow >> 16, 16);
        rc.encodeShift(1, overflow & 0xFFFF, 16);
    }

    if (pivot < 0x10000) {
        rc.encodeFreq(1, base, pivot);
    } else {
        int bits = 0;
        uint32_t high = pivot;
        while (high & ~0xFFFFu) {
            high >>= 1;
            ++bits;
        }
        rc.encodeFreq(1, base >> bits, high + 1);
        rc.encodeFreq(1, base & ((1u << bits) - 1), 1u << bits);
    }
    rice.ksum += ((x + 1) / 2) - ((rice.ksum + 16) >> 5);
    return true;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

void RunFilters(std::vector<int32_t>& channel, int compressionLevel)
{
    const std::vector<FilterSpec> specs = FiltersForLevel(compressionLevel);
    // The decoder runs the filters first to last; undo them last to first.
    for (auto spec = specs.rbegin(); spec != specs.rend(); ++spec) {
        NeuralFilter filter(spec->order, spec->fracBits);
        for (int32_t& v : channel) v = filter.inverse(v);
    }
}

}  // namespace

uint32_t FrameCrc(const int16_t* pcm, int blocks, int channels)
{
    const AVCRC* table = av_crc_get_table(AV_CRC_32_IEEE_LE);
    uint32_t crc = UINT32_MAX;
    uint8_t bytes[4096];
    const size_t total = size_t(blocks) * channels;
    for (size_t done = 0; done < total;) {
        size_t n = 0;
        for (; n < sizeof(bytes) / 2 && done < total; ++n, ++done) {
            const uint16_t s = uint16_t(pcm[done]);
            bytes[2 * n] = uint8_t(s);
            bytes[2 * n + 1] = uint8_t(s >> 8);
        }
        crc = av_crc(table, crc, bytes, 2 * n);
    }
    return ~crc >> 1;
}

FrameStatus EncodeFrame(const int16_t* pcm, int blocks, int channels, int compressionLevel,
                        std::vector<uint8_t>& out)
{
    const size_t start = out.size();
    const uint32_t crc = FrameCrc(pcm, blocks, channels);
    bool silent = true;
    for (size_t i = 0; i < size_t(blocks) * channels && silent; ++i) silent = pcm[i] == 0;

    if (silent) {
        PutBe32(out, crc | kFlagsPresent);
        PutBe32(out, channels == 2 ? kStereoSilence : kMonoSilence);
        PutBe32(out, 0);  // the decoder still starts its range decoder here
        return FrameStatus::Ok;
    }

    bool dualMono = channels == 2;
    for (int i = 0; i < blocks && dualMono; ++i) dualMono = pcm[2 * i] == pcm[2 * i + 1];
    if (dualMono) {
        PutBe32(out, crc | kFlagsPresent);
        PutBe32(out, kPseudoStereo);
    } else {
        PutBe32(out, crc);
    }

    Predictor predictor(compressionLevel);
    std::vector<int32_t> first(blocks), second;
    if (channels == 2 && !dualMono) {
        second.resize(blocks);
        for (int i = 0; i < blocks; ++i) {
            const int32_t left = pcm[2 * i], right = pcm[2 * i + 1];
            const int32_t y = right - left;
            const int32_t x = left + y / 2;
            predictor.encodeStereo(y, x, first[i], second[i]);
        }
        RunFilters(first, compressionLevel);
        RunFilters(second, compressionLevel);
    } else {
        // Mono, or the first of two equal channels.
        for (int i = 0; i < blocks; ++i) first[i] = predictor.encodeMono(pcm[size_t(i) * channels]);
        RunFilters(first, compressionLevel);
    }

    RangeEncoder rc(out);
    Rice riceY, riceX;
    for (int i = 0; i < blocks; ++i) {
        if (!EncodeValue(rc, riceY, first[i])) {
            out.resize(start);
            return FrameStatus::Unencodable;
        }
        if (!second.empty() && !EncodeValue(rc, riceX, second[i])) {
            out.resize(start);
            return FrameStatus::Unencodable;
        }
    }
    rc.finish();
    while ((out.size() - start) % 4) out.push_back(0);
    return FrameStatus::Ok;
}

}  // namespace mac
