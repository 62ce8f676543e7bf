#include "tag_writer.h"

#include "MACDll.h"
#include "format_catalogue.h"
#include "windows_media_backend.h"

#include <cstring>
#include <string>

namespace {
// A field's text up to its NUL, never past the field.
template <size_t N>
std::string Text(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}
}  // namespace

EngineResult WriteFileTags(const char* path, const MediaInfo& info, WindowsMediaBackend* wm)
{
    if (!path || !*path) return kErrOpenFile;
    const std::string ext = LowerExtension(path);
    if (ext == "asf" || ext == "wma") return wm ? wm->rewriteTags(path, &info) : kErrTagsUnsupported;
    if (ext != "mp3" && ext != "mp2" && ext != "ape") return kErrTagsUnsupported;
    const std::string year = std::to_string(info.year);
    const std::string track = std::to_string(info.track);
    // ID3v1: no clearing first, old ID3 format.
    return TagFileSimple(path, Text(info.artist).c_str(), Text(info.album).c_str(), Text(info.title).c_str(),
                         Text(info.comment).c_str(), Text(info.genre).c_str(), year.c_str(), track.c_str(), 0, 1);
}
