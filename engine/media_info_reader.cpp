#include "media_info_reader.h"

#include "ape_decoder.h"
#include "format_catalogue.h"
#include "mp3_scanner.h"
#include "text_codepage.h"
#include "vorbis_info_reader.h"
#include "windows_media_backend.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {
const char* TagValue(AVDictionary* dict, const char* key, const char* alternative = nullptr)
{
    AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
    if (!e && alternative) e = av_dict_get(dict, alternative, nullptr, 0);
    return e ? e->value : nullptr;
}

void CopyTag(AVDictionary* dict, char* field, size_t capacity, const char* key, const char* alternative = nullptr)
{
    if (const char* value = TagValue(dict, key, alternative)) CopyFieldN(field, capacity, Utf8ToAnsi(value).c_str());
}

int32_t IntTag(AVDictionary* dict, const char* key, const char* alternative = nullptr)
{
    const char* value = TagValue(dict, key, alternative);
    return value ? static_cast<int32_t>(std::atoi(value)) : 0;
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
    // Every audio stream in turn, so the last one decides the format name.
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
        CopyTag(m, info->title, sizeof info->title, "title");
        CopyTag(m, info->artist, sizeof info->artist, "artist", "author");
        CopyTag(m, info->copyright, sizeof info->copyright, "copyright");
        CopyTag(m, info->comment, sizeof info->comment, "comment");
        CopyTag(m, info->album, sizeof info->album, "album");
        info->year = IntTag(m, "date", "year");
        info->track = IntTag(m, "track");
        CopyTag(m, info->genre, sizeof info->genre, "genre");
        info->duration = input->duration > 0 ? static_cast<double>(input->duration / 1000000) : 0.0;
    }
    avformat_close_input(&input);
    return kOk;
}

// An ID3v1 field replaces the text read before unless it is only the cut-off start of it
// (an ID3v2 title of more than 30 bytes beside its ID3v1 copy keeps its full text).
template <size_t N>
void TakeId3v1Text(char (&field)[N], const std::string& text, bool keepLonger)
{
    if (text.empty()) return;
    const size_t have = std::strlen(field);
    if (keepLonger && have > text.size() && std::memcmp(field, text.data(), text.size()) == 0) return;
    CopyField(field, text.c_str());
}

// ID3v1 texts are stored in the ANSI code page already and are taken as they are.
void TakeId3v1(const Mp3Scanner& tag, MediaInfo* info, bool keepLonger)
{
    TakeId3v1Text(info->title, tag.title, keepLonger);
    TakeId3v1Text(info->artist, tag.artist, keepLonger);
    TakeId3v1Text(info->album, tag.album, keepLonger);
    TakeId3v1Text(info->comment, tag.comment, keepLonger);
    TakeId3v1Text(info->genre, Mp3Scanner::genreName(tag.genre), keepLonger);
    if (int32_t year = std::atoi(tag.year.c_str())) info->year = year;
    if (tag.track) info->track = tag.track;
}

EngineResult ReadApe(const char* path, MediaInfo* info)
{
    ApeDecoder decoder;
    EngineResult rc = decoder.open(path, -1);
    if (rc < 0) return rc;
    info->duration = decoder.length();
    decoder.close();
    Mp3Scanner tag;
    if (!tag.readTag(path)) return kErrReadTags;
    if (tag.flags & Mp3Scanner::kHasTag) TakeId3v1(tag, info, false);
    return kOk;
}

EngineResult ReadMpegAudio(const char* path, MediaInfo* info)
{
    EngineResult rc = ReadWithFfmpeg(path, info, false);
    if (rc < 0) return rc;
    Mp3Scanner scanner;
    if (!scanner.scan(path)) return rc;
    // Without frames the container's duration stays.
    if (scanner.flags & Mp3Scanner::kHasFrames) info->duration = scanner.length;
    // The ID3v1 tag is what WriteTags writes; FFmpeg reads it as Latin-1 and not at all beside ID3v2.
    if (scanner.flags & Mp3Scanner::kHasTag) TakeId3v1(scanner, info, true);
    return rc;
}
}  // namespace

EngineResult ReadMediaInfo(const char* path, MediaInfo* info, WindowsMediaBackend* wm)
{
    if (!info) return kErrOpenFile;
    ClearMediaInfo(*info);
    if (!path || !*path) return kErrOpenFile;
    const std::string ext = LowerExtension(path);
    if (ext == "asf" || ext == "wma") return wm ? wm->readTags(path, info) : kErrReadTags;
    if (ext == "ape") return ReadApe(path, info);
    if (ext == "ogg") return ReadVorbisInfo(path, info);
    if (ext == "mp3" || ext == "mp2") return ReadMpegAudio(path, info);
    return ReadWithFfmpeg(path, info, ext == "rm" || ext == "rmvb");
}
