#pragma once
// Fills a MediaInfo from a file, by the reader its extension selects.
#include "engine_result.h"
#include "media_info.h"

class WindowsMediaBackend;

// wm may be null (no Windows Media runtime).
EngineResult ReadMediaInfo(const char* path, MediaInfo* info, WindowsMediaBackend* wm);
