#include "asf_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

struct AsfDecoder::StreamState {
    bool selected = true;
    bool compressed = false;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    bool codecFailed = false;
    int64_t nextTime = 0;  // 100-ns, for frames without a time stamp of their own
    int64_t lastStamp = INT64_MIN;
    AVRational timeBase{1, 1000};

    ~StreamState() { reset(); }
    void reset()
    {
        avcodec_free_context(&codec);
        swr_free(&swr);
        codecFailed = false;
    }
};

namespace {

int64_t To100ns(int64_t ts, AVRational tb) { return av_rescale_q(ts, tb, AVRational{1, 10000000}); }

}  // namespace

AsfDecoder::AsfDecoder() = default;
AsfDecoder::~AsfDecoder() { close(); }

bool AsfDecoder::open(const std::string& path)
{
    close();
    const AVInputFormat* asf = av_find_input_format("asf");
    if (avformat_open_input(&fmt_, path.c_str(), asf, nullptr) < 0) {
        fmt_ = nullptr;
        return false;
    }
    if (avformat_find_stream_info(fmt_, nullptr) < 0) {
        close();
        return false;
    }
    for (unsigned i = 0; i < fmt_->nb_streams; ++i) {
        AVStream* st = fmt_->streams[i];
        AsfStreamInfo info;
        info.index = static_cast<int>(i);
        info.audio = st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
        info.video = st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        int ch = st->codecpar->ch_layout.nb_channels;
        info.channels = ch > 2 ? 2 : ch;
        info.sampleRate = st->codecpar->sample_rate;
        info.bitrate = st->codecpar->bit_rate;
        info.codecTag = st->codecpar->codec_tag;
        if (info.audio && (info.channels < 1 || info.sampleRate <= 0)) info.audio = false;  // nothing decodable
        streams_.push_back(info);
        auto state = std::make_unique<StreamState>();
        state->timeBase = st->time_base;
        states_.push_back(std::move(state));
    }
    return true;
}

void AsfDecoder::close()
{
    states_.clear();
    streams_.clear();
    ready_.clear();
    if (fmt_) avformat_close_input(&fmt_);
    fmt_ = nullptr;
    ended_ = false;
    rangeStart_ = rangeEnd_ = 0;
}

void AsfDecoder::setSelected(int stream, bool on)
{
    if (stream >= 0 && stream < static_cast<int>(states_.size())) states_[stream]->selected = on;
}

bool AsfDecoder::selected(int stream) const
{
    return stream >= 0 && stream < static_cast<int>(states_.size()) && states_[stream]->selected;
}

void AsfDecoder::setCompressed(int stream, bool on)
{
    if (stream >= 0 && stream < static_cast<int>(states_.size())) states_[stream]->compressed = on;
}

bool AsfDecoder::compressed(int stream) const
{
    return stream >= 0 && stream < static_cast<int>(states_.size()) && states_[stream]->compressed;
}

