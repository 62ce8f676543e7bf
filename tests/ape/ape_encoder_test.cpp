// The engine's ApeEncoder and the library's handling of unusual inputs.
#include "MACDll.h"
#include "ape_decoder.h"
#include "ape_encoder.h"
#include "ape_test_util.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(ApeEncoderSink, WritesLevel3000FilesThatDecodeExactly)
{
    // The start call is found in the module the program linked, by name.
    void* module = dlopen("libMACDll.so", RTLD_NOLOAD | RTLD_NOW);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dlsym(module, "c_APECompress_Start"), nullptr);
    dlclose(module);

    const std::string path = TestDir() + "/sink.ape";
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 30000, 1, 11025);
    ApeEncoder e;
    ASSERT_EQ(e.open(path.c_str(), 1, 11025), 0);
    EXPECT_TRUE(e.isOpen());
    const auto* bytes = reinterpret_cast<const uint8_t*>(pcm.data());
    EXPECT_EQ(e.add(bytes, 20000), 20000);
    EXPECT_EQ(e.add(bytes + 20000, int32_t(pcm.size() * 2 - 20000)), int32_t(pcm.size() * 2 - 20000));
    EXPECT_EQ(e.finish(), 0);
    EXPECT_FALSE(e.isOpen());
    EXPECT_EQ(e.finish(), 0);  // nothing left to finish
    EXPECT_EQ(e.add(bytes, 2), -1);

    EXPECT_TRUE(DecodePcm(path) == pcm);
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path.c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_COMPRESSION_LEVEL, 0, 0), ApeEncoder::kCompressionLevel);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FORMAT_FLAGS, 0, 0) & 32, 32);  // WAV header made on decoding
    c_APEDecompress_Destroy(h);
}

TEST(ApeEncoderSink, OpenFailuresGiveMinus3)
{
    const std::string dir = TestDir();
    ApeEncoder e;
    EXPECT_EQ(e.open((dir + "/no/such/dir/x.ape").c_str(), 2, 44100), -3);
    EXPECT_FALSE(e.isOpen());
    EXPECT_EQ(e.open((dir + "/x.ape").c_str(), 3, 44100), -3);
    EXPECT_EQ(e.open((dir + "/x.ape").c_str(), 2, 0), -3);
    EXPECT_EQ(e.add(nullptr, 0), -1);
}

TEST(ApeEncoderSink, AFileWithoutSamplesOpensEmpty)
{
    const std::string path = TestDir() + "/empty.ape";
    {
        ApeEncoder e;
        ASSERT_EQ(e.open(path.c_str(), 2, 44100), 0);
        EXPECT_EQ(e.finish(), 0);
    }
    ApeDecoder d;
    ASSERT_EQ(d.open(path.c_str(), -1), 0);
    EXPECT_EQ(d.totalBlocks(), 0);
    EXPECT_EQ(d.length(), 0);
    EXPECT_EQ(d.position(), 0);
    std::vector<uint8_t> buffer(4000);
    EXPECT_EQ(d.read(buffer.data(), 4000, false, nullptr, 0), 0);
    EXPECT_EQ(d.readBlock()->kind, WaveBuffer::kEmpty);
    EXPECT_EQ(d.seek(1.0), 0);
}

TEST(ApeDecoderHostileHeaders, ImpossibleCountsAreRefusedWithoutHugeReads)
{
    const std::string dir = TestDir();
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 5000, 2, 44100);
    ASSERT_EQ(EncodeApe(dir + "/ok.ape", pcm, 2, 44100, 2000), 0);
    const std::vector<uint8_t> good = ReadBytes(dir + "/ok.ape");
    auto put32 = [](std::vector<uint8_t>& f, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
    };
    struct Change {
        const char* what;
        size_t at;
        uint32_t value;
    } changes[] = {
        {"frames", 52 + 12, 0x0FFFFFFF},          {"seek table bytes", 16, 0xFFFFFFF0},
        {"blocks per frame", 52 + 4, 0xFFFFFFFF}, {"final frame blocks", 52 + 8, 0x7FFFFFFF},
        {"channels", 52 + 18, 7 << 16 | 16},      {"descriptor bytes", 8, 0xFFFFFFFF},
        {"sample rate", 52 + 20, 0},
    };
    for (const Change& c : changes) {
        std::vector<uint8_t> bad = good;
        put32(bad, c.at, c.value);
        const std::string path = dir + "/bad.ape";
        WriteBytes(path, bad);
        ApeDecoder d;
        EXPECT_EQ(d.open(path.c_str(), -1), -2) << c.what;
    }
}

}  // namespace
