#pragma once
// Parsed arguments of kelvra-convert.
#include <string>
#include <vector>

#include "output_naming.h"

enum class CliMode { Batch, Merge, Cut, ListQualities, Info, Help };

struct CliOptions {
    CliMode mode = CliMode::Batch;
    std::string format = "mp3";
    int quality = 0;
    int encoder = 0;
    std::string outputDir;
    std::string mergeOutput;
    double cutStart = 0, cutEnd = 0;
    ExistingFilePolicy policy = ExistingFilePolicy::AutoRename;
    std::vector<std::string> files;
};

// False with a message in error on a usage error.
bool ParseCommandLine(int argc, char** argv, CliOptions& options, std::string& error);
const char* UsageText();
