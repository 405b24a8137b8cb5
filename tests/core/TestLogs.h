// Log sinks for tests: one that drops every line, one that keeps each as "level text".
#pragma once
#include "core/LogSink.h"

#include <string>
#include <vector>

class CNullLog : public ILogSink
{
public:
    void AddLog(int, const std::string&) override {}
};

struct LogLines : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};
