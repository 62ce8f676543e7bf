#pragma once
// Result codes of every engine operation and the message each one shows.
#include <cstdint>
#include <string>

using EngineResult = int32_t;

enum : EngineResult {
    kOk = 0,
    kErrOpenFile = -1,
    kErrOpenDecoder = -2,
    kErrOpenEncoder = -3,
    kErrNoStream = -4,
    kErrRealEngine = -5,
    kErrSeek = -6,
    kErrCancelled = -7,
    kErrWindowsMedia = -8,
    kErrDecode = -9,
    kErrReadTags = -10,
    kErrTagsUnsupported = -11,
    kEndOfData = -100,
};

// String-table number of the message for a code (114..122, 131, or 123).
int ResultStringId(EngineResult code);

// The built-in Chinese message for a string number, as UTF-8 ("" if none).
const char* BuiltInStringUtf8(int stringId);

// Formats a message template for a code: "%d" in it becomes the code.
std::string FormatResultMessage(EngineResult code, const std::string& messageTemplate);

// The message for a code in the ANSI code page (see text_codepage.h).
std::string ResultMessage(EngineResult code);
// The same message as UTF-8, for terminals.
std::string ResultMessageUtf8(EngineResult code);
