#include "metadata_editor.h"

#include <unistd.h>

#include "asf_file_rewrite.h"
#include "native_path.h"

HRESULT STDMETHODCALLTYPE MetadataEditor::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMMetadataEditor))
        *out = static_cast<IWMMetadataEditor*>(this);
    else if (IsEqualIID(iid, IID_IWMHeaderInfo) || IsEqualIID(iid, IID_IWMHeaderInfo2) ||
             IsEqualIID(iid, IID_IWMHeaderInfo3))
        *out = static_cast<IWMHeaderInfo3*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MetadataEditor::Open(const WCHAR* filename)
{
    if (!filename) return E_INVALIDARG;
    if (open_) return NS_E_INVALID_REQUEST;
    std::string path;
    if (!NativePathFromWide(filename, path) || access(path.c_str(), R_OK) != 0) return NS_E_FILE_NOT_FOUND;
    std::vector<uint8_t> bytes;
    AsfHeader header;
    if (!ReadAsfHeaderBytes(path, bytes) || !ParseAsfHeader(bytes.data(), bytes.size(), header))
        return NS_E_INVALID_DATA;
    attributes_ = std::move(header.attributes);
    path_ = path;
    open_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MetadataEditor::Close()
{
    if (!open_) return NS_E_INVALID_REQUEST;
    open_ = false;
    attributes_.clear();
    path_.clear();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MetadataEditor::Flush()
{
    if (!open_) return NS_E_INVALID_REQUEST;
    return RewriteAsfAttributes(path_, attributes_) ? S_OK : NS_E_FILE_WRITE;
}
