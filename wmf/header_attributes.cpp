#include "header_attributes.h"

#include <cstring>

namespace {

const size_t kMaxCount = 0xFFFF;

bool ValidType(WMT_ATTR_DATATYPE type) { return type >= WMT_TYPE_DWORD && type <= WMT_TYPE_GUID; }

size_t FixedSize(WMT_ATTR_DATATYPE type)
{
    switch (type) {
    case WMT_TYPE_DWORD: case WMT_TYPE_BOOL: return 4;
    case WMT_TYPE_QWORD: return 8;
    case WMT_TYPE_WORD: return 2;
    case WMT_TYPE_GUID: return 16;
    default: return 0;
    }
}

// Copies a value out the runtime's way: no buffer asks for the size, a small one is refused.
template <class Length>
HRESULT CopyOut(const std::vector<uint8_t>& from, BYTE* value, Length* length)
{
    if (!length) return E_INVALIDARG;
    if (from.size() > static_cast<size_t>(static_cast<Length>(-1))) return ASF_E_BUFFERTOOSMALL;
    Length need = static_cast<Length>(from.size());
    if (!value) {
        *length = need;
        return S_OK;
    }
    if (*length < need) {
        *length = need;
        return ASF_E_BUFFERTOOSMALL;
    }
    if (need) std::memcpy(value, from.data(), need);
    *length = need;
    return S_OK;
}

HRESULT CopyName(const std::u16string& name, WCHAR* out, WORD* len)
{
    if (!len) return S_OK;
    WORD need = static_cast<WORD>(name.size() + 1);
    if (!out) {
        *len = need;
        return S_OK;
    }
    if (*len < need) {
        *len = need;
        return ASF_E_BUFFERTOOSMALL;
    }
    std::memcpy(out, name.data(), name.size() * 2);
    out[name.size()] = 0;
    *len = need;
    return S_OK;
}

}  // namespace

std::u16string WideName(LPCWSTR name)
{
    std::u16string s;
    if (name)
        for (; *name; ++name) s.push_back(static_cast<char16_t>(*name));
    return s;
}

