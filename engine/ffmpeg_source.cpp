#include "ffmpeg_source.h"

#include "engine_result.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

FfmpegSource::~FfmpegSource()
{
    close();
    av_freep(&decoded_);
}

int32_t FfmpegSource::open(const char* path, int32_t wantedStream)
{
    close();
    std::string url = std::string("file:") + path;
    if (avformat_open_input(&input_, url.c_str(), nullptr, nullptr) < 0) {
        input_ = nullptr;
        return kErrOpenFile;
    }
    if (avformat_find_stream_info(input_, nullptr) < 0) {
        close();
        return kErrOpenFile;
    }
    int wanted = wantedStream < 0 ? 0 : wantedStream;
    int audioCount = 0;
    for (unsigned i = 0; i < input_->nb_streams && streamIndex_ < 0; ++i) {
        AVCodecParameters* par = input_->streams[i]->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        if (audioCount++ < wanted) continue;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) continue;
        AVCodecContext* ctx = avcodec_alloc_context3(codec);
        if (!ctx) continue;
        if (avcodec_parameters_to_context(ctx, par) < 0 || ctx->sample_rate <= 0) {
            avcodec_free_context(&ctx);
            continue;
        }
        ctx->workaround_bugs = FF_BUG_AUTODETECT;
        if (avcodec_open2(ctx, codec, nullptr) < 0) {
            avcodec_free_context(&ctx);
            continue;
        }
        decoder_ = ctx;
        streamIndex_ = static_cast<int>(i);
    }
    if (streamIndex_ < 0) {
        close();
        return kErrNoStream;
    }
    int ch = decoder_->ch_layout.nb_channels;
    channels_ = ch > 2 ? 2 : (ch < 1 ? 1 : ch);
    sampleRate_ = decoder_->sample_rate;
    outRate_ = sampleRate_;
    outChannels_ = channels_;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!decoded_) decoded_ = static_cast<uint8_t*>(av_malloc(kDecodedCapacity));
    if (!packet_ || !frame_ || !decoded_) {
        close();
        return kErrOpenFile;
    }
    return kOk;
}

void FfmpegSource::close()
{
    swr_free(&convert_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&decoder_);
    if (input_) avformat_close_input(&input_);
    input_ = nullptr;
    streamIndex_ = -1;
    sampleRate_ = channels_ = outRate_ = outChannels_ = 0;
    converterReady_ = passThrough_ = frameHeld_ = inputEnded_ = converterFlushed_ = false;
    frameOffset_ = 0;
    decodedRead_ = decodedCount_ = 0;
}

int64_t FfmpegSource::containerWholeSeconds() const
{
    if (!input_ || input_->duration == AV_NOPTS_VALUE || input_->duration < 0) return 0;
    return input_->duration / 1000000;
}

bool FfmpegSource::setOutputFormat(int32_t outRate, int32_t outChannels)
{
    if (!input_ || outRate < 1 || outChannels < 1 || outChannels > 2) return false;
    outRate_ = outRate;
    outChannels_ = outChannels;
    swr_free(&convert_);
    converterReady_ = false;
    return true;
}

int32_t FfmpegSource::seekUs(int64_t us)
{
    if (!input_) return kErrSeek;
    if (av_seek_frame(input_, -1, us, AVSEEK_FLAG_BACKWARD) < 0) return kErrSeek;
    avcodec_flush_buffers(decoder_);
    releasePacket();
    av_frame_unref(frame_);
    frameHeld_ = false;
    frameOffset_ = 0;
    decodedRead_ = decodedCount_ = 0;
    inputEnded_ = converterFlushed_ = false;
    if (convert_) {
        swr_free(&convert_);
        converterReady_ = false;
    }
    return kOk;
}

void FfmpegSource::releasePacket() { av_packet_unref(packet_); }

bool FfmpegSource::configureConverter()
{
    swr_free(&convert_);
    const AVChannelLayout& inLayout = frame_->ch_layout;
    int inChannels = inLayout.nb_channels;
    AVSampleFormat inFormat = static_cast<AVSampleFormat>(frame_->format);
    passThrough_ = inFormat == AV_SAMPLE_FMT_S16 && inChannels == outChannels_ && frame_->sample_rate == outRate_;
    if (!passThrough_) {
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, outChannels_);
        AVChannelLayout inCopy;
        if (inLayout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&inLayout) == 0)
            av_channel_layout_default(&inCopy, inChannels);
        else
            av_channel_layout_copy(&inCopy, &inLayout);
        int rc = swr_alloc_set_opts2(&convert_, &outLayout, AV_SAMPLE_FMT_S16, outRate_, &inCopy, inFormat,
                                     frame_->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        av_channel_layout_uninit(&inCopy);
        if (rc < 0 || swr_init(convert_) < 0) {
            swr_free(&convert_);
            return false;
        }
    }
    cfgFormat_ = frame_->format;
    cfgChannels_ = inChannels;
    cfgRate_ = frame_->sample_rate;
    converterReady_ = true;
    return true;
}

