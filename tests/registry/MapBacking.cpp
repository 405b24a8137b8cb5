// Native runs test the in-memory settings only.
#include "tests/registry/SettingsBackings.h"

std::vector<BackingFactory> SettingsBackings()
{
    return {{"Map", [] { return std::unique_ptr<ISettings>(new CMapSettings); }}};
}
