#include "ffmpeg_sink.h"

#include "engine_result.h"
#include "ogg_tag_block.h"
#include "text_codepage.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

namespace {
// The codec's preferred encoder: LAME for MP3 and libvorbis for Ogg Vorbis, as the catalogue names them.
const AVCodec* FindEncoder(AVCodecID id)
{
    const char* preferred = nullptr;
    if (id == AV_CODEC_ID_MP3) preferred = "libmp3lame";
    if (id == AV_CODEC_ID_VORBIS) preferred = "libvorbis";
    if (id == AV_CODEC_ID_MP2) preferred = "mp2";
    if (preferred)
        if (const AVCodec* c = avcodec_find_encoder_by_name(preferred)) return c;
    return avcodec_find_encoder(id);
}

AVSampleFormat ChooseSampleFormat(const AVCodec* codec)
{
    const AVSampleFormat* fmts = codec->sample_fmts;
    if (!fmts) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P) return *f;
    for (const AVSampleFormat* f = fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_FLT || *f == AV_SAMPLE_FMT_S32P ||
            *f == AV_SAMPLE_FMT_S32)
            return *f;
    return AV_SAMPLE_FMT_NONE;
}

void SetText(AVDictionary** dict, const char* key, const char* ansi)
{
    if (!ansi[0]) return;
    av_dict_set(dict, key, AnsiToUtf8(ansi).c_str(), 0);
}

void SetNumber(AVDictionary** dict, const char* key, int32_t value)
{
    if (value != 0) av_dict_set_int(dict, key, value, 0);
}
}  // namespace

FfmpegSink::~FfmpegSink() { release(); }

int32_t FfmpegSink::open(int32_t sampleRate, int32_t bitRate, int32_t channels, const char* path,
                         const MediaInfo& tags)
{
    release();
    const AVOutputFormat* format = av_guess_format(nullptr, path, nullptr);
    if (!format || format->audio_codec == AV_CODEC_ID_NONE) return kErrOpenFile;
    if (avformat_alloc_output_context2(&output_, format, nullptr, nullptr) < 0 || !output_) {
        output_ = nullptr;
        return kErrOpenFile;
    }
    output_->url = av_strdup((std::string("file:") + path).c_str());

    const AVCodecID codecId = format->audio_codec;
    const bool ogg = codecId == AV_CODEC_ID_VORBIS;
    stream_ = avformat_new_stream(output_, nullptr);
    if (!stream_) {
        release();
        return kEndOfData;
    }
    stream_->id = 0;
    const AVCodec* codec = FindEncoder(codecId);
    AVSampleFormat sampleFormat = codec ? ChooseSampleFormat(codec) : AV_SAMPLE_FMT_NONE;
    if (!codec || sampleFormat == AV_SAMPLE_FMT_NONE) {
        release();
        return kErrOpenEncoder;
    }
    encoder_ = avcodec_alloc_context3(codec);
    if (!encoder_) {
        release();
        return kErrOpenEncoder;
    }
    encoder_->codec_type = AVMEDIA_TYPE_AUDIO;
    encoder_->bit_rate = bitRate;
    encoder_->sample_rate = sampleRate;
    av_channel_layout_default(&encoder_->ch_layout, channels);
    encoder_->sample_fmt = sampleFormat;
    encoder_->time_base = AVRational{1, sampleRate};
    encoder_->workaround_bugs = FF_BUG_AUTODETECT;
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    uint8_t* tagBlock = nullptr;
    if (ogg) {
        // The tag block travels as extra data; the encoder replaces it with its own headers.
        tagBlock = static_cast<uint8_t*>(av_mallocz(sizeof(MediaInfo) + AV_INPUT_BUFFER_PADDING_SIZE));
        if (tagBlock) {
            BuildOggTagBlock(tags, tagBlock);
            encoder_->extradata = tagBlock;
            encoder_->extradata_size = sizeof(MediaInfo);
        }
    }
    // On failure the codec context owns (and frees) whatever extra data it holds.
    if (avcodec_open2(encoder_, codec, nullptr) < 0) {
        release();
        return kErrOpenEncoder;
    }
    if (tagBlock && encoder_->extradata != tagBlock) av_free(tagBlock);
    if (avcodec_parameters_from_context(stream_->codecpar, encoder_) < 0) {
        release();
        return kErrOpenEncoder;
    }
    stream_->time_base = encoder_->time_base;

    channels_ = channels;
    sampleRate_ = sampleRate;
    codecName_ = codec->name;
    if (encoder_->frame_size <= 1) {
        frameSamples_ = (10000 / channels) / 2;
        frameBytes_ = 10000;
    } else {
        frameSamples_ = encoder_->frame_size;
        frameBytes_ = encoder_->frame_size * channels * 2;
    }
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) {
        release();
        return kErrOpenEncoder;
    }
    frame_->format = sampleFormat;
    frame_->nb_samples = frameSamples_;
    frame_->sample_rate = sampleRate;
    av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout);
    if (av_frame_get_buffer(frame_, 0) < 0) {
        release();
        return kErrOpenEncoder;
    }
    setTags(tags, ogg);
    samplesSent_ = 0;
    return kOk;
}

