#pragma once
// IWMWriter: encodes the PCM of its one audio input with FFmpeg's WMA encoder into an ASF
// file, then puts the attributes given through IWMHeaderInfo3 into the file's header.
#include <string>

#include "asf_encoder.h"
#include "header_attributes.h"
#include "profile.h"

class Writer : public IWMWriter, public HeaderAttributes {
public:
    Writer() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetProfileByID(REFGUID) override { return NS_E_INVALID_REQUEST; }
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile* profile) override;
    HRESULT STDMETHODCALLTYPE SetOutputFilename(const WCHAR* filename) override;
    HRESULT STDMETHODCALLTYPE GetInputCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetInputProps(DWORD input, IWMInputMediaProps** props) override;
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD input, IWMInputMediaProps* props) override;
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD input, DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD input, DWORD format, IWMInputMediaProps** props) override;
    HRESULT STDMETHODCALLTYPE BeginWriting() override;
    HRESULT STDMETHODCALLTYPE EndWriting() override;
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD size, INSSBuffer** sample) override;
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD input, QWORD time, DWORD flags, INSSBuffer* sample) override;
    HRESULT STDMETHODCALLTYPE Flush() override;

protected:
    HRESULT canRead() const override { return S_OK; }
    HRESULT canWrite() const override { return writing_ ? NS_E_INVALID_REQUEST : S_OK; }

private:
    ~Writer() override = default;
    bool configured() const { return settings_.sampleRate > 0; }

    AsfEncoderSettings settings_{0x161, 0, 0, 0, ""};
    std::string path_;
    AsfEncoder encoder_;
    bool writing_ = false;
};
