// Monkey's Audio at level 3000 (the system's level) against Debian's `flac -8`, in the same run, on a
// generated music-like input: chords with harmonics and tremolo, drum-like noise bursts, a noise bed
// and espeak-ng speech, stereo 44.1 kHz. Prints compression ratio and encode speed of each.
// Usage: bench_ape [seconds (default 240)] [work directory (default /tmp)]
#include "MACDll.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

bool Run(const std::string& cmd)
{
    const bool ok = std::system(cmd.c_str()) == 0;
    if (!ok) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
    return ok;
}

long long FileBytes(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

bool MakeInput(const std::string& dir, int seconds, const std::string& wav)
{
    const std::string s = std::to_string(seconds);
    const std::string text =
        "The quick brown fox jumps over the lazy dog. Monkey's Audio is a lossless format. "
        "Every sample that goes in comes out again, bit for bit, at a fraction of the size. ";
    std::string speech;
    for (int i = 0; i < 6; ++i) speech += text;
    // Chords change every two seconds; amplitude follows a slow tremolo; a kick every half second.
    const std::string music =
        "aevalsrc='0.18*sin(2*PI*t*(220+55*floor(mod(t/2,4))))*(0.6+0.4*sin(2*PI*t*0.5))"
        "+0.10*sin(2*PI*t*(330+55*floor(mod(t/2,4))))+0.06*sin(2*PI*t*(440+110*floor(mod(t/2,4))))"
        "+0.05*sin(4*PI*t*(220+55*floor(mod(t/2,4))))+0.25*sin(2*PI*60*t)*exp(-30*mod(t,0.5))|"
        "0.16*sin(2*PI*t*(221+55*floor(mod(t/2,4))))*(0.6+0.4*cos(2*PI*t*0.5))"
        "+0.11*sin(2*PI*t*(331+55*floor(mod(t/2,4))))+0.07*sin(2*PI*t*(554+110*floor(mod(t/2,4))))"
        "+0.25*sin(2*PI*60*t)*exp(-30*mod(t,0.5))':s=44100:d=" + s + "'";
    return Run("espeak-ng -w '" + dir + "/speech.wav' \"" + speech + "\" 2>/dev/null") &&
           Run("ffmpeg -nostdin -v error -y -f lavfi -i \"" + music + "\" -f lavfi -i 'anoisesrc=c=pink:r=44100:a=0.03:d=" +
               s + "' -f lavfi -i 'anoisesrc=c=white:r=44100:a=0.3:d=" + s +
               "' -stream_loop -1 -i '" + dir + "/speech.wav' -filter_complex "
               "\"[2]volume='0.5*exp(-40*mod(t+0.25,0.5))':eval=frame,aformat=channel_layouts=stereo[hat];"
               "[3]aresample=44100,aformat=channel_layouts=stereo,volume=0.8,atrim=0:" + s + "[voice];"
               "[0][1][hat][voice]amix=inputs=4:normalize=0:duration=first,aformat=sample_fmts=s16\" -bitexact -ar 44100 -ac 2 '" +
               wav + "'");
}

std::vector<unsigned char> ReadPcm(const std::string& raw)
{
    std::ifstream in(raw, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Returns encode seconds, or a negative value on failure.
double EncodeApe(const std::vector<unsigned char>& pcm, const std::string& out, int level)
{
    const double start = Now();
    int error = 0;
    APE_COMPRESS_HANDLE h = c_APECompress_Create(&error);
    MAC_WAVEFORMATEX format;
    FillWaveFormatEx(&format, 44100, 16, 2);
    if (!h || c_APECompress_Start(h, out.c_str(), &format, -1, level, nullptr, -1) != 0) return -1;
    const size_t frame = 40000;  // the job's frame: 10000 sample frames
    for (size_t at = 0; at < pcm.size(); at += frame) {
        const size_t n = std::min(frame, pcm.size() - at);
        if (c_APECompress_AddData(h, const_cast<unsigned char*>(pcm.data() + at), int(n)) != 0) return -1;
    }
    const int rc = c_APECompress_Finish(h, nullptr, 0, 0);
    c_APECompress_Destroy(h);
    return rc == 0 ? Now() - start : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 240;
    const std::string dir = (argc > 2 ? std::string(argv[2]) : std::string("/tmp")) + "/kelvra-bench-ape";
    Run("mkdir -p '" + dir + "'");
    const std::string wav = dir + "/input.wav", raw = dir + "/input.raw";
    if (!MakeInput(dir, seconds, wav) || !Run("ffmpeg -nostdin -v error -y -i '" + wav + "' -f s16le '" + raw + "'"))
        return 1;
    const std::vector<unsigned char> pcm = ReadPcm(raw);
    const double audioSeconds = double(pcm.size()) / (44100.0 * 4);
    std::printf("input: %.1f s stereo 44.1 kHz, %lld bytes of WAV\n", audioSeconds, FileBytes(wav));
    std::fflush(stdout);

    const double flacStart = Now();
    if (!Run("flac -8 -f -s -o '" + dir + "/out.flac' '" + wav + "'")) return 1;
    const double flacSeconds = Now() - flacStart;
    const long long flacBytes = FileBytes(dir + "/out.flac");

    std::printf("%-12s %12s %10s %12s\n", "encoder", "bytes", "ratio", "x realtime");
    const double wavBytes = double(FileBytes(wav));
    std::printf("%-12s %12lld %9.2f%% %12.1f\n", "flac -8", flacBytes, 100.0 * flacBytes / wavBytes,
                audioSeconds / flacSeconds);
    double apeSeconds3000 = 0;
    long long apeBytes3000 = 0;
    for (int level : {1000, 2000, 3000, 4000, 5000}) {
        const std::string out = dir + "/out" + std::to_string(level) + ".ape";
        const double t = EncodeApe(pcm, out, level);
        if (t < 0) {
            std::fprintf(stderr, "APE level %d failed\n", level);
            return 1;
        }
        const long long bytes = FileBytes(out);
        std::printf("%-12s %12lld %9.2f%% %12.1f\n", ("ape " + std::to_string(level)).c_str(), bytes,
                    100.0 * bytes / wavBytes, audioSeconds / t);
        if (level == 3000) apeSeconds3000 = t, apeBytes3000 = bytes;
    }
    // The level-3000 file must decode back to the input through FFmpeg.
    std::fflush(stdout);
    const bool exact = Run("ffmpeg -nostdin -v error -y -i '" + dir + "/out3000.ape' -f s16le '" + dir +
                           "/back.raw' && cmp -s '" + dir + "/back.raw' '" + raw + "'");
    std::printf("ape 3000 / flac -8: size %.4f, speed %.2f (goal: size < 1, speed >= 0.33); FFmpeg decodes it %s\n",
                double(apeBytes3000) / double(flacBytes), flacSeconds / apeSeconds3000,
                exact ? "exactly" : "WRONGLY");
    return exact ? 0 : 2;
}
