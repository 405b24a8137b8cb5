// The video control library as a COM server: its type library and its control classes.
#include "comkit/ServerModule.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "lmvideo/module/LMVideoRecvCtrl.h"
#include "lmvideo/module/LMVideoSendCtrl.h"

namespace
{
const ControlClassInfo s_classes[] = {
    {&CLSID_LMVideo_Recv, kRecvProgId, L"LMVideo_Recv Control", kRecvMiscStatus,
     &CreateControl<CLMVideo_RecvCtrl>},
    {&CLSID_LMVideo_Send, kSendProgId, L"LMVideo_Send Control", kSendMiscStatus,
     &CreateControl<CLMVideo_SendCtrl>},
};
const ServerInfo s_server = {&LIBID_LMVideoLib, 1, 0, s_classes, sizeof s_classes / sizeof s_classes[0]};
} // namespace

const ServerInfo& GetServerInfo()
{
    return s_server;
}
