// The settings backings a test run can reach: the map everywhere, the registry on Windows.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "confclient/network/registry/Settings.h"

struct BackingFactory
{
    std::string name;
    std::function<std::unique_ptr<ISettings>()> make;
};

std::vector<BackingFactory> SettingsBackings();
