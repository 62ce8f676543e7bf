// libFuzzer target for the command-line splitter: any text splits without a crash, no path
// keeps a quote at either end, and every path is a piece of the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "command_line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    auto paths = SplitCommandLine(text);
    if (paths.size() > text.size() + 1) std::abort();
    for (const auto& path : paths) {
        if (!path.empty() && (path.front() == '"' || path.back() == '"')) std::abort();
        if (text.find(path) == std::string::npos) std::abort();
    }
    return 0;
}
