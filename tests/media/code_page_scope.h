#pragma once
// Sets the ANSI code page for one test and restores the previous one at the end.
#include "text_codepage.h"

struct CodePageScope {
    uint32_t saved = AnsiCodePage();
    explicit CodePageScope(uint32_t codePage) { SetAnsiCodePage(codePage); }
    ~CodePageScope() { SetAnsiCodePage(saved); }
};
