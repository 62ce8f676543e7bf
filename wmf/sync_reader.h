#pragma once
// IWMSyncReader over FFmpeg's ASF demuxer: decompressed 16-bit PCM of the selected streams
// in file order, the header's attributes through IWMHeaderInfo3, the file's profile through IWMProfile.
#include <string>

#include "asf_decoder.h"
#include "header_attributes.h"
#include "profile.h"

class SyncReader : public IWMSyncReader, public HeaderAttributes {
public:
    SyncReader() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE Open(const WCHAR* filename) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE SetRange(QWORD start, LONGLONG duration) override;
    HRESULT STDMETHODCALLTYPE SetRangeByFrame(WORD, QWORD, LONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextSample(WORD stream, INSSBuffer** sample, QWORD* time, QWORD* duration,
                                            DWORD* flags, DWORD* output, WORD* streamNumber) override;
    HRESULT STDMETHODCALLTYPE SetStreamsSelected(WORD count, WORD* numbers, WMT_STREAM_SELECTION* selections) override;
    HRESULT STDMETHODCALLTYPE GetStreamSelected(WORD number, WMT_STREAM_SELECTION* selection) override;
    HRESULT STDMETHODCALLTYPE SetReadStreamSamples(WORD number, BOOL compressed) override;
    HRESULT STDMETHODCALLTYPE GetReadStreamSamples(WORD number, BOOL* compressed) override;
    HRESULT STDMETHODCALLTYPE GetOutputSetting(DWORD, LPCWSTR, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override
    {
        return NS_E_UNSUPPORTED_PROPERTY;
    }
    HRESULT STDMETHODCALLTYPE SetOutputSetting(DWORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override
    {
        return NS_E_UNSUPPORTED_PROPERTY;
    }
    HRESULT STDMETHODCALLTYPE GetOutputCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetOutputProps(DWORD output, IWMOutputMediaProps** props) override;
    HRESULT STDMETHODCALLTYPE SetOutputProps(DWORD output, IWMOutputMediaProps* props) override;
    HRESULT STDMETHODCALLTYPE GetOutputFormatCount(DWORD output, DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetOutputFormat(DWORD output, DWORD format, IWMOutputMediaProps** props) override;
    HRESULT STDMETHODCALLTYPE GetOutputNumberForStream(WORD number, DWORD* output) override;
    HRESULT STDMETHODCALLTYPE GetStreamNumberForOutput(DWORD output, WORD* number) override;
    HRESULT STDMETHODCALLTYPE GetMaxOutputSampleSize(DWORD output, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE GetMaxStreamSampleSize(WORD number, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE OpenStream(IStream*) override { return E_NOTIMPL; }

protected:
    HRESULT canRead() const override { return decoder_.isOpen() ? S_OK : NS_E_INVALID_REQUEST; }
    HRESULT canWrite() const override { return NS_E_INVALID_REQUEST; }

private:
    ~SyncReader() override;
    int outputForStream(WORD number) const;  // -1 when there is none
    MediaType outputType(int output) const;

    AsfDecoder decoder_;
    Profile* profile_ = nullptr;
    std::vector<WORD> numbers_;  // ASF stream number of each FFmpeg stream, which is also its output
};
