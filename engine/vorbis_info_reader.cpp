#include "vorbis_info_reader.h"

#include "text_codepage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <vorbis/vorbisfile.h>

namespace {
size_t ReadCallback(void* ptr, size_t size, size_t count, void* file)
{
    return std::fread(ptr, size, count, static_cast<std::FILE*>(file));
}
int SeekCallback(void* file, ogg_int64_t offset, int whence)
{
    return fseeko(static_cast<std::FILE*>(file), static_cast<off_t>(offset), whence);
}
int CloseCallback(void* file) { return std::fclose(static_cast<std::FILE*>(file)); }
long TellCallback(void* file) { return static_cast<long>(ftello(static_cast<std::FILE*>(file))); }

void StoreComment(const char* comment, MediaInfo* info)
{
    const char* eq = std::strchr(comment, '=');
    if (!eq) return;
    const std::string key(comment, eq - comment);
    const char* value = eq + 1;
    auto is = [&](const char* name) { return strcasecmp(key.c_str(), name) == 0; };
    if (is("title")) CopyField(info->title, Utf8ToAnsi(value).c_str());
    else if (is("artist")) CopyField(info->artist, Utf8ToAnsi(value).c_str());
    else if (is("album")) CopyField(info->album, Utf8ToAnsi(value).c_str());
    else if (is("tracknumber")) info->track = static_cast<int32_t>(std::atoi(value));
    else if (is("date")) info->year = static_cast<int32_t>(std::atoi(value));
    else if (is("genre")) CopyField(info->genre, Utf8ToAnsi(value).c_str());
}
}  // namespace

EngineResult ReadVorbisInfo(const char* path, MediaInfo* info)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return kErrOpenFile;
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    OggVorbis_File vf;
    if (ov_open_callbacks(file, &vf, nullptr, 0, callbacks) != 0) {
        std::fclose(file);  // a failed open leaves the file to us
        return kErrOpenFile;
    }
    if (vorbis_comment* vc = ov_comment(&vf, -1)) {
        for (int i = 0; i < vc->comments; ++i)
            if (vc->user_comments[i]) StoreComment(vc->user_comments[i], info);
    }
    CopyField(info->formatName, "Ogg Vorbis");
    const double total = ov_time_total(&vf, -1);
    info->duration = total > 0 ? total : 0;
    ov_clear(&vf);  // closes the file through CloseCallback
    return kOk;
}
