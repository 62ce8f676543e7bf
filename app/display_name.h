#pragma once
// What the file list shows for a file: "artist - title" or the bare file name, and lengths.
#include <string>

#include "media_info.h"

std::string DisplayName(const MediaInfo& info, const std::string& path);
// Whole seconds as "%02d:%02d" (minutes are not limited to two digits).
std::string FormatLength(double seconds);
