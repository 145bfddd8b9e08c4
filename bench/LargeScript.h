// The script the editor benchmarks colour: the built-in sample again and
// again (headers, keywords, comments, constants, about one line in six a
// comment or blank), to at least the given number of lines.
#pragma once

#include "editor/ScriptCommands.h"

#include <string>

inline std::string LargeScript(int lines)
{
    const std::string sample = BuiltInSample();
    std::string text;
    for (int count = 0; count < lines; count += 31)
        text += sample;
    return text;
}
