#pragma once
// The shell's folder browser, starting at a given folder.
#include <string>

class FolderChooser {
public:
    enum Result { Chosen = 1, Cancelled = 2 };
    // Returns Chosen and sets path when a file-system folder was picked.
    static int Run(const std::string& title, const std::string& initialFolder, std::string& path);
};
