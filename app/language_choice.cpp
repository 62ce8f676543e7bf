#include "language_choice.h"

bool UseEnglishInterface(int appLan, LANGID systemLanguage)
{
    if (appLan == 0) return (systemLanguage & 0x3ff) != LANG_CHINESE;
    return appLan == 2;
}
