// WmCodec's tag reading and rewriting, and the time stamps it hands the writer.
#include <gtest/gtest.h>

#include <cstring>

#include "media_fixtures.h"
#include "media_probe.h"
#include "wm_codec.h"
#include "wm_test_support.h"

namespace {

std::vector<std::u16string> Titles(const std::string& path)
{
    std::vector<std::u16string> out;
    Ref<IWMMetadataEditor> editor;
    Ref<IWMHeaderInfo3> header;
    if (FAILED(WMCreateEditor(editor.out())) || FAILED(editor->Open(W(WidePathOf(path)))) ||
        FAILED(editor->QueryInterface(IID_IWMHeaderInfo3, header.outVoid())))
        return out;
    WORD count = 16;
    WORD indices[16];
    if (SUCCEEDED(header->GetAttributeIndices(0, L"Title", nullptr, indices, &count)))
        for (WORD i = 0; i < count; ++i) {
            WMT_ATTR_DATATYPE type;
            WORD lang = 0, nameLen = 0;
            DWORD length = 1024;
            std::vector<BYTE> value(length);
            header->GetAttributeByIndexEx(0, indices[i], nullptr, &nameLen, &type, &lang, value.data(), &length);
            value.resize(length);
            out.push_back(AttributeText(value));
        }
    editor->Close();
    return out;
}

// A writer that notes the sample times and passes everything on to the runtime's writer.
class RecordingWriter : public IWMWriter {
public:
    explicit RecordingWriter(IWMWriter* inner) : inner_(inner) {}
    std::vector<QWORD> times;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMWriter)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --refs_;
        if (!left) {
            inner_->Release();
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE SetProfileByID(REFGUID g) override { return inner_->SetProfileByID(g); }
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile* p) override { return inner_->SetProfile(p); }
    HRESULT STDMETHODCALLTYPE SetOutputFilename(const WCHAR* f) override { return inner_->SetOutputFilename(f); }
    HRESULT STDMETHODCALLTYPE GetInputCount(DWORD* c) override { return inner_->GetInputCount(c); }
    HRESULT STDMETHODCALLTYPE GetInputProps(DWORD i, IWMInputMediaProps** p) override { return inner_->GetInputProps(i, p); }
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD i, IWMInputMediaProps* p) override { return inner_->SetInputProps(i, p); }
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD i, DWORD* c) override { return inner_->GetInputFormatCount(i, c); }
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD i, DWORD f, IWMInputMediaProps** p) override
    {
        return inner_->GetInputFormat(i, f, p);
    }
    HRESULT STDMETHODCALLTYPE BeginWriting() override { return inner_->BeginWriting(); }
    HRESULT STDMETHODCALLTYPE EndWriting() override { return inner_->EndWriting(); }
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD s, INSSBuffer** b) override { return inner_->AllocateSample(s, b); }
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD i, QWORD t, DWORD f, INSSBuffer* b) override
    {
        times.push_back(t);
        flags = f;
        return inner_->WriteSample(i, t, f, b);
    }
    HRESULT STDMETHODCALLTYPE Flush() override { return inner_->Flush(); }
    DWORD flags = 0;

private:
    IWMWriter* inner_;
    ULONG refs_ = 1;
};

}  // namespace

