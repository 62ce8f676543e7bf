// Scans a 200 MB MP3 with Mp3Scanner and counts its packets with ffprobe, in the same run,
// and prints the time ratio. Usage: bench_mp3_scan [work directory]
#include "mp3_scanner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string Output(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// A minute of raw MPEG-1 Layer III frames, repeated until the file holds 200 MB.
bool MakeFile(const std::string& dir, const std::string& path)
{
    const std::string seed = dir + "/seed.mp3";
    const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc='0.3*sin(440*2*PI*t)+0.2*(random(0)-0.5)'"
                            ":s=44100:d=60\" -ac 2 -c:a libmp3lame -q:a 4 -id3v2_version 0 -write_xing 0 '" + seed + "'";
    if (std::system(cmd.c_str()) != 0) return false;
    std::ifstream in(seed, std::ios::binary);
    const std::string frames((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (frames.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (size_t written = 0; written < 200u * 1000 * 1000; written += frames.size())
        out.write(frames.data(), static_cast<std::streamsize>(frames.size()));
    return static_cast<bool>(out);
}
}  // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : "bench-tmp";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/big.mp3";
    if (!MakeFile(dir, path)) {
        std::fprintf(stderr, "could not make %s\n", path.c_str());
        return 1;
    }
    std::printf("file: %s, %.1f MB\n", path.c_str(), std::filesystem::file_size(path) / 1e6);

    // Best of three for both, after one read that brings the file into the page cache.
    Output("cat '" + path + "' > /dev/null");
    double scanTime = 1e9, probeTime = 1e9;
    Mp3Scanner scanner;
    std::string packets;
    for (int run = 0; run < 3; ++run) {
        auto t0 = Clock::now();
        if (!scanner.scan(path.c_str())) return 1;
        scanTime = std::min(scanTime, Seconds(t0));
        t0 = Clock::now();
        packets = Output("ffprobe -v error -count_packets -select_streams a:0 -show_entries stream=nb_read_packets "
                         "-of csv=p=0 '" + path + "'");
        probeTime = std::min(probeTime, Seconds(t0));
    }
    std::printf("Mp3Scanner: %lld frames, %.2f s of audio in %.3f s\n", static_cast<long long>(scanner.frameCount),
                scanner.length, scanTime);
    std::printf("ffprobe -count_packets: %lld packets in %.3f s\n", std::atoll(packets.c_str()), probeTime);
    std::printf("ratio ffprobe/scan: %.1fx (goal: at least 10x)\n", probeTime / scanTime);
    std::filesystem::remove(path);
    return scanner.frameCount == std::atoll(packets.c_str()) ? 0 : 2;
}
