// The video control library as a COM server: its type library and its control classes.
#include "comkit/ServerModule.h"

namespace
{
// {4E542701-3154-4048-8960-68262FC58278}
const GUID LIBID_LMVideoLib = {0x4E542701, 0x3154, 0x4048, {0x89, 0x60, 0x68, 0x26, 0x2F, 0xC5, 0x82, 0x78}};

const ServerInfo s_server = {&LIBID_LMVideoLib, 1, 0, nullptr, 0};
} // namespace

const ServerInfo& GetServerInfo()
{
    return s_server;
}
