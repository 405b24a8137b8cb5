// A log sink for feature tests: every line is kept with its level in front ("2 [TAG] text").
#pragma once
#include <string>
#include <vector>

#include "core/LogSink.h"

struct RecordedLog : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};
