// The layer's writer and metadata editor: real ASF files that FFmpeg decodes.
#include <gtest/gtest.h>

#include <cmath>

#include "media_fixtures.h"
#include "media_probe.h"
#include "wm_test_support.h"

namespace {

const GUID kAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A writer set up for codec 0, format index, through the public interfaces only.
HRESULT SetUpWriter(IWMWriter* writer, DWORD format, const std::string& path, int* rate, int* channels)
{
    Ref<IWMProfileManager> manager;
    Ref<IWMCodecInfo3> info;
    Ref<IWMProfile> profile;
    Ref<IWMStreamConfig> codecFormat;
    HRESULT hr = WMCreateProfileManager(manager.out());
    if (SUCCEEDED(hr)) hr = manager->QueryInterface(IID_IWMCodecInfo3, info.outVoid());
    if (SUCCEEDED(hr)) hr = info->GetCodecFormat(kAudio, 0, format, codecFormat.out());
    if (SUCCEEDED(hr)) hr = manager->CreateEmptyProfile(WMT_VER_9_0, profile.out());
    if (SUCCEEDED(hr)) hr = profile->AddStream(codecFormat.p);
    if (SUCCEEDED(hr)) hr = writer->SetProfile(profile.p);
    if (SUCCEEDED(hr)) hr = writer->SetOutputFilename(W(WidePathOf(path)));
    Ref<IWMInputMediaProps> input;
    if (SUCCEEDED(hr)) hr = writer->GetInputProps(0, input.out());
    if (SUCCEEDED(hr)) {
        std::vector<BYTE> buffer(1000);
        DWORD size = 1000;
        hr = input->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data()), &size);
        auto* wave = reinterpret_cast<const WAVEFORMATEX*>(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data())->pbFormat);
        *rate = static_cast<int>(wave->nSamplesPerSec);
        *channels = wave->nChannels;
    }
    return hr;
}

HRESULT AddString(IWMHeaderInfo3* header, const WCHAR* name, const std::u16string& text)
{
    WORD index = 0;
    return header->AddAttribute(0, name, &index, WMT_TYPE_STRING, 0, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() * 2));
}

std::vector<std::u16string> Values(IWMHeaderInfo3* header, const WCHAR* name)
{
    std::vector<std::u16string> out;
    WORD count = 0;
    header->GetAttributeIndices(0, name, nullptr, nullptr, &count);
    std::vector<WORD> indices(count);
    if (count) header->GetAttributeIndices(0, name, nullptr, indices.data(), &count);
    for (WORD i : indices) {
        WMT_ATTR_DATATYPE type;
        DWORD length = 0;
        WORD lang = 0, nameLen = 0;
        header->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &lang, nullptr, &length);
        std::vector<BYTE> value(length);
        header->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &lang, value.data(), &length);
        out.push_back(AttributeText(value));
    }
    return out;
}

