#include "resource_module.h"

#include <vector>

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE ResourceModule() { return g_resourceModule ? g_resourceModule : GetModuleHandleA(nullptr); }

void SetResourceModule(HINSTANCE module) { g_resourceModule = module; }

std::string LoadText(UINT id)
{
    std::vector<char> buffer(512);
    for (;;) {
        int n = LoadStringA(ResourceModule(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) return std::string();
        if (n < static_cast<int>(buffer.size()) - 1) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string FormatWithText(const std::string& pattern, const std::string& text)
{
    size_t at = pattern.find("%s");
    if (at == std::string::npos) return pattern;
    return pattern.substr(0, at) + text + pattern.substr(at + 2);
}