HRESULT HeaderAttributes::setValue(AsfAttribute& a, WMT_ATTR_DATATYPE type, const BYTE* value, DWORD length)
{
    if (!ValidType(type) || (length && !value)) return E_INVALIDARG;
    size_t fixed = FixedSize(type);
    if (fixed && length != fixed) return E_INVALIDARG;
    if (length > 0xFFFF) return NS_E_INVALID_DATA;
    a.type = static_cast<uint16_t>(type);
    a.value.assign(value, value + length);
    if (type == WMT_TYPE_STRING) TerminateAsfString(a.value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeCount(WORD stream, WORD* count)
{
    return GetAttributeCountEx(stream, count);
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeCountEx(WORD stream, WORD* count)
{
    if (!count) return E_INVALIDARG;
    if (HRESULT hr = canRead(); FAILED(hr)) return hr;
    *count = stream == 0 ? static_cast<WORD>(attributes_.size()) : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeByIndex(WORD index, WORD* stream, WCHAR* name, WORD* nameLen,
                                                                WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length)
{
    if (!stream || !type || !length) return E_INVALIDARG;
    if (HRESULT hr = canRead(); FAILED(hr)) return hr;
    if (*stream != 0 || index >= attributes_.size()) return E_INVALIDARG;
    const AsfAttribute& a = attributes_[index];
    if (HRESULT hr = CopyName(a.name, name, nameLen); FAILED(hr)) return hr;
    *type = static_cast<WMT_ATTR_DATATYPE>(a.type);
    return CopyOut(a.value, value, length);
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                                               BYTE* value, WORD* length)
{
    if (!stream || !name || !type || !length) return E_INVALIDARG;
    if (HRESULT hr = canRead(); FAILED(hr)) return hr;
    if (*stream != 0) return ASF_E_NOTFOUND;
    std::u16string wanted = WideName(name);
    for (const AsfAttribute& a : attributes_) {
        if (a.name != wanted) continue;
        *type = static_cast<WMT_ATTR_DATATYPE>(a.type);
        return CopyOut(a.value, value, length);
    }
    return ASF_E_NOTFOUND;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::SetAttribute(WORD stream, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                                         const BYTE* value, WORD length)
{
    if (!name) return E_INVALIDARG;
    if (HRESULT hr = canWrite(); FAILED(hr)) return hr;
    if (stream != 0) return NS_E_INVALID_REQUEST;
    std::u16string wanted = WideName(name);
    for (AsfAttribute& a : attributes_)
        if (a.name == wanted) return a.derived ? NS_E_INVALID_REQUEST : setValue(a, type, value, length);
    WORD index = 0;
    return AddAttribute(stream, name, &index, type, 0, value, length);
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetMarkerCount(WORD* markers)
{
    if (!markers) return E_INVALIDARG;
    *markers = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetScriptCount(WORD* scripts)
{
    if (!scripts) return E_INVALIDARG;
    *scripts = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetCodecInfoCount(DWORD* count)
{
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeIndices(WORD stream, LPCWSTR name, WORD* language,
                                                                WORD* indices, WORD* count)
{
    if (!name || !count) return E_INVALIDARG;
    if (HRESULT hr = canRead(); FAILED(hr)) return hr;
    std::vector<WORD> found;
    if (stream == 0) {
        std::u16string wanted = WideName(name);
        for (size_t i = 0; i < attributes_.size(); ++i)
            if (attributes_[i].name == wanted && (!language || *language == 0)) found.push_back(static_cast<WORD>(i));
    }
    if (!indices) {
        *count = static_cast<WORD>(found.size());
        return S_OK;
    }
    if (*count < found.size()) {
        *count = static_cast<WORD>(found.size());
        return ASF_E_BUFFERTOOSMALL;
    }
    std::memcpy(indices, found.data(), found.size() * sizeof(WORD));
    *count = static_cast<WORD>(found.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::GetAttributeByIndexEx(WORD stream, WORD index, LPWSTR name, WORD* nameLen,
                                                                  WMT_ATTR_DATATYPE* type, WORD* language, BYTE* value,
                                                                  DWORD* length)
{
    if (!type || !length) return E_INVALIDARG;
    if (HRESULT hr = canRead(); FAILED(hr)) return hr;
    if (stream != 0 || index >= attributes_.size()) return E_INVALIDARG;
    const AsfAttribute& a = attributes_[index];
    if (HRESULT hr = CopyName(a.name, name, nameLen); FAILED(hr)) return hr;
    if (language) *language = 0;
    *type = static_cast<WMT_ATTR_DATATYPE>(a.type);
    return CopyOut(a.value, value, length);
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::ModifyAttribute(WORD stream, WORD index, WMT_ATTR_DATATYPE type,
                                                            WORD language, const BYTE* value, DWORD length)
{
    if (HRESULT hr = canWrite(); FAILED(hr)) return hr;
    if (stream != 0 || language != 0 || index >= attributes_.size()) return E_INVALIDARG;
    AsfAttribute& a = attributes_[index];
    if (a.derived) return NS_E_INVALID_REQUEST;
    return setValue(a, type, value, length);
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::AddAttribute(WORD stream, LPCWSTR name, WORD* index,
                                                         WMT_ATTR_DATATYPE type, WORD language, const BYTE* value,
                                                         DWORD length)
{
    if (!name || !*name) return E_INVALIDARG;
    if (HRESULT hr = canWrite(); FAILED(hr)) return hr;
    if (stream != 0 || language != 0) return NS_E_INVALID_REQUEST;  // only file-level attributes are stored
    if (attributes_.size() >= kMaxCount) return NS_E_INVALID_REQUEST;
    AsfAttribute a;
    a.name = WideName(name);
    if (a.name.size() > 0x7FFE) return E_INVALIDARG;
    for (const AsfAttribute& existing : attributes_)
        if (existing.derived && existing.name == a.name) return NS_E_INVALID_REQUEST;
    if (HRESULT hr = setValue(a, type, value, length); FAILED(hr)) return hr;
    attributes_.push_back(std::move(a));
    if (index) *index = static_cast<WORD>(attributes_.size() - 1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HeaderAttributes::DeleteAttribute(WORD stream, WORD index)
{
    if (HRESULT hr = canWrite(); FAILED(hr)) return hr;
    if (stream != 0 || index >= attributes_.size()) return E_INVALIDARG;
    if (attributes_[index].derived) return NS_E_INVALID_REQUEST;
    attributes_.erase(attributes_.begin() + index);
    return S_OK;
}