// Writes a 2-second 1 kHz tone through the layer's writer.
void WriteTone(const std::string& path, DWORD format, const std::u16string& title)
{
    Ref<IWMWriter> writer;
    ASSERT_EQ(WMCreateWriter(nullptr, writer.out()), S_OK);
    int rate = 0, channels = 0;
    ASSERT_EQ(SetUpWriter(writer.p, format, path, &rate, &channels), S_OK);
    Ref<IWMHeaderInfo3> header;
    ASSERT_EQ(writer->QueryInterface(IID_IWMHeaderInfo3, header.outVoid()), S_OK);
    ASSERT_EQ(AddString(header.p, L"Title", title), S_OK);
    ASSERT_EQ(AddString(header.p, L"Author", u"Writer Test"), S_OK);
    ASSERT_EQ(AddString(header.p, L"WM/AlbumTitle", u"Album"), S_OK);
    ASSERT_EQ(writer->BeginWriting(), S_OK);
    EXPECT_EQ(AddString(header.p, L"Title", u"late"), NS_E_INVALID_REQUEST);
    const int block = 4410;
    std::vector<int16_t> pcm(static_cast<size_t>(block * channels));
    for (int b = 0; b < 2 * rate / block; ++b) {
        for (int i = 0; i < block; ++i)
            for (int c = 0; c < channels; ++c)
                pcm[static_cast<size_t>(i * channels + c)] =
                    static_cast<int16_t>(8000 * std::sin(2 * M_PI * 1000.0 * (b * block + i) / rate));
        INSSBuffer* sample = nullptr;
        ASSERT_EQ(writer->AllocateSample(static_cast<DWORD>(pcm.size() * 2), &sample), S_OK);
        BYTE* data = nullptr;
        sample->GetBuffer(&data);
        memcpy(data, pcm.data(), pcm.size() * 2);
        sample->SetLength(static_cast<DWORD>(pcm.size() * 2));
        EXPECT_EQ(writer->WriteSample(0, static_cast<QWORD>(b) * block * 10000000 / rate, 1, sample), S_OK);
        sample->Release();
    }
    ASSERT_EQ(writer->Flush(), S_OK);
    ASSERT_EQ(writer->EndWriting(), S_OK);
    EXPECT_EQ(writer->EndWriting(), NS_E_INVALID_REQUEST);
}

}  // namespace

TEST(WmLayerWriter, WritesARealAsfFileWithItsAttributes)
{
    std::string dir = WmTestDir();
    std::string path = dir + "/out.wma";
    WriteTone(path, 7, u"Ünïcode title");  // 128 kbps, 44 kHz, stereo
    ProbeResult probe = Probe(path);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec, "wmav2");
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_EQ(probe.channels, 2);
    EXPECT_NEAR(probe.seconds, 2.0, 0.1);
    EXPECT_EQ(probe.tags["title"], "Ünïcode title");
    EXPECT_EQ(probe.tags["artist"], "Writer Test");
    EXPECT_EQ(probe.tags["album"], "Album");
    // The decoded tone is a 1 kHz sine, not noise.
    std::vector<int16_t> pcm = DecodePcm(path);
    ASSERT_GT(pcm.size(), 44100u * 2);
    int crossings = 0;
    for (size_t i = 2 * 4410; i + 2 < 2 * 48510; i += 2)
        if ((pcm[i] < 0) != (pcm[i + 2] < 0)) ++crossings;
    EXPECT_NEAR(crossings, 2 * 1000 * 1.0, 40);

    // A second file from the same writer starts with no attributes of the first.
    Ref<IWMWriter> writer;
    ASSERT_EQ(WMCreateWriter(nullptr, writer.out()), S_OK);
    EXPECT_EQ(writer->BeginWriting(), NS_E_NOT_CONFIGURED);
    int rate, channels;
    std::string bad = dir + "/no/such/dir/x.wma";
    ASSERT_EQ(SetUpWriter(writer.p, 0, bad, &rate, &channels), S_OK);
    EXPECT_EQ(writer->BeginWriting(), NS_E_FILE_OPEN_FAILED);
}

