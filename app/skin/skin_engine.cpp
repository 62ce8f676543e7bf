#include "skin_engine.h"

#include <map>

namespace {
struct SkinState {
    bool initialized = false;
    HINSTANCE module = nullptr;
    std::string applicationName;
    std::map<std::string, std::map<std::string, std::string>> objects;
};
SkinState g_skin;

std::string Trim(const std::string& text)
{
    size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = text.find_last_not_of(" \t\r\n");
    return text.substr(b, e - b + 1);
}

void ParseSkin(const std::string& text)
{
    g_skin.objects.clear();
    std::string object;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            object = line.substr(1, line.size() - 2);
            g_skin.objects[object];
        } else if (!object.empty()) {
            size_t eq = line.find('=');
            if (eq != std::string::npos) g_skin.objects[object][Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
        }
    }
}
}  // namespace

bool SkinInitialize(HINSTANCE module, const char* applicationName)
{
    g_skin.initialized = true;
    g_skin.module = module;
    g_skin.applicationName = applicationName ? applicationName : "";
    return true;
}

bool SkinLoadFromResource(HINSTANCE module, const char* type, const char* name)
{
    if (!g_skin.initialized) return false;
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return false;
    ParseSkin(std::string(bytes, SizeofResource(module, found)));
    return !g_skin.objects.empty();
}

bool SkinWindow(HWND window, const char* objectName)
{
    if (!g_skin.initialized || !window || !objectName) return false;
    auto it = g_skin.objects.find(objectName);
    if (it == g_skin.objects.end()) return false;
    // The property value is the object's key, which lives as long as the loaded skin.
    SetPropA(window, "SkinObject", reinterpret_cast<HANDLE>(const_cast<char*>(it->first.c_str())));
    return true;
}

void SkinShutdown()
{
    g_skin = SkinState();
}

bool SkinIsInitialized() { return g_skin.initialized; }

std::string SkinValue(const std::string& objectName, const std::string& key)
{
    auto it = g_skin.objects.find(objectName);
    if (it == g_skin.objects.end()) return std::string();
    auto value = it->second.find(key);
    return value == it->second.end() ? std::string() : value->second;
}
