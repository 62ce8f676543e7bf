#include "folder_chooser.h"

#include <windows.h>
#include <shlobj.h>

namespace {
int CALLBACK SelectInitialFolder(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}
}  // namespace

int FolderChooser::Run(const std::string& title, const std::string& initialFolder, std::string& path)
{
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = nullptr;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item) return Cancelled;
    char chosen[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(item, chosen) && chosen[0];
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(item);
        allocator->Release();
    } else {
        return Cancelled;
    }
    if (!ok) return Cancelled;
    path = chosen;
    return Chosen;
}