bool AsfDecoder::seekTo(uint64_t target)
{
    int64_t us = static_cast<int64_t>(target / 10);
    if (av_seek_frame(fmt_, -1, us, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(fmt_, -1, us, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return false;
    for (auto& s : states_) {
        if (s->codec) avcodec_flush_buffers(s->codec);
        s->nextTime = static_cast<int64_t>(target);
        s->lastStamp = INT64_MIN;
    }
    ready_.clear();
    ended_ = false;
    return true;
}

bool AsfDecoder::setRange(uint64_t start, uint64_t duration)
{
    if (!fmt_) return false;
    // The demuxer may land after the wanted time: step back until the data starts at or before it.
    rangeStart_ = rangeEnd_ = 0;
    uint64_t back = 0;
    for (int attempt = 0;; ++attempt) {
        uint64_t target = start > back ? start - back : 0;
        if (!seekTo(target)) return false;
        AsfBlock first;
        bool got = next(first);
        if (!got || first.time <= start || target == 0 || attempt == 6) {
            if (got) ready_.push_front(std::move(first));
            break;
        }
        back = back ? back * 2 : 10000000;
    }
    rangeStart_ = start;
    rangeEnd_ = duration ? start + duration : 0;
    std::deque<AsfBlock> kept;
    for (AsfBlock& b : ready_)
        if (keep(b)) kept.push_back(std::move(b));
    ready_.swap(kept);
    return true;
}

// Cuts a decoded block to the range; false when nothing of it is left.
bool AsfDecoder::keep(AsfBlock& block) const
{
    if (rangeEnd_ && block.time >= rangeEnd_) return false;
    if (block.compressed || block.time >= rangeStart_) return true;
    uint64_t end = block.time + block.duration;
    if (end <= rangeStart_ || block.duration == 0) return false;
    const AsfStreamInfo& info = streams_[block.stream];
    size_t frameBytes = static_cast<size_t>(info.channels) * 2;
    uint64_t skipSamples = (rangeStart_ - block.time) * static_cast<uint64_t>(info.sampleRate) / 10000000;
    size_t skip = static_cast<size_t>(skipSamples) * frameBytes;
    if (skip >= block.data.size()) return false;
    block.data.erase(block.data.begin(), block.data.begin() + static_cast<std::ptrdiff_t>(skip));
    block.duration = end - rangeStart_;
    block.time = rangeStart_;
    return true;
}

void AsfDecoder::decode(int stream)
{
    StreamState& s = *states_[stream];
    AVFrame* frame = av_frame_alloc();
    if (!frame) return;
    while (avcodec_receive_frame(s.codec, frame) >= 0) {
        const AsfStreamInfo& info = streams_[stream];
        AsfBlock block;
        block.stream = stream;
        // Frames after the first of a packet carry the packet's stamp again: they follow on.
        int64_t ts = frame->best_effort_timestamp;
        int64_t stamp = ts != AV_NOPTS_VALUE ? To100ns(ts, s.timeBase) : INT64_MIN;
        bool fresh = stamp != INT64_MIN && stamp != s.lastStamp;
        block.time = static_cast<uint64_t>(fresh ? stamp : s.nextTime);
        if (stamp != INT64_MIN) s.lastStamp = stamp;
        int outSamples = swr_get_out_samples(s.swr, frame->nb_samples);
        if (outSamples > 0) {
            block.data.resize(static_cast<size_t>(outSamples) * info.channels * 2);
            uint8_t* out = block.data.data();
            int got = swr_convert(s.swr, &out, outSamples, const_cast<const uint8_t**>(frame->extended_data),
                                  frame->nb_samples);
            block.data.resize(got > 0 ? static_cast<size_t>(got) * info.channels * 2 : 0);
            block.duration = got > 0 ? static_cast<uint64_t>(got) * 10000000 / info.sampleRate : 0;
        }
        s.nextTime = static_cast<int64_t>(block.time + block.duration);
        av_frame_unref(frame);
        if (!block.data.empty() && keep(block)) ready_.push_back(std::move(block));
    }
    av_frame_free(&frame);
}

bool AsfDecoder::readPacket()
{
    AVPacket* pkt = av_packet_alloc();
    if (!pkt) return false;
    int rc = av_read_frame(fmt_, pkt);
    if (rc < 0) {
        av_packet_free(&pkt);
        return false;
    }
    int index = pkt->stream_index;
    if (index >= 0 && index < static_cast<int>(states_.size()) && states_[index]->selected) {
        StreamState& s = *states_[index];
        const AsfStreamInfo& info = streams_[index];
        if (s.compressed || !info.audio) {
            AsfBlock block;
            block.stream = index;
            block.compressed = true;
            int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
            block.time = ts != AV_NOPTS_VALUE ? static_cast<uint64_t>(To100ns(ts, s.timeBase)) : 0;
            block.duration = static_cast<uint64_t>(To100ns(pkt->duration, s.timeBase));
            block.data.assign(pkt->data, pkt->data + pkt->size);
            if (keep(block)) ready_.push_back(std::move(block));
        } else {
            if (!s.codec && !s.codecFailed) {
                AVStream* st = fmt_->streams[index];
                const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
                s.codec = codec ? avcodec_alloc_context3(codec) : nullptr;
                AVChannelLayout outLayout;
                av_channel_layout_default(&outLayout, info.channels);
                bool ok = s.codec && avcodec_parameters_to_context(s.codec, st->codecpar) >= 0 &&
                          avcodec_open2(s.codec, codec, nullptr) >= 0 &&
                          swr_alloc_set_opts2(&s.swr, &outLayout, AV_SAMPLE_FMT_S16, info.sampleRate,
                                              &s.codec->ch_layout, s.codec->sample_fmt, s.codec->sample_rate, 0,
                                              nullptr) >= 0 &&
                          swr_init(s.swr) >= 0;
                av_channel_layout_uninit(&outLayout);
                if (!ok) {
                    s.reset();
                    s.codecFailed = true;
                }
            }
            // A packet the decoder refuses is dropped; the stream goes on.
            if (s.codec && avcodec_send_packet(s.codec, pkt) >= 0) decode(index);
        }
    }
    av_packet_free(&pkt);
    return true;
}

bool AsfDecoder::next(AsfBlock& block)
{
    if (!fmt_) return false;
    while (ready_.empty()) {
        if (ended_) return false;
        if (!readPacket()) {
            ended_ = true;
            for (size_t i = 0; i < states_.size(); ++i) {
                StreamState& s = *states_[i];
                if (s.codec && s.selected && avcodec_send_packet(s.codec, nullptr) >= 0) decode(static_cast<int>(i));
            }
        }
    }
    block = std::move(ready_.front());
    ready_.pop_front();
    return true;
}
