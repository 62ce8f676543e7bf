// The runtime layer's synchronous reader on real WMA/ASF files made by FFmpeg.
#include <gtest/gtest.h>

#include "media_fixtures.h"
#include "media_probe.h"
#include "wm_test_support.h"

namespace {

const GUID kAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HRESULT OpenReader(Ref<IWMSyncReader>& reader, const std::string& path)
{
    HRESULT hr = WMCreateSyncReader(nullptr, 0, reader.out());
    if (FAILED(hr)) return hr;
    return reader->Open(W(WidePathOf(path)));
}

bool Attribute(IWMSyncReader* reader, const WCHAR* name, std::vector<BYTE>& value, WMT_ATTR_DATATYPE& type)
{
    Ref<IWMHeaderInfo> header;
    if (FAILED(reader->QueryInterface(IID_IWMHeaderInfo, header.outVoid()))) return false;
    WORD stream = 0, length = 0;
    if (FAILED(header->GetAttributeByName(&stream, name, &type, nullptr, &length))) return false;
    value.assign(length, 0);
    return SUCCEEDED(header->GetAttributeByName(&stream, name, &type, value.data(), &length));
}

}  // namespace

TEST(WmLayerReader, DeliversAllPcmOfOneStreamInOrderThenNoMoreSamples)
{
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/tone.wma", 2.0, 44100, 2);
    Ref<IWMSyncReader> reader;
    ASSERT_EQ(OpenReader(reader, wma), S_OK);

    DWORD outputs = 0;
    ASSERT_EQ(reader->GetOutputCount(&outputs), S_OK);
    ASSERT_EQ(outputs, 1u);
    Ref<IWMOutputMediaProps> props;
    ASSERT_EQ(reader->GetOutputProps(0, props.out()), S_OK);
    DWORD size = 0;
    ASSERT_EQ(props->GetMediaType(nullptr, &size), S_OK);
    std::vector<BYTE> buffer(size);
    auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
    DWORD tooSmall = size - 1;
    EXPECT_EQ(props->GetMediaType(type, &tooSmall), ASF_E_BUFFERTOOSMALL);
    ASSERT_EQ(props->GetMediaType(type, &size), S_OK);
    EXPECT_TRUE(IsEqualGUID(type->majortype, kAudio));
    ASSERT_GE(type->cbFormat, 16u);
    auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
    EXPECT_EQ(wave->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(wave->nChannels, 2);
    EXPECT_EQ(wave->nSamplesPerSec, 44100u);
    EXPECT_EQ(wave->wBitsPerSample, 16);

    std::vector<uint8_t> pcm;
    int64_t bytes = ReadAllSamples(reader.p, &pcm);
    std::vector<int16_t> reference = DecodePcm(wma);
    ASSERT_GT(bytes, 0);
    EXPECT_EQ(bytes, static_cast<int64_t>(reference.size() * 2));
    EXPECT_EQ(0, memcmp(pcm.data(), reference.data(), std::min(pcm.size(), reference.size() * 2)));

    // At the end the fetch keeps failing with the runtime's code.
    INSSBuffer* sample = nullptr;
    QWORD t, d;
    DWORD f, o;
    WORD s;
    EXPECT_EQ(reader->GetNextSample(0, &sample, &t, &d, &f, &o, &s), NS_E_NO_MORE_SAMPLES);
    EXPECT_EQ(sample, nullptr);
    EXPECT_EQ(reader->Close(), S_OK);
    EXPECT_EQ(reader->GetNextSample(0, &sample, &t, &d, &f, &o, &s), NS_E_INVALID_REQUEST);
}

TEST(WmLayerReader, HeaderAttributesAndDuration)
{
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/tags.wma", 3.0, 44100, 2,
                              "-metadata title='Süße Nacht' -metadata artist=Ann -metadata copyright=C1 "
                              "-metadata comment=Note -metadata album=Disc");
    Ref<IWMSyncReader> reader;
    ASSERT_EQ(OpenReader(reader, wma), S_OK);
    std::vector<BYTE> value;
    WMT_ATTR_DATATYPE type;
    ASSERT_TRUE(Attribute(reader.p, L"Duration", value, type));
    EXPECT_EQ(type, WMT_TYPE_QWORD);
    ASSERT_EQ(value.size(), 8u);
    uint64_t duration = 0;
    memcpy(&duration, value.data(), 8);
    EXPECT_NEAR(duration / 1e7, 3.0, 0.1);

    const std::pair<const WCHAR*, std::u16string> expected[] = {
        {L"Title", u"Süße Nacht"}, {L"Author", u"Ann"}, {L"Copyright", u"C1"}, {L"Description", u"Note"},
        {L"WM/AlbumTitle", u"Disc"}};
    for (const auto& e : expected) {
        ASSERT_TRUE(Attribute(reader.p, e.first, value, type));
        EXPECT_EQ(type, WMT_TYPE_STRING);
        EXPECT_EQ(AttributeText(value), e.second);
        EXPECT_EQ(value.size(), e.second.size() * 2 + 2);  // with the terminator
    }
    Ref<IWMHeaderInfo> header;
    ASSERT_EQ(reader->QueryInterface(IID_IWMHeaderInfo, header.outVoid()), S_OK);
    WORD stream = 0, length = 0;
    EXPECT_EQ(header->GetAttributeByName(&stream, L"WM/Nothing", &type, nullptr, &length), ASF_E_NOTFOUND);
    // The reader's header is read-only.
    EXPECT_TRUE(FAILED(header->SetAttribute(0, L"Title", WMT_TYPE_STRING, value.data(), 2)));
}

