#pragma once
// The least skin engine the program needs: initialised with the program's module and
// application name, a skin loaded from a resource, one call per dialog, a shut-down.
// A skin is a text of "[Object]" sections with "Key=Value" lines; a skinned window gets the
// window property "SkinObject" naming its object.
#include <windows.h>

#include <string>

bool SkinInitialize(HINSTANCE module, const char* applicationName);
bool SkinLoadFromResource(HINSTANCE module, const char* type, const char* name);
// Skins a window as the given object; false when no skin or no such object is loaded.
bool SkinWindow(HWND window, const char* objectName);
void SkinShutdown();

bool SkinIsInitialized();
// A value of the loaded skin ("" when absent).
std::string SkinValue(const std::string& objectName, const std::string& key);
