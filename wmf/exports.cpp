// The runtime's creation functions.
#include "metadata_editor.h"
#include "profile_manager.h"
#include "sync_reader.h"
#include "writer.h"

extern "C" {

HRESULT WINAPI WMCreateSyncReader(IUnknown*, DWORD, IWMSyncReader** reader)
{
    if (!reader) return E_POINTER;
    *reader = new SyncReader();
    return S_OK;
}

HRESULT WINAPI WMCreateWriter(IUnknown*, IWMWriter** writer)
{
    if (!writer) return E_POINTER;
    *writer = new Writer();
    return S_OK;
}

HRESULT WINAPI WMCreateProfileManager(IWMProfileManager** manager)
{
    if (!manager) return E_POINTER;
    *manager = new ProfileManager();
    return S_OK;
}

HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** editor)
{
    if (!editor) return E_POINTER;
    *editor = new MetadataEditor();
    return S_OK;
}

}  // extern "C"
