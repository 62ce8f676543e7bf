#pragma once
// The 2704-byte tag block in MediaInfo layout handed to the Ogg Vorbis encoder.
#include <array>
#include <cstdint>

#include "media_info.h"

// Title, artist, album and genre as UTF-8; year and track copied; everything else zero.
void BuildOggTagBlock(const MediaInfo& info, uint8_t* block /* sizeof(MediaInfo) bytes */);
