#pragma once
// Reading an ASF file's header, and replacing its attributes without touching the media data.
#include <string>
#include <vector>

#include "asf_header.h"

// The header object's bytes (header objects above 64 MiB are refused).
bool ReadAsfHeaderBytes(const std::string& path, std::vector<uint8_t>& bytes);

// Writes a complete new file beside the old one (new header, then every byte after the old
// header) and renames it over the old file only once it is whole. The old file is left
// untouched on any failure.
bool RewriteAsfAttributes(const std::string& path, const std::vector<AsfAttribute>& attributes);