TEST(WmLayerEditor, FlushRewritesAttributesAndKeepsTheAudio)
{
    std::string dir = WmTestDir();
    std::string path = MakeWma(dir + "/tagged.wma", 3.0, 44100, 2, "-metadata title=Old -metadata artist=Someone");
    std::vector<int16_t> before = DecodePcm(path);
    Ref<IWMMetadataEditor> editor;
    ASSERT_EQ(WMCreateEditor(editor.out()), S_OK);
    ASSERT_EQ(editor->Open(W(WidePathOf(path))), S_OK);
    Ref<IWMHeaderInfo3> header;
    ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, header.outVoid()), S_OK);
    ASSERT_EQ(Values(header.p, L"Title"), std::vector<std::u16string>{u"Old"});
    ASSERT_EQ(AddString(header.p, L"Title", u"Second title"), S_OK);
    std::u16string newTitle = u"New";
    WORD count = 1, indices[2] = {};
    EXPECT_EQ(header->GetAttributeIndices(0, L"Title", nullptr, indices, &count), ASF_E_BUFFERTOOSMALL);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(header->GetAttributeIndices(0, L"Title", nullptr, indices, &count), S_OK);
    ASSERT_EQ(header->ModifyAttribute(0, indices[0], WMT_TYPE_STRING, 0, reinterpret_cast<const BYTE*>(newTitle.c_str()), 6),
              S_OK);
    ASSERT_EQ(AddString(header.p, L"WM/AlbumTitle", u"Added"), S_OK);
    ASSERT_EQ(editor->Flush(), S_OK);
    ASSERT_EQ(editor->Close(), S_OK);
    EXPECT_EQ(editor->Flush(), NS_E_INVALID_REQUEST);

    EXPECT_EQ(DecodePcm(path), before);
    ProbeResult probe = Probe(path);
    // FFmpeg keeps the last of two titles; the order itself is checked through the editor below.
    EXPECT_EQ(probe.tags["title"], "Second title");
    EXPECT_EQ(probe.tags["artist"], "Someone");
    EXPECT_EQ(probe.tags["album"], "Added");
    EXPECT_NEAR(probe.seconds, 3.0, 0.1);
    EXPECT_FALSE(::Run("test -e " + Quote(path + ".kvtmp")));

    // Opened again, both titles are there in their order.
    ASSERT_EQ(editor->Open(W(WidePathOf(path))), S_OK);
    ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, header.outVoid()), S_OK);
    EXPECT_EQ(Values(header.p, L"Title"), (std::vector<std::u16string>{u"New", u"Second title"}));
    editor->Close();
}

TEST(WmLayerEditor, DamagedFilesAreRefusedAndLeftAlone)
{
    std::string dir = WmTestDir();
    std::string path = MakeWma(dir + "/good.wma", 1.0);
    std::vector<uint8_t> bytes = FileBytes(path);
    std::string truncated = dir + "/truncated.wma";
    ASSERT_TRUE(::Run("head -c 200 " + Quote(path) + " > " + Quote(truncated)));
    std::string corrupt = dir + "/corrupt.wma";
    // A header size beyond the end of the file.
    ASSERT_TRUE(::Run("cp " + Quote(path) + " " + Quote(corrupt) + " && printf '\\377\\377\\377\\177' | dd of=" +
                    Quote(corrupt) + " bs=1 seek=16 conv=notrunc 2>/dev/null"));
    std::vector<uint8_t> corruptBefore = FileBytes(corrupt);
    Ref<IWMMetadataEditor> editor;
    ASSERT_EQ(WMCreateEditor(editor.out()), S_OK);
    EXPECT_EQ(editor->Open(W(WidePathOf(truncated))), NS_E_INVALID_DATA);
    EXPECT_EQ(editor->Open(W(WidePathOf(corrupt))), NS_E_INVALID_DATA);
    EXPECT_EQ(editor->Open(W(WidePathOf(dir + "/none.wma"))), NS_E_FILE_NOT_FOUND);
    EXPECT_EQ(FileBytes(corrupt), corruptBefore);

    // A file in a directory that cannot be written keeps its bytes when Flush fails.
    std::string locked = dir + "/locked";
    ASSERT_TRUE(::Run("mkdir " + Quote(locked) + " && cp " + Quote(path) + " " + Quote(locked) + "/a.wma && chmod 555 " +
                    Quote(locked)));
    ASSERT_EQ(editor->Open(W(WidePathOf(locked + "/a.wma"))), S_OK);
    Ref<IWMHeaderInfo3> header;
    ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, header.outVoid()), S_OK);
    ASSERT_EQ(AddString(header.p, L"Title", u"x"), S_OK);
    if (geteuid() != 0) {
        EXPECT_EQ(editor->Flush(), NS_E_FILE_WRITE);
        EXPECT_EQ(FileBytes(locked + "/a.wma"), bytes);
    }
    editor->Close();
    ::Run("chmod 755 " + Quote(locked));
}
