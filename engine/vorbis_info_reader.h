#pragma once
// Comments and total time of an Ogg Vorbis file, read with libvorbisfile.
#include "engine_result.h"
#include "media_info.h"

// 0, or -1 when the file cannot be opened as Ogg Vorbis. Texts arrive in the ANSI code page.
EngineResult ReadVorbisInfo(const char* path, MediaInfo* info);
