#include "media_probe.h"

#include <cctype>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace {
void AddTags(AVDictionary* dict, std::map<std::string, std::string>& tags)
{
    AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = e->key;
        for (auto& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        tags[key] = e->value;
    }
}

// Decodes the first audio stream, handing each frame as interleaved s16 to the sink.
template <typename Sink>
ProbeResult DecodeAll(const std::string& path, Sink&& sink)
{
    ProbeResult r;
    AVFormatContext* ic = nullptr;
    if (avformat_open_input(&ic, ("file:" + path).c_str(), nullptr, nullptr) < 0) return r;
    if (avformat_find_stream_info(ic, nullptr) < 0) {
        avformat_close_input(&ic);
        return r;
    }
    r.container = ic->iformat->name;
    AddTags(ic->metadata, r.tags);
    int index = -1;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        if (ic->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        ++r.audioStreams;
        if (index < 0) index = static_cast<int>(i);
    }
    if (index < 0) {
        avformat_close_input(&ic);
        r.ok = true;
        return r;
    }
    AVStream* st = ic->streams[index];
    AddTags(st->metadata, r.tags);
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    AVCodecContext* dec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!dec || avcodec_parameters_to_context(dec, st->codecpar) < 0 || avcodec_open2(dec, codec, nullptr) < 0) {
        avcodec_free_context(&dec);
        avformat_close_input(&ic);
        return r;
    }
    r.codec = codec->name;
    r.sampleRate = dec->sample_rate;
    r.channels = dec->ch_layout.nb_channels;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwrContext* swr = nullptr;
    std::vector<int16_t> buffer;
    auto drain = [&]() {
        while (avcodec_receive_frame(dec, frame) == 0) {
            if (!swr) {
                swr_alloc_set_opts2(&swr, &frame->ch_layout, AV_SAMPLE_FMT_S16, frame->sample_rate, &frame->ch_layout,
                                    static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
                swr_init(swr);
            }
            buffer.resize(static_cast<size_t>(frame->nb_samples) * frame->ch_layout.nb_channels);
            uint8_t* out[1] = {reinterpret_cast<uint8_t*>(buffer.data())};
            int n = swr_convert(swr, out, frame->nb_samples, const_cast<const uint8_t**>(frame->extended_data),
                                frame->nb_samples);
            if (n > 0) {
                r.samples += n;
                sink(buffer.data(), static_cast<size_t>(n) * frame->ch_layout.nb_channels);
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(ic, pkt) >= 0) {
        if (pkt->stream_index == index && avcodec_send_packet(dec, pkt) >= 0) drain();
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    r.seconds = r.sampleRate ? static_cast<double>(r.samples) / r.sampleRate : 0;
    r.ok = true;
    swr_free(&swr);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&ic);
    return r;
}
}  // namespace

ProbeResult Probe(const std::string& path)
{
    return DecodeAll(path, [](const int16_t*, size_t) {});
}

std::vector<int16_t> DecodePcm(const std::string& path, int* rate, int* channels)
{
    std::vector<int16_t> pcm;
    ProbeResult r = DecodeAll(path, [&](const int16_t* s, size_t n) { pcm.insert(pcm.end(), s, s + n); });
    if (rate) *rate = r.sampleRate;
    if (channels) *channels = r.channels;
    return pcm;
}
