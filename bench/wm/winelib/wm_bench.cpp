// Decoding and encoding a 300-second WMA through WmCodec and the runtime layer, against
// ffmpeg doing the same work, in the same run. Prints the times and the ratios.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "wm_codec.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double TimeCommand(const std::string& command)
{
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    return Seconds(start);
}

}  // namespace

int main()
{
    std::string dir = "/tmp/kelvra-wm-bench";
    std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str());
    std::string wma = dir + "/in.wma", wav = dir + "/in.wav";
    std::system(("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=f=440:d=300' -ac 2 -c:a wmav2 -b:a 128k " + wma).c_str());
    std::system(("ffmpeg -nostdin -v error -y -i " + wma + " " + wav).c_str());

    WmCodec codec;
    if (!codec.initialize() || !codec.openSource(wma.c_str())) return 1;
    std::vector<uint8_t> frame(40000);
    auto start = std::chrono::steady_clock::now();
    int64_t bytes = 0;
    for (int32_t got; (got = codec.readPcm(frame.data(), 40000, false, nullptr, 2)) > 0;) bytes += got;
    double ourDecode = Seconds(start);
    codec.closeSource();
    double ffDecode = TimeCommand("ffmpeg -nostdin -v error -y -i " + wma + " -f s16le /dev/null");

    std::vector<std::string> formats;
    codec.listFormats(0, formats);
    int32_t quality = 0;
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i] == "128 kbps, 44 kHz, stereo CBR") quality = static_cast<int32_t>(i);
    FILE* in = std::fopen(wav.c_str(), "rb");
    if (!in) return 1;
    std::fseek(in, 44, SEEK_SET);
    std::vector<uint8_t> pcm;
    for (size_t got; (got = std::fread(frame.data(), 1, frame.size(), in)) > 0;) pcm.insert(pcm.end(), frame.begin(), frame.begin() + got);
    std::fclose(in);
    start = std::chrono::steady_clock::now();
    codec.openSink((dir + "/out.wma").c_str(), 0, quality);
    codec.beginWriting();
    for (size_t pos = 0; pos + 40000 <= pcm.size(); pos += 40000)
        codec.writePcm(pcm.data() + pos, 40000, static_cast<int64_t>(pos) * 500000 / (2 * 44100));
    codec.finishWriting();
    double ourEncode = Seconds(start);
    double ffEncode = TimeCommand("ffmpeg -nostdin -v error -y -i " + wav + " -c:a wmav2 -b:a 128k " + dir + "/ff.wma");

    // ffmpeg's figures include starting the process.
    double startUp = TimeCommand("ffmpeg -nostdin -v error -version > /dev/null");
    std::printf("ffmpeg start-up %.3f s\n", startUp);
    std::printf("decode 300 s wma: layer %.3f s, ffmpeg %.3f s, ratio %.2f (%lld bytes)\n", ourDecode, ffDecode,
                ourDecode / ffDecode, static_cast<long long>(bytes));
    std::printf("encode 300 s wma: layer %.3f s, ffmpeg %.3f s, ratio %.2f\n", ourEncode, ffEncode, ourEncode / ffEncode);
    return 0;
}
