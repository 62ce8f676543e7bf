#pragma once
// A WM_MEDIA_TYPE with its own copy of the format block, handed out the runtime's way.
#include <string>
#include <vector>

#include "wm_interfaces.h"

class MediaType {
public:
    MediaType();
    // pType null asks for the size; a buffer smaller than the size is refused.
    HRESULT get(WM_MEDIA_TYPE* type, DWORD* size) const;
    HRESULT set(const WM_MEDIA_TYPE* type);
    const GUID& major() const { return type_.majortype; }
    const std::vector<BYTE>& format() const { return format_; }
    const WAVEFORMATEX* wave() const;  // null unless the format block is a WAVEFORMATEX

    static MediaType Pcm(int channels, int sampleRate);
    static MediaType Wma(WORD formatTag, int channels, int sampleRate, int bitrate, int blockAlign);
    static MediaType Video();

private:
    WM_MEDIA_TYPE type_;
    std::vector<BYTE> format_;
};

// Copies a name out the runtime's way (length in characters, with the terminator).
HRESULT CopyWideText(const std::u16string& text, WCHAR* out, WORD* length);
HRESULT CopyWideText(const std::u16string& text, WCHAR* out, DWORD* length);
