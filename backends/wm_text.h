#pragma once
// Text conversions at the Windows Media border: paths and tag texts to UTF-16, attribute
// values back to ANSI fields.
#include <cstddef>
#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// A native path (starting with '/') is UTF-8; any other path is a DOS path in the ANSI code page.
std::u16string WidePath(const char* path);
// An ANSI (system code page) text up to its terminator.
std::u16string WideFromAnsi(const char* text);
// An attribute's UTF-16 value of the given byte length (a terminator, when present, ends it)
// into a fixed ANSI field: at most capacity - 1 bytes, never a split double-byte character.
void CopyWideValueToField(const BYTE* value, size_t bytes, char* field, size_t capacity);
