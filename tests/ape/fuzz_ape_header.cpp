// libFuzzer target: the descriptor, header and seek-table parser that answers GetInfo.
#include "ape_layout.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mac::ApeInfo info;
    size_t needed = 0;
    const mac::ParseResult r = mac::ParseApeHeader(data, size, info, &needed);
    if (r == mac::ParseResult::NeedMore && needed <= size) std::abort();  // would ask for bytes it has
    if (r != mac::ParseResult::Ok) return 0;
    if (info.seekTable.size() != info.totalFrames) std::abort();
    if (info.blockAlign() < 1 || info.blockAlign() > 6) std::abort();
    if (info.totalBlocks() < 0 || info.lengthMs() < 0) std::abort();
    if (info.firstFrameOffset < info.junkBytes) std::abort();
    return 0;
}
