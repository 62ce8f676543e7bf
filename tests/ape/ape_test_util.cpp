#include "ape_test_util.h"

#include "MACDll.h"

#include <cmath>
#include <fstream>
#include <iterator>

const char* SignalName(Signal s)
{
    switch (s) {
    case Signal::Music: return "music";
    case Signal::Silence: return "silence";
    case Signal::WhiteNoise: return "noise";
    case Signal::Square: return "square";
    case Signal::Clipped: return "clipped";
    case Signal::DualMono: return "dualmono";
    case Signal::Extremes: return "extremes";
    }
    return "?";
}

std::vector<int16_t> MakeSignal(Signal kind, int64_t blocks, int channels, int rate, uint32_t seed)
{
    std::vector<int16_t> pcm(size_t(blocks) * channels);
    uint32_t state = seed * 2654435761u + 12345;
    auto random16 = [&]() {
        state = state * 1664525u + 1013904223u;
        return int16_t(state >> 16);
    };
    for (int64_t i = 0; i < blocks; ++i) {
        const double t = double(i) / rate;
        for (int c = 0; c < channels; ++c) {
            double v = 0;
            switch (kind) {
            case Signal::Music:
                v = 9000 * std::sin(2 * M_PI * (220 + 110 * c) * t) + 5000 * std::sin(2 * M_PI * 1375 * t) *
                    std::sin(2 * M_PI * 0.7 * t) + (random16() >> 6);
                break;
            case Signal::Silence: v = 0; break;
            case Signal::WhiteNoise: v = random16(); break;
            case Signal::Square: v = (std::fmod(t * (150 + 40 * c), 1.0) < 0.5) ? 32767 : -32768; break;
            case Signal::Clipped: v = 4 * 32767 * std::sin(2 * M_PI * (97 + 13 * c) * t); break;
            case Signal::Extremes:  // random full-scale values, the channels in opposite phase
                v = c ? -1 - pcm[size_t(i) * channels] : (random16() & 1 ? 32767 : -32768);
                break;
            case Signal::DualMono:
                v = c ? pcm[size_t(i) * channels] : 7000 * std::sin(2 * M_PI * 330 * t) + (random16() >> 5);
                break;
            }
            pcm[size_t(i) * channels + c] = int16_t(std::lround(std::fmax(-32768, std::fmin(32767, v))));
        }
    }
    return pcm;
}

int EncodeApe(const std::string& path, const std::vector<int16_t>& pcm, int channels, int rate, int level,
              size_t chunkBytes, int maxAudioBytes)
{
    int error = 0;
    APE_COMPRESS_HANDLE h = c_APECompress_Create(&error);
    if (!h) return error ? error : -1;
    MAC_WAVEFORMATEX format;
    FillWaveFormatEx(&format, rate, 16, channels);
    int rc = c_APECompress_Start(h, path.c_str(), &format, maxAudioBytes, level, nullptr,
                                 CREATE_WAV_HEADER_ON_DECOMPRESSION);
    if (rc == 0) {
        std::vector<unsigned char> bytes(pcm.size() * 2);
        for (size_t i = 0; i < pcm.size(); ++i) {
            bytes[2 * i] = uint8_t(uint16_t(pcm[i]));
            bytes[2 * i + 1] = uint8_t(uint16_t(pcm[i]) >> 8);
        }
        for (size_t at = 0; at < bytes.size() && rc == 0; at += chunkBytes) {
            const size_t n = std::min(chunkBytes, bytes.size() - at);
            rc = c_APECompress_AddData(h, bytes.data() + at, int(n));
        }
        const int finished = c_APECompress_Finish(h, nullptr, 0, 0);
        if (rc == 0) rc = finished;
    }
    c_APECompress_Destroy(h);
    return rc;
}

std::vector<int16_t> DecodeApe(const std::string& path, int* result)
{
    std::vector<int16_t> out;
    if (result) *result = 0;
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path.c_str(), &error);
    if (!h) {
        if (result) *result = error ? error : -1;
        return out;
    }
    const int align = c_APEDecompress_GetInfo(h, APE_INFO_BLOCK_ALIGN, 0, 0);
    std::vector<char> buffer(size_t(align) * 4096);
    for (;;) {
        int got = 0;
        int rc = c_APEDecompress_GetData(h, buffer.data(), 4096, &got);
        const auto* s = reinterpret_cast<const uint8_t*>(buffer.data());
        for (int i = 0; i < got * align / 2; ++i) out.push_back(int16_t(s[2 * i] | s[2 * i + 1] << 8));
        if (rc != 0) {
            if (result) *result = rc;
            break;
        }
        if (got == 0) break;
    }
    c_APEDecompress_Destroy(h);
    return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
