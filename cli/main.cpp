// kelvra-convert: batch, merge and cut conversions on the command line.
#include "command_line.h"
#include "converter.h"
#include "format_catalogue.h"
#include "output_naming.h"
#include "progress_bar.h"
#include "text_codepage.h"

#include <cstdio>

extern "C" {
#include <libavutil/log.h>
}
#include <string>
#include <sys/stat.h>

namespace {
bool PathExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithSeparator(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

void ReportFailure(const std::string& file, EngineResult rc)
{
    std::fprintf(stderr, "%s: %s\n", file.c_str(), ResultMessageUtf8(rc).c_str());
}

int ListQualities(Converter& converter, const CliOptions& o)
{
    std::vector<std::string> labels;
    converter.ListQualities(o.format.c_str(), o.encoder, labels);
    if (labels.empty()) {
        ReportFailure(o.format, IsWindowsMediaExtension(o.format) ? kErrWindowsMedia : kErrOpenEncoder);
        return 1;
    }
    for (size_t i = 0; i < labels.size(); ++i) std::printf("%zu: %s\n", i, AnsiToUtf8(labels[i]).c_str());
    return 0;
}

int PrintInfo(Converter& converter, const CliOptions& o)
{
    int status = 0;
    for (const auto& file : o.files) {
        MediaInfo info;
        EngineResult rc = converter.GetMediaInfo(file.c_str(), &info);
        if (rc < 0) {
            ReportFailure(file, rc);
            status = 1;
            continue;
        }
        if (o.files.size() > 1) std::printf("file: %s\n", file.c_str());
        std::printf("duration: %.3f\n", info.duration);
        std::printf("format: %s\n", AnsiToUtf8(info.formatName).c_str());
        std::printf("title: %s\n", AnsiToUtf8(info.title).c_str());
        std::printf("artist: %s\n", AnsiToUtf8(info.artist).c_str());
        std::printf("album: %s\n", AnsiToUtf8(info.album).c_str());
        std::printf("year: %d\n", info.year);
        std::printf("track: %d\n", info.track);
        std::printf("genre: %s\n", AnsiToUtf8(info.genre).c_str());
        std::printf("comment: %s\n", AnsiToUtf8(info.comment).c_str());
        std::printf("copyright: %s\n", AnsiToUtf8(info.copyright).c_str());
    }
    return status;
}

EngineResult RunJob(Converter& converter, const std::string& label, bool cut, const CliOptions& o)
{
    ProgressBar bar(label);
    converter.progressCallback = &ProgressBar::Callback;
    converter.progressUser = &bar;
    EngineResult rc = cut ? converter.ConvertRange(o.cutStart, o.cutEnd) : converter.Convert(false);
    converter.progressCallback = nullptr;
    return rc;
}

int ConvertEach(Converter& converter, const CliOptions& o, bool cut)
{
    int status = 0;
    const std::string dir = WithSeparator(o.outputDir);
    for (const auto& file : o.files) {
        std::string out = BatchOutputPath(dir, BaseName(file), o.format, o.policy, PathExists);
        if (out.empty()) {
            std::fprintf(stderr, "%s: skipped, output exists\n", file.c_str());
            continue;
        }
        EngineResult rc = converter.AddSource(file.c_str(), -1);
        if (rc >= 0) rc = converter.SetOutput(out.c_str(), o.encoder, o.quality);
        if (rc >= 0) rc = RunJob(converter, BaseName(file), cut, o);
        if (rc < 0) {
            ReportFailure(file, rc);
            status = 1;
        } else {
            std::printf("%s\n", out.c_str());
        }
    }
    return status;
}

int Merge(Converter& converter, const CliOptions& o)
{
    for (const auto& file : o.files) {
        EngineResult rc = converter.AddSource(file.c_str(), -1);
        if (rc < 0) {
            ReportFailure(file, rc);
            return 1;
        }
    }
    EngineResult rc = converter.SetOutput(o.mergeOutput.c_str(), o.encoder, o.quality);
    if (rc >= 0) rc = RunJob(converter, BaseName(o.mergeOutput), false, o);
    if (rc < 0) {
        ReportFailure(o.mergeOutput, rc);
        return 1;
    }
    std::printf("%s\n", o.mergeOutput.c_str());
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    CliOptions options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "kelvra-convert: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    if (options.mode == CliMode::Help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    av_log_set_level(AV_LOG_ERROR);  // decoder chatter is not for the user
    // Tags are held as UTF-8 here, the text of this terminal.
    SetAnsiCodePage(65001);
    Converter converter;
    switch (options.mode) {
    case CliMode::ListQualities: return ListQualities(converter, options);
    case CliMode::Info: return PrintInfo(converter, options);
    case CliMode::Merge: return Merge(converter, options);
    case CliMode::Cut: return ConvertEach(converter, options, true);
    default: return ConvertEach(converter, options, false);
    }
}
