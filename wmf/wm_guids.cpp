// Instantiates the Windows Media interface identifiers (the base COM ones come from libuuid).
#define NOMINMAX
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>
#include <drmexternals.h>

#include <initguid.h>

#include <wmsbuffer.h>
#include <wmsdkidl.h>

#include "wm_interfaces.h"
