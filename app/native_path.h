#pragma once
// Paths from the dialogs and the command line are DOS paths; the engine opens native ones.
#include <string>

// Under Wine, the Unix path (UTF-8) of a DOS path; on Windows the path unchanged.
std::string NativePath(const std::string& dosPath);
