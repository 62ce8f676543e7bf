#include "ogg_tag_block.h"

#include "text_codepage.h"

#include <cstring>

void BuildOggTagBlock(const MediaInfo& info, uint8_t* block)
{
    MediaInfo out;
    ClearMediaInfo(out);
    CopyField(out.title, AnsiToUtf8(info.title).c_str());
    CopyField(out.artist, AnsiToUtf8(info.artist).c_str());
    CopyField(out.album, AnsiToUtf8(info.album).c_str());
    CopyField(out.genre, AnsiToUtf8(info.genre).c_str());
    out.year = info.year;
    out.track = info.track;
    std::memcpy(block, &out, sizeof out);
}
