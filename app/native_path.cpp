#include "native_path.h"

#include <windows.h>

#include <vector>

std::string NativePath(const std::string& dosPath)
{
#ifdef __WINE__
    if (dosPath.empty()) return dosPath;
    int n = MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, nullptr, 0);
    if (n <= 0) return dosPath;
    std::vector<WCHAR> wide(n);
    MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, wide.data(), n);
    char* unixPath = wine_get_unix_file_name(wide.data());
    if (!unixPath) return dosPath;
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
#else
    return dosPath;
#endif
}
