#pragma once
// Runs a one-source job on a Converter: queue, set the output, convert.
#include "converter.h"

#include <string>

inline EngineResult ConvertOne(Converter& c, const std::string& source, const std::string& output, int quality)
{
    EngineResult rc = c.AddSource(source.c_str(), -1);
    if (rc < 0) return rc;
    rc = c.SetOutput(output.c_str(), 0, quality);
    if (rc < 0) return rc;
    return c.Convert(false);
}
