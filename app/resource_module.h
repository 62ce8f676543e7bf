#pragma once
// The module that dialogs, menus, strings, icons and bitmaps come from: the program itself,
// or Velmar.dll while the English interface is in use.
#include <windows.h>

#include <string>

HINSTANCE ResourceModule();
void SetResourceModule(HINSTANCE module);

// A string-table text of the resource module in use, in the ANSI code page ("" if absent).
std::string LoadText(UINT id);

// Replaces the first "%s" of a template with text.
std::string FormatWithText(const std::string& pattern, const std::string& text);
