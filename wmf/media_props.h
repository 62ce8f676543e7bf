#pragma once
// The media properties of a reader output (IWMOutputMediaProps) and a writer input (IWMInputMediaProps).
#include "media_type.h"

template <class Interface>
class MediaProps : public Interface {
public:
    MediaProps(const MediaType& media, const IID& iid) : media_(media), iid_(iid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMMediaProps) || IsEqualIID(iid, iid_)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetType(GUID* type) override
    {
        if (!type) return E_POINTER;
        *type = media_.major();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override { return media_.get(type, size); }
    HRESULT STDMETHODCALLTYPE SetMediaType(WM_MEDIA_TYPE* type) override { return media_.set(type); }
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR* name, WORD* length) override
    {
        return CopyWideText(u"", name, length);
    }
    const MediaType& mediaType() const { return media_; }

protected:
    virtual ~MediaProps() = default;
    MediaType media_;
    const IID& iid_;
};

class OutputMediaProps : public MediaProps<IWMOutputMediaProps> {
public:
    explicit OutputMediaProps(const MediaType& media) : MediaProps(media, IID_IWMOutputMediaProps) {}
    HRESULT STDMETHODCALLTYPE GetStreamGroupName(WCHAR* name, WORD* length) override
    {
        return CopyWideText(u"", name, length);
    }
};

class InputMediaProps : public MediaProps<IWMInputMediaProps> {
public:
    explicit InputMediaProps(const MediaType& media) : MediaProps(media, IID_IWMInputMediaProps) {}
    HRESULT STDMETHODCALLTYPE GetGroupName(WCHAR* name, WORD* length) override { return CopyWideText(u"", name, length); }
};