// Pulls the next decoded frame, feeding packets of the chosen stream; false at the end.
bool FfmpegSource::receiveFrame()
{
    for (;;) {
        int rc = avcodec_receive_frame(decoder_, frame_);
        if (rc == 0) {
            if (frame_->nb_samples <= 0 || frame_->sample_rate <= 0 || frame_->ch_layout.nb_channels <= 0) {
                av_frame_unref(frame_);
                continue;
            }
            return true;
        }
        if (rc == AVERROR_EOF || inputEnded_) return false;
        // EAGAIN, or a broken frame that is skipped: feed the next packet of our stream.
        for (;;) {
            releasePacket();
            int r = av_read_frame(input_, packet_);
            if (r < 0) {
                releasePacket();
                inputEnded_ = true;
                avcodec_send_packet(decoder_, nullptr);  // drain what the decoder still holds
                break;
            }
            if (packet_->stream_index != streamIndex_) continue;
            int s = avcodec_send_packet(decoder_, packet_);
            releasePacket();
            if (s == 0 || s == AVERROR(EAGAIN)) break;
            // Decode failure: the packet is dropped.
        }
        if (inputEnded_) {
            rc = avcodec_receive_frame(decoder_, frame_);
            while (rc == 0 && frame_->nb_samples <= 0) {
                av_frame_unref(frame_);
                rc = avcodec_receive_frame(decoder_, frame_);
            }
            return rc == 0;
        }
    }
}

// Converts the next piece of the held frame into the decoded-PCM buffer.
bool FfmpegSource::convertFromFrame()
{
    if (!converterReady_ && !configureConverter()) return false;
    const int outFrameBytes = 2 * outChannels_;
    const int capacitySamples = kDecodedCapacity / outFrameBytes;
    decodedRead_ = 0;
    decodedCount_ = 0;
    int remaining = frame_->nb_samples - frameOffset_;
    if (passThrough_) {
        int take = std::min(remaining, capacitySamples);
        std::memcpy(decoded_, frame_->data[0] + static_cast<size_t>(frameOffset_) * outFrameBytes,
                    static_cast<size_t>(take) * outFrameBytes);
        decodedCount_ = take * outFrameBytes;
        frameOffset_ += take;
    } else {
        int take = remaining;
        while (take > 1 && swr_get_out_samples(convert_, take) > capacitySamples) take /= 2;
        const int bytesPerInSample = av_get_bytes_per_sample(static_cast<AVSampleFormat>(frame_->format));
        const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame_->format));
        const int inChannels = frame_->ch_layout.nb_channels;
        const uint8_t* in[64];
        int planes = planar ? std::min(inChannels, 64) : 1;
        for (int p = 0; p < planes; ++p) {
            size_t step = planar ? bytesPerInSample : static_cast<size_t>(bytesPerInSample) * inChannels;
            in[p] = frame_->extended_data[p] + step * frameOffset_;
        }
        uint8_t* out[1] = {decoded_};
        int n = swr_convert(convert_, out, capacitySamples, in, take);
        if (n < 0) return false;
        decodedCount_ = n * outFrameBytes;
        frameOffset_ += take;
    }
    if (frameOffset_ >= frame_->nb_samples) {
        av_frame_unref(frame_);
        frameHeld_ = false;
        frameOffset_ = 0;
    }
    return true;
}

// Produces more decoded PCM; false when the input has nothing more.
bool FfmpegSource::decodePiece()
{
    for (;;) {
        if (!frameHeld_) {
            if (!receiveFrame()) {
                // End of input: let a resampler give out its delayed tail once.
                if (convert_ && !converterFlushed_) {
                    converterFlushed_ = true;
                    uint8_t* out[1] = {decoded_};
                    int n = swr_convert(convert_, out, kDecodedCapacity / (2 * outChannels_), nullptr, 0);
                    decodedRead_ = 0;
                    decodedCount_ = n > 0 ? n * 2 * outChannels_ : 0;
                    if (decodedCount_ > 0) return true;
                }
                return false;
            }
            frameHeld_ = true;
            frameOffset_ = 0;
            // A frame in another format than the converter was made for needs a new one.
            if (converterReady_ && (frame_->format != cfgFormat_ || frame_->ch_layout.nb_channels != cfgChannels_ ||
                                    frame_->sample_rate != cfgRate_))
                converterReady_ = false;
        }
        if (!convertFromFrame()) {
            av_frame_unref(frame_);
            frameHeld_ = false;
            continue;
        }
        if (decodedCount_ > 0) return true;
    }
}

int32_t FfmpegSource::fill(uint8_t* dst, int32_t length)
{
    if (!input_) return kEndOfData;
    int32_t filled = 0;
    for (;;) {
        int take = std::min(decodedCount_ - decodedRead_, length - filled);
        if (take > 0) {
            std::memcpy(dst + filled, decoded_ + decodedRead_, take);
            decodedRead_ += take;
            filled += take;
        }
        if (filled >= length) return filled;
        if (!decodePiece()) return kEndOfData;
    }
}
