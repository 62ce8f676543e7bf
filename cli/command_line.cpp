#include "command_line.h"

#include "format_catalogue.h"

#include <cstdlib>
#include <cstring>

namespace {
bool ParseNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end && end != text && *end == '\0';
}

bool ParseInt(const char* text, int& value)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!end || end == text || *end != '\0' || v < 0 || v > 1000) return false;
    value = static_cast<int>(v);
    return true;
}

bool IsOfferedFormat(const std::string& f)
{
    for (const char* offered : kOfferedOutputFormats)
        if (f == offered) return true;
    return false;
}
}  // namespace

const char* UsageText()
{
    return "Usage:\n"
           "  kelvra-convert [--format F] [--quality N] [--exists overwrite|skip|rename] -o DIR FILE...\n"
           "  kelvra-convert [--format F] [--quality N] --merge OUT FILE...\n"
           "  kelvra-convert [--format F] [--quality N] [--exists P] -o DIR --cut START END FILE\n"
           "  kelvra-convert --list-qualities [--format F]\n"
           "  kelvra-convert --info FILE...\n"
           "  kelvra-convert --help\n"
           "Formats: mp3 wma ogg ape wav mp2 (default mp3). N is the row of --list-qualities (default 0).\n"
           "Batch and cut outputs are named after the source with the format as extension;\n"
           "an existing output is overwritten, skipped or renamed to name(1).ext (default rename).\n";
}

bool ParseCommandLine(int argc, char** argv, CliOptions& o, std::string& error)
{
    bool formatGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto needs = [&](int n) {
            if (i + n >= argc) {
                error = a + " needs " + std::to_string(n) + (n == 1 ? " argument" : " arguments");
                return false;
            }
            return true;
        };
        if (a == "--help" || a == "-h") {
            o.mode = CliMode::Help;
            return true;
        } else if (a == "--format" || a == "-f") {
            if (!needs(1)) return false;
            o.format = LowerExtension(std::string(".") + argv[++i]);
            formatGiven = true;
        } else if (a == "--quality" || a == "-q") {
            if (!needs(1)) return false;
            if (!ParseInt(argv[++i], o.quality)) {
                error = "--quality takes a row number";
                return false;
            }
        } else if (a == "--encoder") {
            if (!needs(1)) return false;
            if (!ParseInt(argv[++i], o.encoder)) {
                error = "--encoder takes an encoder number";
                return false;
            }
        } else if (a == "-o" || a == "--output-dir") {
            if (!needs(1)) return false;
            o.outputDir = argv[++i];
        } else if (a == "--exists") {
            if (!needs(1)) return false;
            std::string p = argv[++i];
            if (p == "overwrite") o.policy = ExistingFilePolicy::Overwrite;
            else if (p == "skip") o.policy = ExistingFilePolicy::Skip;
            else if (p == "rename") o.policy = ExistingFilePolicy::AutoRename;
            else {
                error = "--exists takes overwrite, skip or rename";
                return false;
            }
        } else if (a == "--merge") {
            if (!needs(1)) return false;
            o.mode = CliMode::Merge;
            o.mergeOutput = argv[++i];
        } else if (a == "--cut") {
            if (!needs(2)) return false;
            o.mode = CliMode::Cut;
            if (!ParseNumber(argv[i + 1], o.cutStart) || !ParseNumber(argv[i + 2], o.cutEnd) || o.cutStart < 0 ||
                o.cutEnd <= o.cutStart) {
                error = "--cut takes START END in seconds, with START < END";
                return false;
            }
            i += 2;
        } else if (a == "--list-qualities") {
            o.mode = CliMode::ListQualities;
        } else if (a == "--info") {
            o.mode = CliMode::Info;
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            error = "unknown option " + a;
            return false;
        } else {
            if (a == "--") {
                for (++i; i < argc; ++i) o.files.emplace_back(argv[i]);
                break;
            }
            o.files.push_back(a);
        }
    }
    if (o.mode == CliMode::Merge && formatGiven == false) o.format = LowerExtension(o.mergeOutput);
    if (!IsOfferedFormat(o.format)) {
        error = "unsupported output format " + o.format;
        return false;
    }
    switch (o.mode) {
    case CliMode::Batch:
        if (o.outputDir.empty() || o.files.empty()) {
            error = "give -o DIR and at least one file";
            return false;
        }
        break;
    case CliMode::Merge:
        if (o.files.empty()) {
            error = "--merge needs the files to join";
            return false;
        }
        if (LowerExtension(o.mergeOutput) != o.format) {
            error = "the merge output's extension must be the format";
            return false;
        }
        break;
    case CliMode::Cut:
        if (o.outputDir.empty() || o.files.size() != 1) {
            error = "--cut needs -o DIR and exactly one file";
            return false;
        }
        break;
    case CliMode::Info:
        if (o.files.empty()) {
            error = "--info needs at least one file";
            return false;
        }
        break;
    default:
        break;
    }
    return true;
}
