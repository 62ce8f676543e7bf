#pragma once
// What the Converter needs of the RealMedia back-end, in plain types.
// The Win32 build registers a factory; without one the engine counts as missing.
#include <cstdint>

class PcmResampler;

class RealMediaBackend {
public:
    virtual ~RealMediaBackend() = default;

    virtual bool startEngine() = 0;
    virtual bool engineReady() const = 0;
    virtual void setOwnerWindow(void* window) = 0;
    virtual void stop() = 0;
    virtual void setCaptureMode(int32_t mode) = 0;  // 0 = capture PCM, 1 = play
    virtual int32_t captureMode() const = 0;
    virtual bool openUrl(const char* path) = 0;
    virtual void begin() = 0;
    virtual int32_t lengthMs() const = 0;
    virtual void seekMs(int32_t ms) = 0;
    virtual void drainCapture() = 0;
    // Waits until the engine opened the capture device; false when it gave up.
    virtual bool waitDeviceOpened() = 0;
    virtual int32_t sourceChannels() const = 0;
    virtual int32_t sourceSampleRate() const = 0;
    virtual int32_t readPcm(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler,
                            int32_t outChannels) = 0;
    virtual void setAbort(bool abort) = 0;
};

using RealMediaFactory = RealMediaBackend* (*)();
void SetRealMediaFactory(RealMediaFactory factory);
RealMediaFactory GetRealMediaFactory();

// The window that owns RealMedia playback (the application's main window).
void SetApplicationMainWindow(void* window);
void* ApplicationMainWindow();
