#pragma once
// Output file names of a batch: the source name with the format as its extension,
// and the rule for an output that already exists.
#include <functional>
#include <string>

enum class ExistingFilePolicy { Overwrite = 0, Skip = 1, AutoRename = 2 };

// "song.wav" + "mp3" -> "song.mp3"; a name without '.' gives just the format text.
std::string BatchOutputName(const std::string& sourceName, const std::string& format);

// The output path for one source in directory dir (which ends in its separator),
// or "" when the policy skips it.
std::string BatchOutputPath(const std::string& dir, const std::string& sourceName, const std::string& format,
                            ExistingFilePolicy policy, const std::function<bool(const std::string&)>& exists);
