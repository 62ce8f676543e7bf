#pragma once
// The Windows Media audio codecs this layer can encode with FFmpeg, and their formats.
// Portable code, no Windows headers.
#include <cstdint>
#include <string>
#include <vector>

struct WmaFormat {
    int32_t bitrate;     // bits per second
    int32_t sampleRate;
    int32_t channels;
};

struct WmaCodec {
    std::u16string name;
    uint16_t formatTag;  // WAVEFORMATEX tag: 0x161 version 2, 0x160 version 1
    std::vector<WmaFormat> cbrFormats;
};

// Codecs whose FFmpeg encoder is present, best first.
const std::vector<WmaCodec>& WmaCodecs();
const WmaCodec* WmaCodecForTag(uint16_t formatTag);

// "128 kbps, 44 kHz, stereo CBR"
std::u16string WmaFormatDescription(const WmaFormat& format);

// Block alignment of one coded superframe for a format, as the encoder computes it.
int32_t WmaBlockAlign(const WmaFormat& format);
