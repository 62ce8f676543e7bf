#pragma once
// The native (UTF-8 Unix) path for a path the runtime was given in UTF-16: a path starting
// with '/' is already native; a DOS path is mapped through Wine's file-name conversion.
#include <string>

#include "wm_interfaces.h"

bool NativePathFromWide(const WCHAR* path, std::string& native);
