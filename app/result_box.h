#pragma once
// Shows a failed engine result as a warning box owned by no window (usable from workers).
#include "engine_result.h"

#include <string>

// The message text of a code from the string table in use.
std::string ResultBoxText(EngineResult code);

class ResultBox {
public:
    static void Report(EngineResult code);
};
