#include "asf_encoder.h"

#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

AsfEncoder::~AsfEncoder() { release(); }

void AsfEncoder::release()
{
    if (fmt_) {
        if (fmt_->pb) avio_closep(&fmt_->pb);
        avformat_free_context(fmt_);
        fmt_ = nullptr;
    }
    avcodec_free_context(&codec_);
    swr_free(&swr_);
    if (fifo_) av_audio_fifo_free(fifo_);
    fifo_ = nullptr;
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    nextPts_ = 0;
    failed_ = false;
}

bool AsfEncoder::open(const std::string& path, const AsfEncoderSettings& settings)
{
    release();
    AVCodecID id = settings.formatTag == 0x160 ? AV_CODEC_ID_WMAV1 : AV_CODEC_ID_WMAV2;
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec || settings.channels < 1 || settings.channels > 2 || settings.sampleRate <= 0) return false;
    if (avformat_alloc_output_context2(&fmt_, nullptr, "asf", path.c_str()) < 0) {
        fmt_ = nullptr;
        return false;
    }
    fmt_->flags |= AVFMT_FLAG_BITEXACT;  // no encoder tag: the attributes are the caller's
    AVStream* st = avformat_new_stream(fmt_, nullptr);
    codec_ = avcodec_alloc_context3(codec);
    if (!st || !codec_) return release(), false;
    channels_ = settings.channels;
    av_channel_layout_default(&codec_->ch_layout, settings.channels);
    codec_->sample_rate = settings.sampleRate;
    codec_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    codec_->bit_rate = settings.bitrate;
    codec_->time_base = AVRational{1, settings.sampleRate};
    if (fmt_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(codec_, codec, nullptr) < 0 || avcodec_parameters_from_context(st->codecpar, codec_) < 0)
        return release(), false;
    st->time_base = codec_->time_base;
    if (!settings.language.empty()) av_dict_set(&st->metadata, "language", settings.language.c_str(), 0);

    AVChannelLayout inLayout;
    av_channel_layout_default(&inLayout, settings.channels);
    bool ok = swr_alloc_set_opts2(&swr_, &codec_->ch_layout, codec_->sample_fmt, settings.sampleRate, &inLayout,
                                  AV_SAMPLE_FMT_S16, settings.sampleRate, 0, nullptr) >= 0 &&
              swr_init(swr_) >= 0;
    av_channel_layout_uninit(&inLayout);
    fifo_ = av_audio_fifo_alloc(codec_->sample_fmt, settings.channels, codec_->frame_size * 4);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!ok || !fifo_ || !frame_ || !packet_) return release(), false;
    if (avio_open(&fmt_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return release(), false;
    if (avformat_write_header(fmt_, nullptr) < 0) {
        release();
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool AsfEncoder::write(const int16_t* pcm, int32_t samples)
{
    if (!fmt_ || failed_ || samples < 0) return false;
    if (samples == 0) return true;
    int outMax = swr_get_out_samples(swr_, samples);
    if (outMax <= 0) return true;
    uint8_t** planes = nullptr;
    if (av_samples_alloc_array_and_samples(&planes, nullptr, channels_, outMax, codec_->sample_fmt, 0) < 0)
        return false;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(pcm);
    int got = swr_convert(swr_, planes, outMax, &in, samples);
    bool ok = got >= 0 && av_audio_fifo_write(fifo_, reinterpret_cast<void**>(planes), got) == got;
    av_freep(&planes[0]);
    av_freep(&planes);
    ok = ok && encodeFrames(false);
    if (!ok) failed_ = true;
    return ok;
}

bool AsfEncoder::encodeFrames(bool flush)
{
    const int frameSize = codec_->frame_size;
    while (av_audio_fifo_size(fifo_) >= frameSize || (flush && av_audio_fifo_size(fifo_) > 0)) {
        av_frame_unref(frame_);
        frame_->nb_samples = frameSize;
        frame_->format = codec_->sample_fmt;
        frame_->sample_rate = codec_->sample_rate;
        if (av_channel_layout_copy(&frame_->ch_layout, &codec_->ch_layout) < 0 || av_frame_get_buffer(frame_, 0) < 0)
            return false;
        int have = av_audio_fifo_size(fifo_);
        int take = have < frameSize ? have : frameSize;
        if (av_audio_fifo_read(fifo_, reinterpret_cast<void**>(frame_->data), take) != take) return false;
        if (take < frameSize)  // the last frame is padded with silence
            av_samples_set_silence(frame_->data, take, frameSize - take, channels_, codec_->sample_fmt);
        frame_->pts = nextPts_;
        nextPts_ += frameSize;
        if (avcodec_send_frame(codec_, frame_) < 0 || !drainPackets()) return false;
    }
    return true;
}

bool AsfEncoder::drainPackets()
{
    for (;;) {
        int rc = avcodec_receive_packet(codec_, packet_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return false;
        av_packet_rescale_ts(packet_, codec_->time_base, fmt_->streams[0]->time_base);
        packet_->stream_index = 0;
        if (av_interleaved_write_frame(fmt_, packet_) < 0) return false;
    }
}

bool AsfEncoder::finish()
{
    if (!fmt_) return false;
    bool ok = !failed_ && encodeFrames(true) && avcodec_send_frame(codec_, nullptr) >= 0 && drainPackets();
    ok = av_write_trailer(fmt_) >= 0 && ok;
    ok = avio_closep(&fmt_->pb) >= 0 && ok;
    release();
    return ok;
}
