#pragma once
// INSSBuffer: one sample's bytes.
#include <vector>

#include "wm_interfaces.h"

class SampleBuffer : public INSSBuffer {
public:
    explicit SampleBuffer(DWORD capacity) : data_(capacity ? capacity : 1), length_(capacity) {}
    SampleBuffer(std::vector<BYTE>&& data) : length_(static_cast<DWORD>(data.size()))
    {
        data_ = std::move(data);
        if (data_.empty()) data_.resize(1);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_INSSBuffer)) {
            *out = static_cast<INSSBuffer*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetLength(DWORD* length) override
    {
        if (!length) return E_POINTER;
        *length = length_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLength(DWORD length) override
    {
        if (length > data_.size()) return E_INVALIDARG;
        length_ = length;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override
    {
        if (!length) return E_POINTER;
        *length = static_cast<DWORD>(data_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** buffer) override
    {
        if (!buffer) return E_POINTER;
        *buffer = data_.data();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** buffer, DWORD* length) override
    {
        if (!buffer || !length) return E_POINTER;
        *buffer = data_.data();
        *length = length_;
        return S_OK;
    }

private:
    virtual ~SampleBuffer() = default;
    std::vector<BYTE> data_;
    DWORD length_;
};
