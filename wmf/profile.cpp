#include "profile.h"

#include "header_attributes.h"

Profile::~Profile()
{
    for (StreamConfig* s : streams_) s->Release();
}

HRESULT STDMETHODCALLTYPE Profile::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMProfile)) {
        *out = static_cast<IWMProfile*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE Profile::GetVersion(WMT_VERSION* version)
{
    if (!version) return E_POINTER;
    *version = version_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::SetName(const WCHAR* name)
{
    if (!name) return E_POINTER;
    name_ = WideName(name);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::SetDescription(const WCHAR* text)
{
    if (!text) return E_POINTER;
    description_ = WideName(text);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::GetStreamCount(DWORD* count)
{
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(streams_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::GetStream(DWORD index, IWMStreamConfig** config)
{
    if (!config) return E_POINTER;
    if (index >= streams_.size()) return E_INVALIDARG;
    *config = static_cast<IWMStreamConfig3*>(streams_[index]);
    (*config)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::GetStreamByNumber(WORD number, IWMStreamConfig** config)
{
    if (!config) return E_POINTER;
    for (DWORD i = 0; i < streams_.size(); ++i)
        if (streams_[i]->number() == number) return GetStream(i, config);
    return NS_E_NO_STREAM;
}

HRESULT STDMETHODCALLTYPE Profile::RemoveStream(IWMStreamConfig* config)
{
    if (!config) return E_POINTER;
    WORD number = 0;
    config->GetStreamNumber(&number);
    return RemoveStreamByNumber(number);
}

HRESULT STDMETHODCALLTYPE Profile::RemoveStreamByNumber(WORD number)
{
    for (size_t i = 0; i < streams_.size(); ++i) {
        if (streams_[i]->number() != number) continue;
        streams_[i]->Release();
        streams_.erase(streams_.begin() + static_cast<std::ptrdiff_t>(i));
        return S_OK;
    }
    return NS_E_NO_STREAM;
}

HRESULT STDMETHODCALLTYPE Profile::AddStream(IWMStreamConfig* config)
{
    StreamConfig* copy = nullptr;
    HRESULT hr = StreamConfig::CopyFrom(config, &copy);
    if (FAILED(hr)) return hr;
    if (copy->number() == 0) {  // the next free number
        WORD next = 1;
        for (StreamConfig* s : streams_)
            if (s->number() >= next) next = static_cast<WORD>(s->number() + 1);
        copy->SetStreamNumber(next);
    }
    for (StreamConfig* s : streams_)
        if (s->number() == copy->number()) {
            copy->Release();
            return NS_E_INVALID_STREAM;
        }
    streams_.push_back(copy);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::ReconfigStream(IWMStreamConfig* config)
{
    if (!config) return E_POINTER;
    WORD number = 0;
    config->GetStreamNumber(&number);
    HRESULT hr = RemoveStreamByNumber(number);
    return FAILED(hr) ? hr : AddStream(config);
}

HRESULT STDMETHODCALLTYPE Profile::CreateNewStream(REFGUID type, IWMStreamConfig** config)
{
    if (!config) return E_POINTER;
    if (!IsEqualGUID(type, WMMEDIATYPE_Audio) && !IsEqualGUID(type, WMMEDIATYPE_Video)) return NS_E_INVALID_STREAM;
    *config = static_cast<IWMStreamConfig3*>(new StreamConfig(type));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Profile::GetMutualExclusionCount(DWORD* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
