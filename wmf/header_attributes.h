#pragma once
// IWMHeaderInfo3 over a list of file-level attributes; shared by the reader, the writer and
// the metadata editor. The owning class supplies the IUnknown part.
#include <vector>

#include "asf_header.h"
#include "wm_interfaces.h"

class HeaderAttributes : public IWMHeaderInfo3 {
public:
    // IWMHeaderInfo
    HRESULT STDMETHODCALLTYPE GetAttributeCount(WORD stream, WORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAttributeByIndex(WORD index, WORD* stream, WCHAR* name, WORD* nameLen,
                                                  WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) override;
    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
                                                 WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD stream, LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value,
                                           WORD length) override;
    HRESULT STDMETHODCALLTYPE GetMarkerCount(WORD* markers) override;
    HRESULT STDMETHODCALLTYPE GetMarker(WORD, WCHAR*, WORD*, QWORD*) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE AddMarker(LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveMarker(WORD) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE GetScriptCount(WORD* scripts) override;
    HRESULT STDMETHODCALLTYPE GetScript(WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE AddScript(LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveScript(WORD) override { return E_INVALIDARG; }
    // IWMHeaderInfo2
    HRESULT STDMETHODCALLTYPE GetCodecInfoCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetCodecInfo(DWORD, WORD*, WCHAR*, WORD*, WCHAR*, WMT_CODEC_INFO_TYPE*, WORD*,
                                           BYTE*) override
    {
        return E_INVALIDARG;
    }
    // IWMHeaderInfo3
    HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD stream, WORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAttributeIndices(WORD stream, LPCWSTR name, WORD* language, WORD* indices,
                                                  WORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD stream, WORD index, LPWSTR name, WORD* nameLen,
                                                    WMT_ATTR_DATATYPE* type, WORD* language, BYTE* value,
                                                    DWORD* length) override;
    HRESULT STDMETHODCALLTYPE ModifyAttribute(WORD stream, WORD index, WMT_ATTR_DATATYPE type, WORD language,
                                              const BYTE* value, DWORD length) override;
    HRESULT STDMETHODCALLTYPE AddAttribute(WORD stream, LPCWSTR name, WORD* index, WMT_ATTR_DATATYPE type,
                                           WORD language, const BYTE* value, DWORD length) override;
    HRESULT STDMETHODCALLTYPE DeleteAttribute(WORD stream, WORD index) override;
    HRESULT STDMETHODCALLTYPE AddCodecInfo(LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, WMT_CODEC_INFO_TYPE,
                                           WORD, BYTE*) override
    {
        return E_NOTIMPL;
    }

protected:
    virtual ~HeaderAttributes() = default;
    // Where the attributes can be read or changed right now; an error otherwise.
    virtual HRESULT canRead() const = 0;
    virtual HRESULT canWrite() const = 0;

    std::vector<AsfAttribute> attributes_;

private:
    HRESULT setValue(AsfAttribute& a, WMT_ATTR_DATATYPE type, const BYTE* value, DWORD length);
};

// The attribute name as UTF-16 units.
std::u16string WideName(LPCWSTR name);
