#include "ape_encoder.h"

#include "MACDll.h"
#include "engine_result.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// c_APECompress_Start is taken from the module already loaded, by name.
proc_APECompress_Start FindCompressStart()
{
#ifdef _WIN32
    HMODULE module = GetModuleHandleA("MACDll");
    return module ? reinterpret_cast<proc_APECompress_Start>(GetProcAddress(module, "c_APECompress_Start")) : nullptr;
#else
    void* symbol = nullptr;
    if (void* module = dlopen("libMACDll.so", RTLD_NOLOAD | RTLD_NOW)) {
        symbol = dlsym(module, "c_APECompress_Start");
        dlclose(module);
    }
    if (!symbol) symbol = dlsym(RTLD_DEFAULT, "c_APECompress_Start");
    return reinterpret_cast<proc_APECompress_Start>(symbol);
#endif
}

}  // namespace

struct ApeEncoder::State {
    APE_COMPRESS_HANDLE handle = nullptr;
    MAC_WAVEFORMATEX format{};
};

ApeEncoder::ApeEncoder() : state_(new State) {}

ApeEncoder::~ApeEncoder()
{
    finish();
    delete state_;
}

bool ApeEncoder::isOpen() const { return state_->handle != nullptr; }

int32_t ApeEncoder::open(const char* path, int32_t channels, int32_t sampleRate)
{
    State& s = *state_;
    finish();
    int error = 0;
    s.handle = c_APECompress_Create(&error);
    if (!s.handle) return kErrOpenEncoder;
    FillWaveFormatEx(&s.format, sampleRate, 16, channels);
    proc_APECompress_Start start = FindCompressStart();
    if (!start || !path ||
        start(s.handle, path, &s.format, MAX_AUDIO_BYTES_UNKNOWN, kCompressionLevel, nullptr,
              CREATE_WAV_HEADER_ON_DECOMPRESSION) != 0) {
        c_APECompress_Destroy(s.handle);
        s.handle = nullptr;
        return kErrOpenEncoder;
    }
    return kOk;
}

int32_t ApeEncoder::add(const uint8_t* data, int32_t bytes)
{
    State& s = *state_;
    if (!s.handle) return -1;
    if (c_APECompress_AddData(s.handle, const_cast<unsigned char*>(data), bytes) != 0) return -1;
    return bytes;
}

int32_t ApeEncoder::finish()
{
    State& s = *state_;
    if (!s.handle) return 0;
    const int rc = c_APECompress_Finish(s.handle, nullptr, 0, 0);
    c_APECompress_Destroy(s.handle);
    s.handle = nullptr;
    return rc == 0 ? 0 : -1;
}
