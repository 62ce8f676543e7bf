#pragma once
// Conversions between UTF-8 and the ANSI code page that MediaInfo texts use.
#include <cstdint>
#include <string>

// The ANSI code page of the system (936 by default; the Win32 program sets GetACP()).
void SetAnsiCodePage(uint32_t codePage);
uint32_t AnsiCodePage();

// Characters the code page lacks become '?'; invalid input bytes are dropped.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);