TEST(WmLayerReader, ProfileListsStreamsAndLastAudioCanBeSelected)
{
    std::string dir = WmTestDir();
    std::string two = dir + "/two.wma";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=f=440:d=2:sample_rate=22050' -f lavfi -i "
                    "'sine=f=880:d=1:sample_rate=44100' -map 0 -map 1 -c:a wmav2 -b:a 64k -ac:0 1 -ac:1 2 " +
                    Quote(two)));
    Ref<IWMSyncReader> reader;
    ASSERT_EQ(OpenReader(reader, two), S_OK);
    Ref<IWMProfile> profile;
    ASSERT_EQ(reader->QueryInterface(IID_IWMProfile, profile.outVoid()), S_OK);
    DWORD count = 0;
    ASSERT_EQ(profile->GetStreamCount(&count), S_OK);
    ASSERT_EQ(count, 2u);
    WORD numbers[2];
    for (DWORD i = 0; i < 2; ++i) {
        Ref<IWMStreamConfig> config;
        ASSERT_EQ(profile->GetStream(i, config.out()), S_OK);
        GUID type;
        ASSERT_EQ(config->GetStreamType(&type), S_OK);
        EXPECT_TRUE(IsEqualGUID(type, kAudio));
        ASSERT_EQ(config->GetStreamNumber(&numbers[i]), S_OK);
    }
    EXPECT_NE(numbers[0], numbers[1]);
    WMT_STREAM_SELECTION off = WMT_OFF, on = WMT_ON;
    ASSERT_EQ(reader->SetStreamsSelected(1, &numbers[0], &off), S_OK);
    ASSERT_EQ(reader->SetStreamsSelected(1, &numbers[1], &on), S_OK);
    WORD bogus = 60;
    EXPECT_EQ(reader->SetStreamsSelected(1, &bogus, &on), NS_E_INVALID_REQUEST);
    DWORD output = 99;
    ASSERT_EQ(reader->GetOutputNumberForStream(numbers[1], &output), S_OK);
    EXPECT_EQ(output, 1u);
    // Only the 1-second stereo stream arrives.
    int64_t bytes = ReadAllSamples(reader.p);
    EXPECT_NEAR(bytes / 4.0 / 44100, 1.0, 0.1);
}

TEST(WmLayerReader, SetRangeStartsAtTheGivenTime)
{
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/tone.wma", 4.0, 44100, 1);
    Ref<IWMSyncReader> reader;
    ASSERT_EQ(OpenReader(reader, wma), S_OK);
    QWORD start = 0;
    int64_t all = ReadAllSamples(reader.p, nullptr, &start);  // the file's stamps start after the codec delay
    ASSERT_EQ(reader->SetRange(15000000, 0), S_OK);  // 1.5 s to the end
    QWORD first = 0;
    int64_t rest = ReadAllSamples(reader.p, nullptr, &first);
    EXPECT_EQ(first, 15000000u);
    // Exactly the samples stamped before 1.5 s are left out.
    EXPECT_NEAR((all - rest) / 2.0 / 44100, 1.5 - start / 1e7, 0.001);
    ASSERT_EQ(reader->SetRange(10000000, 10000000), S_OK);  // 1 s from 1 s
    int64_t oneSecond = ReadAllSamples(reader.p);
    EXPECT_NEAR(oneSecond / 2.0 / 44100, 1.0, 0.1);
    EXPECT_EQ(reader->SetRange(0, -1), E_INVALIDARG);
}

TEST(WmLayerReader, FilesWithoutDurationVideoOnlyAndBadInput)
{
    std::string dir = WmTestDir();
    // Written to a pipe the muxer cannot go back to fill in the play duration.
    std::string streamed = dir + "/streamed.asf";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -f lavfi -i 'sine=d=1' -c:a wmav2 -b:a 64k -f asf pipe:1 > " +
                    Quote(streamed)));
    Ref<IWMSyncReader> reader;
    ASSERT_EQ(OpenReader(reader, streamed), S_OK);
    std::vector<BYTE> value;
    WMT_ATTR_DATATYPE type;
    EXPECT_FALSE(Attribute(reader.p, L"Duration", value, type));
    EXPECT_GT(ReadAllSamples(reader.p), 40000);

    std::string video = dir + "/video.asf";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -f lavfi -i 'testsrc=d=1:s=64x48' -c:v wmv2 -an " + Quote(video)));
    ASSERT_EQ(OpenReader(reader, video), S_OK);
    DWORD outputs = 0;
    ASSERT_EQ(reader->GetOutputCount(&outputs), S_OK);
    ASSERT_EQ(outputs, 1u);
    Ref<IWMOutputMediaProps> props;
    ASSERT_EQ(reader->GetOutputProps(0, props.out()), S_OK);
    GUID major;
    ASSERT_EQ(props->GetType(&major), S_OK);
    EXPECT_FALSE(IsEqualGUID(major, kAudio));

    EXPECT_EQ(OpenReader(reader, dir + "/missing.wma"), NS_E_FILE_NOT_FOUND);
    std::string wav = MakeTone(dir + "/tone.wav", 0.5);
    EXPECT_EQ(OpenReader(reader, wav), NS_E_INVALID_DATA);
}
