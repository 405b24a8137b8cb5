// CLMBoard2App: the module of the whiteboard control: its two classes and its type library.
#include "comkit/ServerModule.h"
#include "lmboard2/control/LMBoard2Ctrl.h"
#include "lmboard2/control/LMBoard2Guids.h"
#include "lmboard2/control/LMBoard2PropPage.h"

namespace
{
const ControlClassInfo s_classes[] = {
    {&CLSID_LMBoard2, kBoardProgId, L"LMBoard2 Control", kBoardMiscStatus, &CreateControl<CLMBoard2Ctrl>},
    {&CLSID_LMBoard2PropPage, kBoardPropPageProgId, L"LMBoard2 Property Page", 0, &CreatePropPage},
};
const ServerInfo s_server = {&LIBID_LMBOARD2Lib, 1, 0, s_classes, sizeof s_classes / sizeof s_classes[0]};
} // namespace

const ServerInfo& GetServerInfo()
{
    return s_server;
}
