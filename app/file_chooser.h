#pragma once
// The open and save common dialogs.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class FileChooser {
public:
    enum Result { Confirmed = 1, Cancelled = 2 };

    // filter: pairs separated by NULs (see FilterFromTabs); flags get OFN_EXPLORER added.
    void SetUp(bool open, const std::string& defaultExtension, DWORD flags, const std::string& filter, HWND owner);
    // Replaces the 260-byte file-name buffer by a zeroed one of the given size.
    void UseFileBuffer(size_t bytes);
    int Run();

    std::string FilePath() const;
    // All paths of a (multiple-selection) open dialog, in the order the dialog gives them.
    std::vector<std::string> SelectedPaths() const;

private:
    bool open_ = true;
    std::string defaultExtension_;
    std::string filter_;
    DWORD flags_ = 0;
    HWND owner_ = nullptr;
    std::vector<char> fileBuffer_ = std::vector<char>(260, 0);
    char titleBuffer_[260] = {};
};

// "A\t*.a\tB\t*.b\t" -> the same with every tab a NUL.
std::string FilterFromTabs(const std::string& tabbed);

// Splits a multiple-selection buffer: one full path, or a directory followed by names.
std::vector<std::string> SplitSelectionBuffer(const char* buffer, size_t size);
