#include "pcm_resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

PcmResampler::~PcmResampler() { close(); }

bool PcmResampler::open(int32_t outChannels, int32_t inChannels, int32_t outRate, int32_t inRate)
{
    close();
    if (outChannels < 1 || inChannels < 1 || outRate < 1 || inRate < 1) return false;
    AVChannelLayout outLayout, inLayout;
    av_channel_layout_default(&outLayout, outChannels);
    av_channel_layout_default(&inLayout, inChannels);
    int rc = swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout, AV_SAMPLE_FMT_S16,
                                 inRate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    av_channel_layout_uninit(&inLayout);
    if (rc < 0 || swr_init(swr_) < 0) {
        swr_free(&swr_);
        return false;
    }
    outChannels_ = outChannels;
    inChannels_ = inChannels;
    outRate_ = outRate;
    inRate_ = inRate;
    return true;
}

void PcmResampler::close()
{
    swr_free(&swr_);
    outChannels_ = inChannels_ = outRate_ = inRate_ = 0;
}

int32_t PcmResampler::resample(int16_t* out, int32_t outCapacity, const int16_t* in, int32_t inSamples)
{
    if (!swr_ || inSamples < 0 || outCapacity < 0) return -1;
    uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(out)};
    const uint8_t* inPlanes[1] = {reinterpret_cast<const uint8_t*>(in)};
    int n = swr_convert(swr_, outPlanes, outCapacity, in ? inPlanes : nullptr, inSamples);
    return n < 0 ? -1 : n;
}
