#include "file_chooser.h"

#include <commdlg.h>

#include <cstring>

void FileChooser::SetUp(bool open, const std::string& defaultExtension, DWORD flags, const std::string& filter,
                        HWND owner)
{
    open_ = open;
    defaultExtension_ = defaultExtension;
    flags_ = flags | OFN_EXPLORER;
    filter_ = filter;
    owner_ = owner;
}

void FileChooser::UseFileBuffer(size_t bytes) { fileBuffer_.assign(bytes < 2 ? 2 : bytes, 0); }

int FileChooser::Run()
{
    OPENFILENAMEA ofn = {};
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    ofn.lStructSize = version.dwMajorVersion < 5 ? OPENFILENAME_SIZE_VERSION_400A : sizeof(OPENFILENAMEA);
    ofn.hwndOwner = owner_;
    std::string filter = filter_;
    filter.push_back('\0');
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = fileBuffer_.data();
    ofn.nMaxFile = static_cast<DWORD>(fileBuffer_.size());
    ofn.lpstrFileTitle = titleBuffer_;
    ofn.nMaxFileTitle = sizeof titleBuffer_;
    // The dialog wants the extension without its dot (".mp3" would append ".mp").
    std::string extension = defaultExtension_;
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = flags_;
    BOOL ok = open_ ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    return ok ? Confirmed : Cancelled;
}

std::string FileChooser::FilePath() const
{
    return std::string(fileBuffer_.data(), strnlen(fileBuffer_.data(), fileBuffer_.size()));
}

std::vector<std::string> FileChooser::SelectedPaths() const
{
    return SplitSelectionBuffer(fileBuffer_.data(), fileBuffer_.size());
}

std::string FilterFromTabs(const std::string& tabbed)
{
    std::string filter = tabbed;
    for (char& c : filter)
        if (c == '\t') c = '\0';
    return filter;
}

std::vector<std::string> SplitSelectionBuffer(const char* buffer, size_t size)
{
    std::vector<std::string> paths;
    size_t at = 0;
    auto next = [&](std::string& out) {
        if (at >= size) return false;
        size_t len = strnlen(buffer + at, size - at);
        if (len == 0) return false;
        out.assign(buffer + at, len);
        at += len + 1;
        return true;
    };
    std::string first, name;
    if (!next(first)) return paths;
    bool several = false;
    while (next(name)) {
        several = true;
        char last = first.back();
        paths.push_back(first + (last == '\\' || last == '/' ? "" : "\\") + name);
    }
    if (!several) paths.push_back(first);
    return paths;
}