TEST(WmCodecTags, ReadTagsCutsLongTextsAndRewriteChangesTheFirstTitle)
{
    std::string dir = WmTestDir();
    std::string longTitle(700, 'x');
    std::string path = MakeWma(dir + "/a.wma", 1.5, 44100, 2,
                               "-metadata title=" + longTitle + " -metadata artist=Bob -metadata comment=Hi");
    WmCodec codec;
    MediaInfo info{};
    memset(info.artist, 0x55, sizeof info.artist);
    info.artist[0] = 0;
    ASSERT_EQ(codec.readTags(path.c_str(), &info), 0);
    EXPECT_EQ(strlen(info.title), 511u);
    EXPECT_EQ(std::string(info.title), longTitle.substr(0, 511));
    EXPECT_STREQ(info.artist, "Bob");
    EXPECT_STREQ(info.comment, "Hi");
    EXPECT_STREQ(info.album, "");
    EXPECT_NEAR(info.duration, 1.5, 0.1);

    // A second "Title" after the first; no "WM/AlbumTitle" yet.
    {
        Ref<IWMMetadataEditor> editor;
        Ref<IWMHeaderInfo3> header;
        ASSERT_EQ(WMCreateEditor(editor.out()), S_OK);
        ASSERT_EQ(editor->Open(W(WidePathOf(path))), S_OK);
        ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, header.outVoid()), S_OK);
        std::u16string second = u"Kept";
        WORD index = 0;
        ASSERT_EQ(header->AddAttribute(0, L"Title", &index, WMT_TYPE_STRING, 0,
                                       reinterpret_cast<const BYTE*>(second.c_str()), 8),
                  S_OK);
        ASSERT_EQ(editor->Flush(), S_OK);
        editor->Close();
    }
    std::vector<int16_t> audio = DecodePcm(path);
    MediaInfo edit{};
    strcpy(edit.title, "Changed");
    strcpy(edit.artist, "Eve");
    strcpy(edit.album, "New album");
    ASSERT_EQ(codec.rewriteTags(path.c_str(), &edit), 0);
    EXPECT_EQ(Titles(path), (std::vector<std::u16string>{u"Changed", u"Kept"}));
    EXPECT_EQ(DecodePcm(path), audio);
    MediaInfo back{};
    ASSERT_EQ(codec.readTags(path.c_str(), &back), 0);
    EXPECT_STREQ(back.title, "Changed");
    EXPECT_STREQ(back.artist, "Eve");
    EXPECT_STREQ(back.comment, "");  // empty fields are written as empty strings
    EXPECT_STREQ(back.album, "New album");
    ProbeResult probe = Probe(path);
    EXPECT_EQ(probe.tags["album"], "New album");
}

TEST(WmCodecTags, FilesTheRuntimeCannotOpen)
{
    std::string dir = WmTestDir();
    std::string wav = MakeTone(dir + "/a.wav", 0.5);
    WmCodec codec;
    MediaInfo info{};
    EXPECT_EQ(codec.readTags((dir + "/none.wma").c_str(), &info), -10);
    EXPECT_EQ(codec.readTags(wav.c_str(), &info), -10);
    EXPECT_EQ(codec.rewriteTags((dir + "/none.wma").c_str(), &info), -11);
    std::vector<uint8_t> before = FileBytes(wav);
    EXPECT_EQ(codec.rewriteTags(wav.c_str(), &info), -11);
    EXPECT_EQ(FileBytes(wav), before);
}

TEST(WmCodecSink, SampleTimesAreIn100NanosecondUnits)
{
    IWMWriter* inner = nullptr;
    ASSERT_EQ(WMCreateWriter(nullptr, &inner), S_OK);
    auto* recorder = new RecordingWriter(inner);
    recorder->AddRef();  // one for the codec, one for the test
    WmCodec codec(recorder);
    ASSERT_TRUE(codec.initialize());
    std::string dir = WmTestDir();
    std::vector<std::string> formats;
    codec.listFormats(0, formats);
    ASSERT_TRUE(codec.openSink((dir + "/t.wma").c_str(), 0, 7));
    ASSERT_TRUE(codec.beginWriting());
    std::vector<uint8_t> block(40000, 0);
    ASSERT_TRUE(codec.writePcm(block.data(), 40000, 0));
    ASSERT_TRUE(codec.writePcm(block.data(), 40000, 1500000));
    ASSERT_TRUE(codec.finishWriting());
    ASSERT_EQ(recorder->times.size(), 2u);
    EXPECT_EQ(recorder->times[1], 15000000u);
    EXPECT_EQ(recorder->flags, 1u);
    recorder->Release();
}
