#include "wm_test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "media_fixtures.h"

std::string WmTestDir()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "global";
    const char* base = std::getenv("KELVRA_WM_TEST_DIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/test-tmp/" + name;
    Run("rm -rf " + Quote(dir) + " && mkdir -p " + Quote(dir));
    return dir;
}

std::u16string WidePathOf(const std::string& path)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::u16string wide(static_cast<size_t>(units > 0 ? units : 1), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, reinterpret_cast<WCHAR*>(&wide[0]), units);
    wide.resize(wide.size() - 1);
    return wide;
}

const WCHAR* W(const std::u16string& text) { return reinterpret_cast<const WCHAR*>(text.c_str()); }

std::string MakeWma(const std::string& path, double seconds, int rate, int channels, const std::string& extraArgs)
{
    return MakeTone(path, seconds, rate, channels, "-c:a wmav2 -b:a 64k " + extraArgs);
}

int64_t ReadAllSamples(IWMSyncReader* reader, std::vector<uint8_t>* pcm, QWORD* firstTime)
{
    int64_t total = 0;
    bool first = true;
    for (;;) {
        INSSBuffer* sample = nullptr;
        QWORD time = 0, duration = 0;
        DWORD flags = 0, output = 0;
        WORD stream = 0;
        HRESULT hr = reader->GetNextSample(0, &sample, &time, &duration, &flags, &output, &stream);
        if (hr == NS_E_NO_MORE_SAMPLES) return total;
        if (FAILED(hr)) return -1;
        if (first && firstTime) *firstTime = time;
        first = false;
        BYTE* data = nullptr;
        DWORD length = 0;
        sample->GetBufferAndLength(&data, &length);
        if (pcm) pcm->insert(pcm->end(), data, data + length);
        total += length;
        sample->Release();
    }
}

std::u16string AttributeText(const std::vector<BYTE>& value)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        char16_t c = static_cast<char16_t>(value[i] | value[i + 1] << 8);
        if (!c) break;
        text.push_back(c);
    }
    return text;
}

std::vector<BYTE> StringValue(const std::u16string& text)
{
    std::vector<BYTE> v;
    for (char16_t c : text) {
        v.push_back(static_cast<BYTE>(c & 0xFF));
        v.push_back(static_cast<BYTE>(c >> 8));
    }
    v.push_back(0);
    v.push_back(0);
    return v;
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
