// Job behaviour: cut ranges, merges, queue handling, stream choice, channels and cancel.
#include "converter.h"
#include "job_helpers.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

TEST(CutJob, TruncatesToWholeSecondsAndStopsAfterTheCutLength)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/long.wav", 30.0);
    Converter c;
    ProgressRecord progress;
    c.progressCallback = &ProgressRecord::Callback;
    c.progressUser = &progress;
    ASSERT_EQ(c.AddSource(src.c_str(), -1), 0);
    ASSERT_EQ(c.SetOutput((dir + "/cut.wav").c_str(), 0, 0), 0);
    ASSERT_EQ(c.ConvertRange(10.9, 20.2), 0);
    ProbeResult p = Probe(dir + "/cut.wav");
    const double frame = 10000 / (2.0 * 2 * 44100);
    EXPECT_GE(p.seconds, 11.0);
    EXPECT_LT(p.seconds, 11.0 + frame);
    ASSERT_FALSE(progress.calls.empty());
    EXPECT_DOUBLE_EQ(progress.calls.front().second, 10.0);  // the cut length is the progress length
}

TEST(CutJob, ImpossibleRangesAreRefusedAndEmptyTheQueue)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 2.0);
    Converter c;
    for (double bad : {std::nan(""), -3.0, 1e300}) {
        c.AddSource(src.c_str(), -1);
        c.SetOutput((dir + "/o.wav").c_str(), 0, 0);
        EXPECT_EQ(c.ConvertRange(bad, 1.0), -6) << bad;
        EXPECT_EQ(c.queuedSources(), 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/o.wav"));
}

TEST(CutJob, StartsAtTheTruncatedStart)
{
    std::string dir = TestDir();
    // 4 s of 300 Hz then 4 s of 900 Hz: a cut from 4.7 s starts in the second tone.
    ASSERT_TRUE(::Run("sox -n -r 44100 -c 1 " + Quote(dir + "/a.wav") + " synth 4 sine 300"));
    ASSERT_TRUE(::Run("sox -n -r 44100 -c 1 " + Quote(dir + "/b.wav") + " synth 4 sine 900"));
    ASSERT_TRUE(::Run("sox " + Quote(dir + "/a.wav") + " " + Quote(dir + "/b.wav") + " " + Quote(dir + "/ab.wav")));
    Converter c;
    c.AddSource((dir + "/ab.wav").c_str(), -1);
    c.SetOutput((dir + "/cut.wav").c_str(), 0, 4);
    ASSERT_EQ(c.ConvertRange(4.7, 6.0), 0);
    int rate = 0, ch = 0;
    std::vector<int16_t> pcm = DecodePcm(dir + "/cut.wav", &rate, &ch);
    ASSERT_GT(pcm.size(), 44100u);
    std::vector<int16_t> head(pcm.begin(), pcm.begin() + 22050);
    EXPECT_NEAR(ZeroCrossingFrequency(head, 1, rate), 900, 10);
}

TEST(MergeJob, UnopenableSecondSourceFinishesOutputWithFirstOnly)
{
    std::string dir = TestDir();
    std::string a = MakeTone(dir + "/a.wav", 3.0);
    std::string b = dir + "/missing.wav";
    std::string d = MakeTone(dir + "/c.wav", 3.0);
    Converter c;
    c.AddSource(a.c_str(), -1);
    c.AddSource(b.c_str(), -1);
    c.AddSource(d.c_str(), -1);
    c.SetOutput((dir + "/merged.mp3").c_str(), 0, 0);
    EXPECT_EQ(c.Convert(false), -1);
    EXPECT_EQ(c.queuedSources(), 0u);
    ProbeResult p = Probe(dir + "/merged.mp3");
    ASSERT_TRUE(p.ok);
    EXPECT_NEAR(p.seconds, 3.0, 0.1);
}

TEST(MergeJob, JoinsSourcesAndRestartsPositionsPerSource)
{
    std::string dir = TestDir();
    std::string a = MakeTone(dir + "/a.wav", 2.0);
    std::string b = MakeTone(dir + "/b.wav", 3.0, 22050, 1);
    std::string d = MakeTone(dir + "/c.wav", 1.0, 48000, 2);
    Converter c;
    ProgressRecord progress;
    c.progressCallback = &ProgressRecord::Callback;
    c.progressUser = &progress;
    for (const auto& s : {a, b, d}) c.AddSource(s.c_str(), -1);
    c.SetOutput((dir + "/merged.wav").c_str(), 0, 0);
    ASSERT_EQ(c.Convert(false), 0);
    ProbeResult p = Probe(dir + "/merged.wav");
    EXPECT_NEAR(p.seconds, 6.0, 0.2);
    EXPECT_EQ(p.channels, 2);
    // Lengths 2, 3, 1 in turn; each source's positions start again near 0.
    std::vector<double> lengths;
    int restarts = 0;
    double last = -1;
    for (const auto& call : progress.calls) {
        if (lengths.empty() || lengths.back() != call.second) lengths.push_back(call.second);
        if (call.first < last) {
            ++restarts;
            EXPECT_LT(call.first, 0.1);
        }
        EXPECT_LE(call.first, call.second + 0.1);
        last = call.first;
    }
    EXPECT_EQ(lengths, (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(restarts, 2);
}

TEST(Queue, EmptyQueueReturnsZeroAndWritesNothing)
{
    std::string dir = TestDir();
    Converter c;
    c.SetOutput((dir + "/none.mp3").c_str(), 0, 0);
    EXPECT_EQ(c.Convert(false), 0);
    EXPECT_FALSE(fs::exists(dir + "/none.mp3"));
}

TEST(Queue, MissingPathsAreRefused)
{
    Converter c;
    EXPECT_EQ(c.AddSource("", -1), -1);
    EXPECT_EQ(c.AddSource(nullptr, -1), -1);
    EXPECT_EQ(c.SetOutput("", 0, 0), -1);
    EXPECT_EQ(c.queuedSources(), 0u);
}

class StreamChoice : public ::testing::Test {
protected:
    static std::string five_;
    static void SetUpTestSuite()
    {
        // One video stream, then five audio streams at 300, 500, 700, 900 and 1100 Hz.
        std::string dir = TestDir();
        five_ = dir + "/five.mkv";
        std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i color=c=black:s=64x64:d=3";
        for (int f : {300, 500, 700, 900, 1100})
            cmd += " -f lavfi -i sine=frequency=" + std::to_string(f) + ":duration=3";
        cmd += " -map 0 -map 1 -map 2 -map 3 -map 4 -map 5 -c:v mpeg4 -c:a pcm_s16le " + Quote(five_);
        ASSERT_TRUE(::Run(cmd));
    }
    double FrequencyOf(int stream)
    {
        std::string out = TestDir() + "/o.wav";
        Converter c;
        EXPECT_EQ(c.AddSource(five_.c_str(), stream), 0);
        c.SetOutput(out.c_str(), 0, 4);
        EXPECT_EQ(c.Convert(false), 0);
        int rate = 0, ch = 0;
        std::vector<int16_t> pcm = DecodePcm(out, &rate, &ch);
        return ZeroCrossingFrequency(pcm, ch, rate);
    }
};
std::string StreamChoice::five_;

TEST_F(StreamChoice, MinusOneTakesTheFirstAudioStreamAndNCountsAudioOnly)
{
    EXPECT_NEAR(FrequencyOf(-1), 300, 5);
    EXPECT_NEAR(FrequencyOf(3), 900, 5);
    EXPECT_NEAR(FrequencyOf(4), 1100, 5);
}

TEST_F(StreamChoice, BeyondTheLastAudioStreamIsNoStream)
{
    Converter c;
    c.AddSource(five_.c_str(), 5);
    c.SetOutput((TestDir() + "/o.wav").c_str(), 0, 0);
    EXPECT_EQ(c.Convert(false), -4);
}

TEST(StreamChoiceFallback, StreamWithoutDecoderFallsToTheNextAudioStream)
{
    std::string dir = TestDir();
    std::string avi = dir + "/two.avi";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=400:duration=2 -f lavfi -i "
                    "sine=frequency=1200:duration=2 -map 0 -map 1 -c:a pcm_s16le " + Quote(avi)));
    // Give the first audio stream a format tag no decoder knows.
    std::fstream f(avi, std::ios::in | std::ios::out | std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    size_t at = data.find("strf");
    ASSERT_NE(at, std::string::npos);
    f.seekp(static_cast<std::streamoff>(at + 8));
    f.write("\x77\x77", 2);
    f.close();
    Converter c;
    c.AddSource(avi.c_str(), -1);
    c.SetOutput((dir + "/o.wav").c_str(), 0, 4);
    ASSERT_EQ(c.Convert(false), 0);
    int rate = 0, ch = 0;
    std::vector<int16_t> pcm = DecodePcm(dir + "/o.wav", &rate, &ch);
    EXPECT_NEAR(ZeroCrossingFrequency(pcm, ch, rate), 1200, 10);
}

TEST(Channels, SixChannelSourceIsDecodedAsTwoWithoutResampling)
{
    std::string dir = TestDir();
    std::string src = dir + "/surround.wav";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=500:duration=2 -ac 6 " + Quote(src)));
    ASSERT_EQ(Probe(src).channels, 6);
    Converter c;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o.mp3", 0), 0);
    EXPECT_FALSE(c.lastJobResampled());
    ProbeResult p = Probe(dir + "/o.mp3");
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.sampleRate, 44100);
    EXPECT_NEAR(p.seconds, 2.0, 0.06);
}

TEST(Channels, StereoToMonoAt48kIsResampledAndDownMixed)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 2.0, 44100, 2, "", 1000);
    Converter c;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o.mp3", 16), 0);
    EXPECT_TRUE(c.lastJobResampled());
    int rate = 0, ch = 0;
    std::vector<int16_t> pcm = DecodePcm(dir + "/o.mp3", &rate, &ch);
    EXPECT_EQ(rate, 48000);
    EXPECT_EQ(ch, 1);
    EXPECT_NEAR(ZeroCrossingFrequency(pcm, 1, rate), 1000, 15);  // pitch survives the rate change
}

TEST(Cancel, FromAnotherThreadReturnsMinusSevenAndLeavesAFinishedOutput)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/long.wav", 120.0);
    Converter c;
    std::atomic<double> position{0};
    c.progressCallback = [](double pos, double, void* p) {
        static_cast<std::atomic<double>*>(p)->store(pos);
    };
    c.progressUser = &position;
    c.AddSource(src.c_str(), -1);
    c.AddSource(src.c_str(), -1);  // queued sources after a cancel are discarded
    c.SetOutput((dir + "/o.mp3").c_str(), 0, 0);
    EngineResult rc = 1;
    std::thread worker([&] { rc = c.Convert(false); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (position.load() < 2.0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    c.Cancel();
    worker.join();
    EXPECT_EQ(rc, -7);
    EXPECT_EQ(c.queuedSources(), 0u);
    ProbeResult p = Probe(dir + "/o.mp3");
    ASSERT_TRUE(p.ok);
    EXPECT_GT(p.seconds, 1.9);
    EXPECT_LT(p.seconds, 100.0);
    // The next job runs normally: the cancel flag was cleared.
    EXPECT_EQ(ConvertOne(c, MakeTone(dir + "/short.wav", 1.0), dir + "/again.mp3", 0), 0);
}
