#include "media_info_reader.h"

#include "format_catalogue.h"
#include "text_codepage.h"

#include <cstdlib>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {
void CopyTag(AVDictionary* dict, const char* key, char* field, size_t capacity)
{
    AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
    if (e && e->value) CopyFieldN(field, capacity, Utf8ToAnsi(e->value).c_str());
}

int32_t IntTag(AVDictionary* dict, const char* key)
{
    AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
    return e && e->value ? static_cast<int32_t>(std::atoi(e->value)) : 0;
}

EngineResult ReadWithFfmpeg(const char* path, MediaInfo* info, bool realMedia)
{
    AVFormatContext* input = nullptr;
    std::string url = std::string("file:") + path;
    if (avformat_open_input(&input, url.c_str(), nullptr, nullptr) < 0) return kErrOpenFile;
    if (avformat_find_stream_info(input, nullptr) < 0) {
        avformat_close_input(&input);
        return kErrOpenFile;
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* st = input->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        if (realMedia) {
            CopyField(info->formatName, "RealMedia");
        } else if (!codec) {
            avformat_close_input(&input);
            return kErrOpenDecoder;
        } else {
            CopyField(info->formatName, codec->name);
        }
        AVDictionary* m = input->metadata;
        CopyTag(m, "title", info->title, sizeof info->title);
        CopyTag(m, "artist", info->artist, sizeof info->artist);
        CopyTag(m, "copyright", info->copyright, sizeof info->copyright);
        CopyTag(m, "comment", info->comment, sizeof info->comment);
        CopyTag(m, "album", info->album, sizeof info->album);
        info->year = IntTag(m, "date");
        info->track = IntTag(m, "track");
        CopyTag(m, "genre", info->genre, sizeof info->genre);
        info->duration =
            input->duration > 0 ? static_cast<double>(input->duration / 1000000) : 0.0;
    }
    avformat_close_input(&input);
    return kOk;
}
}  // namespace

EngineResult ReadMediaInfo(const char* path, MediaInfo* info, WindowsMediaBackend*)
{
    ClearMediaInfo(*info);
    std::string ext = LowerExtension(path);
    return ReadWithFfmpeg(path, info, ext == "rm" || ext == "rmvb");
}
