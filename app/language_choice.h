#pragma once
// The interface language from AppLan and the system language.
#include <windows.h>

// 0: follow the system (English unless its primary language is Chinese); 2: English;
// anything else: Chinese.
bool UseEnglishInterface(int appLan, LANGID systemLanguage);
