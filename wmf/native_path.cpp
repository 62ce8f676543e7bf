#include "native_path.h"

bool NativePathFromWide(const WCHAR* path, std::string& native)
{
    if (!path || !*path) return false;
    if (path[0] == '/') {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, path, -1, nullptr, 0, nullptr, nullptr);
        if (bytes <= 1) return false;
        native.resize(static_cast<size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, path, -1, &native[0], bytes, nullptr, nullptr);
        native.resize(static_cast<size_t>(bytes - 1));
        return true;
    }
    char* mapped = wine_get_unix_file_name(path);
    if (!mapped) return false;
    native = mapped;
    HeapFree(GetProcessHeap(), 0, mapped);
    return !native.empty();
}
