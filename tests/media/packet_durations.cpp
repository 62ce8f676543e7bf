#include "packet_durations.h"

extern "C" {
#include <libavformat/avformat.h>
}

PacketSum SumAudioPackets(const std::string& path)
{
    PacketSum r;
    AVFormatContext* ic = nullptr;
    if (avformat_open_input(&ic, ("file:" + path).c_str(), nullptr, nullptr) < 0) return r;
    if (avformat_find_stream_info(ic, nullptr) < 0) {
        avformat_close_input(&ic);
        return r;
    }
    int index = av_find_best_stream(ic, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index >= 0) {
        const AVRational tb = ic->streams[index]->time_base;
        AVPacket* pkt = av_packet_alloc();
        int64_t total = 0;
        while (av_read_frame(ic, pkt) >= 0) {
            if (pkt->stream_index == index) {
                ++r.packets;
                total += pkt->duration;
                if (r.frameSeconds == 0) r.frameSeconds = pkt->duration * av_q2d(tb);
            }
            av_packet_unref(pkt);
        }
        av_packet_free(&pkt);
        r.seconds = total * av_q2d(tb);
        r.ok = true;
    }
    r.containerSeconds = ic->duration > 0 ? ic->duration / 1e6 : 0;
    avformat_close_input(&ic);
    return r;
}
