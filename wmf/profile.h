#pragma once
// IWMProfile: a list of stream configurations.
#include <string>
#include <vector>

#include "stream_config.h"

class Profile : public IWMProfile {
public:
    explicit Profile(WMT_VERSION version) : version_(version) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetVersion(WMT_VERSION* version) override;
    HRESULT STDMETHODCALLTYPE GetName(WCHAR* name, DWORD* length) override { return CopyWideText(name_, name, length); }
    HRESULT STDMETHODCALLTYPE SetName(const WCHAR* name) override;
    HRESULT STDMETHODCALLTYPE GetDescription(WCHAR* text, DWORD* length) override
    {
        return CopyWideText(description_, text, length);
    }
    HRESULT STDMETHODCALLTYPE SetDescription(const WCHAR* text) override;
    HRESULT STDMETHODCALLTYPE GetStreamCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetStream(DWORD index, IWMStreamConfig** config) override;
    HRESULT STDMETHODCALLTYPE GetStreamByNumber(WORD number, IWMStreamConfig** config) override;
    HRESULT STDMETHODCALLTYPE RemoveStream(IWMStreamConfig* config) override;
    HRESULT STDMETHODCALLTYPE RemoveStreamByNumber(WORD number) override;
    HRESULT STDMETHODCALLTYPE AddStream(IWMStreamConfig* config) override;
    HRESULT STDMETHODCALLTYPE ReconfigStream(IWMStreamConfig* config) override;
    HRESULT STDMETHODCALLTYPE CreateNewStream(REFGUID type, IWMStreamConfig** config) override;
    HRESULT STDMETHODCALLTYPE GetMutualExclusionCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetMutualExclusion(DWORD, IWMMutualExclusion**) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE RemoveMutualExclusion(IWMMutualExclusion*) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE AddMutualExclusion(IWMMutualExclusion*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateNewMutualExclusion(IWMMutualExclusion**) override { return E_NOTIMPL; }

    // The layer's own view: streams in profile order (owned references).
    const std::vector<StreamConfig*>& streams() const { return streams_; }
    // Adds a configuration the layer built itself; takes over the reference.
    void adopt(StreamConfig* config) { streams_.push_back(config); }

private:
    virtual ~Profile();
    WMT_VERSION version_;
    std::u16string name_, description_;
    std::vector<StreamConfig*> streams_;
};