void FfmpegSink::setTags(const MediaInfo& info, bool ogg)
{
    // Ogg Vorbis carries the six values of its tag block as stream comments.
    AVDictionary** dict = ogg ? &stream_->metadata : &output_->metadata;
    SetText(dict, "title", info.title);
    SetText(dict, "artist", info.artist);
    SetText(dict, "album", info.album);
    SetNumber(dict, "date", info.year);
    SetNumber(dict, "track", info.track);
    SetText(dict, "genre", info.genre);
    if (!ogg) {
        SetText(dict, "copyright", info.copyright);
        SetText(dict, "comment", info.comment);
    }
}

int32_t FfmpegSink::begin()
{
    if (!output_) return kErrOpenFile;
    if (!(output_->oformat->flags & AVFMT_NOFILE) &&
        avio_open(&output_->pb, output_->url, AVIO_FLAG_WRITE) < 0) {
        output_->pb = nullptr;
        return kErrOpenFile;
    }
    if (avformat_write_header(output_, nullptr) < 0) return kErrOpenFile;
    headerWritten_ = true;
    return kOk;
}

void FfmpegSink::convertToFrame(const uint8_t* pcm)
{
    const int16_t* in = reinterpret_cast<const int16_t*>(pcm);
    const int n = frameSamples_;
    const int ch = channels_;
    switch (static_cast<AVSampleFormat>(frame_->format)) {
    case AV_SAMPLE_FMT_S16:
        std::memcpy(frame_->data[0], pcm, static_cast<size_t>(n) * ch * 2);
        break;
    case AV_SAMPLE_FMT_S16P:
        for (int c = 0; c < ch; ++c) {
            int16_t* out = reinterpret_cast<int16_t*>(frame_->extended_data[c]);
            for (int i = 0; i < n; ++i) out[i] = in[i * ch + c];
        }
        break;
    case AV_SAMPLE_FMT_FLTP:
        for (int c = 0; c < ch; ++c) {
            float* out = reinterpret_cast<float*>(frame_->extended_data[c]);
            for (int i = 0; i < n; ++i) out[i] = in[i * ch + c] * (1.0f / 32768.0f);
        }
        break;
    case AV_SAMPLE_FMT_FLT: {
        float* out = reinterpret_cast<float*>(frame_->data[0]);
        for (int i = 0; i < n * ch; ++i) out[i] = in[i] * (1.0f / 32768.0f);
        break;
    }
    case AV_SAMPLE_FMT_S32P:
        for (int c = 0; c < ch; ++c) {
            int32_t* out = reinterpret_cast<int32_t*>(frame_->extended_data[c]);
            for (int i = 0; i < n; ++i) out[i] = static_cast<int32_t>(in[i * ch + c]) * 65536;
        }
        break;
    case AV_SAMPLE_FMT_S32: {
        int32_t* out = reinterpret_cast<int32_t*>(frame_->data[0]);
        for (int i = 0; i < n * ch; ++i) out[i] = static_cast<int32_t>(in[i]) * 65536;
        break;
    }
    default:
        break;
    }
}

int32_t FfmpegSink::writePackets()
{
    for (;;) {
        int rc = avcodec_receive_packet(encoder_, packet_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return kOk;
        if (rc < 0) return kEndOfData;
        packet_->stream_index = stream_->index;
        packet_->flags |= AV_PKT_FLAG_KEY;
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        int w = av_write_frame(output_, packet_);
        av_packet_unref(packet_);
        if (w < 0) {
            writeFailed_ = true;
            return kEndOfData;
        }
    }
}

int32_t FfmpegSink::encodeFrame(const uint8_t* pcm)
{
    if (!headerWritten_ || writeFailed_) return kEndOfData;
    if (av_frame_make_writable(frame_) < 0) return kEndOfData;
    convertToFrame(pcm);
    frame_->nb_samples = frameSamples_;
    frame_->pts = samplesSent_;
    samplesSent_ += frameSamples_;
    if (avcodec_send_frame(encoder_, frame_) < 0) return kEndOfData;
    return writePackets();
}

void FfmpegSink::finish()
{
    if (headerWritten_) {
        if (!writeFailed_ && avcodec_send_frame(encoder_, nullptr) == 0) writePackets();
        av_write_trailer(output_);
    }
    release();
}

void FfmpegSink::release()
{
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&encoder_);
    if (output_) {
        if (output_->pb && !(output_->oformat->flags & AVFMT_NOFILE)) avio_closep(&output_->pb);
        avformat_free_context(output_);
    }
    output_ = nullptr;
    stream_ = nullptr;
    headerWritten_ = writeFailed_ = false;
    frameBytes_ = frameSamples_ = channels_ = sampleRate_ = 0;
    samplesSent_ = 0;
    codecName_.clear();
}
