#include "output_naming.h"

std::string BatchOutputName(const std::string& sourceName, const std::string& format)
{
    size_t dot = sourceName.rfind('.');
    std::string cut = dot == std::string::npos ? std::string() : sourceName.substr(0, dot + 1);
    return cut + format;
}

std::string BatchOutputPath(const std::string& dir, const std::string& sourceName, const std::string& format,
                            ExistingFilePolicy policy, const std::function<bool(const std::string&)>& exists)
{
    std::string path = dir + BatchOutputName(sourceName, format);
    if (policy == ExistingFilePolicy::Overwrite || !exists(path)) return path;
    if (policy == ExistingFilePolicy::Skip) return std::string();
    size_t dot = sourceName.rfind('.');
    std::string base = dot == std::string::npos ? std::string() : sourceName.substr(0, dot);
    for (unsigned n = 1;; ++n) {
        std::string candidate = dir + base + "(" + std::to_string(n) + ")." + format;
        if (!exists(candidate)) return candidate;
    }
}
