// libFuzzer target: the layer's ASF header parsing and rebuilding must survive any bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "asf_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AsfHeader header;
    if (!ParseAsfHeader(data, size, header)) return 0;
    std::vector<uint8_t> rebuilt;
    AsfAttribute extra;
    extra.name = u"WM/AlbumTitle";
    extra.value = AsfStringValue(u"fuzz");
    header.attributes.push_back(extra);
    if (RebuildAsfHeader(data, size, header.attributes, rebuilt)) {
        AsfHeader again;
        if (!ParseAsfHeader(rebuilt.data(), rebuilt.size(), again)) __builtin_trap();
        // Every attribute survives (the file-level ones all fit a 16-bit length again).
        if (again.attributes.size() != header.attributes.size()) __builtin_trap();
    }
    return 0;
}
