// WAV to MP3 at row 0 through the Converter against the ffmpeg command-line tool, and the
// resident set during conversions of a short and a long input.
#include "converter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long ResidentKb()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct RssTrack {
    long firstAfterWarmup = 0;
    long peak = 0;
    int calls = 0;
    static void Callback(double, double, void* self)
    {
        auto* t = static_cast<RssTrack*>(self);
        if (++t->calls % 200 != 0) return;
        long kb = ResidentKb();
        if (!t->firstAfterWarmup) t->firstAfterWarmup = kb;
        t->peak = std::max(t->peak, kb);
    }
};

bool MakeWav(const std::string& path, int seconds)
{
    // Two tones and some noise, so the encoder has real work.
    std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=" + std::to_string(seconds) +
                      "' -f lavfi -i 'anoisesrc=d=" + std::to_string(seconds) +
                      ":a=0.05' -filter_complex '[0][1]amix=inputs=2,aformat=channel_layouts=stereo' -ar 44100 " +
                      path;
    return std::system(cmd.c_str()) == 0;
}

double ConvertWithEngine(const std::string& in, const std::string& out, RssTrack* track)
{
    Converter c;
    c.progressCallback = track ? &RssTrack::Callback : nullptr;
    c.progressUser = track;
    double t0 = Now();
    c.AddSource(in.c_str(), -1);
    c.SetOutput(out.c_str(), 0, 0);
    if (c.Convert(false) != 0) {
        std::fprintf(stderr, "engine conversion failed\n");
        std::exit(1);
    }
    return Now() - t0;
}

double ConvertWithFfmpeg(const std::string& in, const std::string& out)
{
    std::string cmd = "ffmpeg -nostdin -v error -y -i " + in + " -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 " + out;
    double t0 = Now();
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        std::exit(1);
    }
    return Now() - t0;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string dir = argc > 1 ? argv[1] : "bench-convert";
    std::system(("mkdir -p " + dir).c_str());
    const std::string longWav = dir + "/ten-minutes.wav", shortWav = dir + "/two-minutes.wav";
    if (!MakeWav(longWav, 600) || !MakeWav(shortWav, 120)) return 1;

    const int rounds = 3;
    double engine = 1e9, tool = 1e9;
    for (int i = 0; i < rounds; ++i) {
        tool = std::min(tool, ConvertWithFfmpeg(longWav, dir + "/ffmpeg.mp3"));
        engine = std::min(engine, ConvertWithEngine(longWav, dir + "/engine.mp3", nullptr));
    }
    std::printf("wav->mp3 10 min, best of %d: Converter %.2f s, ffmpeg %.2f s, ratio %.3f (goal <= 1.05)\n", rounds,
                engine, tool, engine / tool);

    RssTrack shortRun, longRun;
    ConvertWithEngine(shortWav, dir + "/short.mp3", &shortRun);
    ConvertWithEngine(longWav, dir + "/long.mp3", &longRun);
    std::printf("resident set: 2 min input peak %ld KiB, 10 min input peak %ld KiB, ratio %.3f; "
                "10 min growth during the job %ld KiB\n",
                shortRun.peak, longRun.peak, static_cast<double>(longRun.peak) / shortRun.peak,
                longRun.peak - longRun.firstAfterWarmup);
    return 0;
}
