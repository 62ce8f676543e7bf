#include "command_line_split.h"

namespace {
std::string TrimQuotes(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == '"') ++begin;
    while (end > begin && text[end - 1] == '"') --end;
    return text.substr(begin, end - begin);
}
}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> paths;
    std::string rest = commandLine;
    while (!rest.empty()) {
        const char* separator = rest[0] == '"' ? "\" " : " ";
        size_t at = rest.find(separator);
        if (at == std::string::npos) {
            paths.push_back(TrimQuotes(rest));
            break;
        }
        paths.push_back(TrimQuotes(rest.substr(0, at)));
        rest = rest.substr(at + std::char_traits<char>::length(separator));
    }
    return paths;
}
