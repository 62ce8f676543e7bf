#pragma once
// Helpers of the Windows Media tests: owned interface pointers, UTF-16 paths, test files.
#include <cstdint>
#include <string>
#include <vector>

#include "wm_sdk.h"

template <class T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { reset(); }
    void reset()
    {
        if (p) p->Release();
        p = nullptr;
    }
    T** out()
    {
        reset();
        return &p;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

// A fresh directory for the running test under $KELVRA_WM_TEST_DIR (set by the test entry),
// made without std::filesystem, whose conversions do not work in a Winelib program.
std::string WmTestDir();

// A native UTF-8 path as the runtime takes it.
std::u16string WidePathOf(const std::string& path);
const WCHAR* W(const std::u16string& text);

// A WMA file (FFmpeg's wmav2 encoder) holding a sine tone.
std::string MakeWma(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                    const std::string& extraArgs = "");

// Reads every sample the reader delivers; returns their bytes, or -1 on a failure that is not the end.
int64_t ReadAllSamples(IWMSyncReader* reader, std::vector<uint8_t>* pcm = nullptr, QWORD* firstTime = nullptr);

// The UTF-16 text of a string attribute (without the terminator).
std::u16string AttributeText(const std::vector<BYTE>& value);
std::vector<BYTE> StringValue(const std::u16string& text);

std::vector<uint8_t> FileBytes(const std::string& path);
