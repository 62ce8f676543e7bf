#include "platform_backends.h"

#include "real_media_backend.h"
#include "windows_media_backend.h"
#include "wm_codec.h"

void InstallPlatformBackends()
{
    // Back-ends register their factories here as they become available.
    SetWindowsMediaFactory(CreateWmCodec);
}
