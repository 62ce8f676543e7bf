#include "wma_codecs.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

std::vector<WmaFormat> StandardFormats()
{
    return {
        {320000, 48000, 2}, {256000, 48000, 2}, {192000, 48000, 2}, {192000, 44100, 2}, {160000, 48000, 2},
        {160000, 44100, 2}, {128000, 48000, 2}, {128000, 44100, 2}, {96000, 48000, 2},  {96000, 44100, 2},
        {80000, 44100, 2},  {64000, 48000, 2},  {64000, 44100, 2},  {48000, 44100, 2},  {48000, 32000, 2},
        {40000, 32000, 2},  {32000, 44100, 2},  {32000, 32000, 2},  {32000, 22050, 2},  {24000, 22050, 2},
        {64000, 44100, 1},  {48000, 44100, 1},  {32000, 44100, 1},  {32000, 32000, 1},  {32000, 22050, 1},
        {24000, 22050, 1},  {24000, 16000, 1},  {24000, 11025, 1},  {24000, 8000, 1},
    };
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

const std::vector<WmaCodec>& WmaCodecs()
{
    static const std::vector<WmaCodec> codecs = [] {
        std::vector<WmaCodec> list;
        if (avcodec_find_encoder(AV_CODEC_ID_WMAV2)) list.push_back({u"Windows Media Audio V2", 0x161, StandardFormats()});
        if (avcodec_find_encoder(AV_CODEC_ID_WMAV1)) list.push_back({u"Windows Media Audio V1", 0x160, StandardFormats()});
        return list;
    }();
    return codecs;
}

const WmaCodec* WmaCodecForTag(uint16_t formatTag)
{
    for (const WmaCodec& c : WmaCodecs())
        if (c.formatTag == formatTag) return &c;
    return nullptr;
}

std::u16string WmaFormatDescription(const WmaFormat& f)
{
    return Ascii(std::to_string(f.bitrate / 1000) + " kbps, " + std::to_string(f.sampleRate / 1000) + " kHz, " +
                 (f.channels == 1 ? "mono" : "stereo") + " CBR");
}

int32_t WmaBlockAlign(const WmaFormat& f)
{
    int frameLen = f.sampleRate <= 16000 ? 512 : f.sampleRate <= 22050 ? 1024 : 2048;
    int64_t align = static_cast<int64_t>(f.bitrate) * frameLen / (static_cast<int64_t>(f.sampleRate) * 8);
    return static_cast<int32_t>(align > 32768 ? 32768 : align);
}
