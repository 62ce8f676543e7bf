#pragma once
// Writes the tags of a MediaInfo into an existing file.
#include "engine_result.h"
#include "media_info.h"

class WindowsMediaBackend;

EngineResult WriteFileTags(const char* path, const MediaInfo& info, WindowsMediaBackend* wm);
