#pragma once
// The ID3v1 genre list: numbers 0..79 of ID3v1 and 80..147 of the Winamp extension.
#include "MACDll.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ID3_GENRE_COUNT 148
#define ID3_GENRE_NONE 255

// The name for 0..147, "" for any other number.
MACDLL_API const char* MACDLL_CALL ID3GenreName(int number);
// The number whose name equals the text (ignoring case), ID3_GENRE_NONE when none does.
MACDLL_API int MACDLL_CALL ID3GenreNumber(const char* name);

#ifdef __cplusplus
}
#endif
