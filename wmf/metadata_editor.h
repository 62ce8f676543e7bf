#pragma once
// IWMMetadataEditor: the header attributes of an existing ASF file, rewritten by Flush
// without touching the media data.
#include <string>

#include "header_attributes.h"

class MetadataEditor : public IWMMetadataEditor, public HeaderAttributes {
public:
    MetadataEditor() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    HRESULT STDMETHODCALLTYPE Open(const WCHAR* filename) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Flush() override;

protected:
    HRESULT canRead() const override { return open_ ? S_OK : NS_E_INVALID_REQUEST; }
    HRESULT canWrite() const override { return open_ ? S_OK : NS_E_INVALID_REQUEST; }

private:
    ~MetadataEditor() override = default;
    std::string path_;
    bool open_ = false;
};
