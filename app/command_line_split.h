#pragma once
// Splits the program's command line into paths: blank-separated, a quoted path ends at the
// quote followed by a blank; quotes are removed from both ends of every path.
#include <string>
#include <vector>

std::vector<std::string> SplitCommandLine(const std::string& commandLine);
