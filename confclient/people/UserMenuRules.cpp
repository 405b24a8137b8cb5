// The participant list's menus as one rule.
#include "confclient/people/UserMenuRules.h"

namespace
{
using Items = std::vector<SUserMenuItem>;

void Add(Items& items, uint32_t nCommand, const char* pszText, int nDepth = 0)
{
    SUserMenuItem item;
    item.nCommand = nCommand;
    item.pszText = pszText;
    item.nDepth = nDepth;
    items.push_back(item);
}

SUserMenuItem* Find(Items& items, uint32_t nCommand)
{
    for (SUserMenuItem& item : items)
        if (item.nCommand == nCommand) return &item;
    return nullptr;
}

void Enable(Items& items, uint32_t nCommand, bool bEnabled)
{
    if (SUserMenuItem* p = Find(items, nCommand)) p->bEnabled = bEnabled;
}

void Grey(Items& items, uint32_t nCommand)
{
    Enable(items, nCommand, false);
}

void Check(Items& items, uint32_t nCommand, bool bChecked)
{
    if (SUserMenuItem* p = Find(items, nCommand)) p->bChecked = bChecked;
}

Items ChiefItems(const SUserMenuInputs& in)
{
    Items items;
    Add(items, UMC_GIVE_CHIEF, "IDMS_GIVE_CHIEF");
    if (in.nPresenterMode) Add(items, UMC_PRESENTER, "IDMS_GIVE_PRESENTER");
    Add(items, UMC_SEPARATOR, nullptr);
    Add(items, UMC_TALK, "IDMS_TALK_CTRL");
    Add(items, UMC_DRAW, "IDMS_DRAW_CTRL");
    if (in.bUseDesktop)
    {
        Add(items, UMC_DS, "IDMS_DS_CTRL");
        Add(items, UMC_SHARE, "IDMS_SHARE_CTRL");
        if (in.nMediaShareMode == 3) Add(items, UMC_MEDIASHARE, "IDMS_MEDIASHARE");
        if (in.nMediaShareMode == 2) Add(items, UMC_MEDIASHARE, "IDMS_AUDIOSHARE");
    }
    Add(items, UMC_SEPARATOR, nullptr);
    if (in.nMessageMode) Add(items, UMC_MESSAGE, "IDMS_SEND_MESSAGE");
    Add(items, UMC_AUDIO_REMOTE, "IDMS_SEND_AUDIO_REMOTECTRL");
    if (!in.bVideoOff) Add(items, UMC_CAMERA, "IDMS_CAM_CTRL");
    if (in.bUseRemoteControl) Add(items, UMC_REMOTECTRL, "IDMS_SHARE_REMOTECTRL");
    Add(items, UMC_SEPARATOR, nullptr);
    Add(items, UMC_BANISH, "IDMS_BANISH");
    return items;
}

Items OtherItems(const SUserMenuInputs& in, bool bOwner)
{
    Items items;
    if (in.nMessageMode) Add(items, UMC_MESSAGE, "IDMS_SEND_MESSAGE");
    if (in.bUseRemoteControl) Add(items, UMC_REMOTECTRL, "IDMS_SHARE_REMOTECTRL");
    Add(items, UMC_DS, "IDMS_DS_CTRL");
    if (!in.bVideoOff) Add(items, UMC_CAMERA, "IDMS_CAM_CTRL");
    if (bOwner && in.nMyGrade != 3)
    {
        Add(items, UMC_SEPARATOR, nullptr);
        Add(items, UMC_GIVE_CHIEF, "IDMS_GIVE_CHIEF");
    }
    return items;
}

void ChiefRules(Items& items, const SUserMenuInputs& in)
{
    const bool bPc = in.wTargetTerminal == 0;
    const bool bMe = in.wTarget == in.wMyChannel;
    Check(items, UMC_PRESENTER, in.wTargetUser == in.wPresenterUserIndex);
    Check(items, UMC_TALK, bPc && in.bTargetTalk);
    Check(items, UMC_DRAW, bPc && in.bTargetDraw);
    Check(items, UMC_SHARE, bPc && in.bTargetShare);
    Check(items, UMC_MEDIASHARE, bPc && in.bTargetMediaShare);
    Check(items, UMC_DS, bPc && in.bTargetDs);

    Enable(items, UMC_MESSAGE, bPc && in.nMessageMode != 0 && !bMe);
    Enable(items, UMC_GIVE_CHIEF, bPc && !in.bTargetControl && in.nTargetGrade != 3);
    for (uint32_t nCommand :
         {UMC_PRESENTER, UMC_TALK, UMC_DRAW, UMC_DS, UMC_SHARE, UMC_MEDIASHARE, UMC_AUDIO_REMOTE})
        Enable(items, nCommand, bPc);
    Enable(items, UMC_REMOTECTRL, bPc && in.bRemoteControlBit);
    Enable(items, UMC_BANISH, true);
    if (in.bTargetControl) Grey(items, UMC_PRESENTER);
    const bool bSharing = bPc && in.bDsWindow && in.bLocalSharer;
    if (!bMe && !in.bTargetControl)
    {
        Enable(items, UMC_CAMERA, in.wTargetCamKind == 3);
        Enable(items, UMC_DS, bSharing);
        if (in.bRemoteControlBit && (!bPc || in.bSharerActive)) Grey(items, UMC_REMOTECTRL);
        return;
    }
    const bool bOtherChief = !bMe; // another user holding the control right
    Enable(items, UMC_GIVE_CHIEF, in.wTarget != in.wChiefChannel && bPc);
    for (uint32_t nCommand : {UMC_PRESENTER, UMC_TALK, UMC_DRAW, UMC_SHARE, UMC_MEDIASHARE})
        Grey(items, nCommand);
    Enable(items, UMC_DS, bOtherChief && bSharing);
    Enable(items, UMC_AUDIO_REMOTE, bOtherChief && bPc);
    Enable(items, UMC_CAMERA, in.wMyCamKind == 3);
    Enable(items, UMC_REMOTECTRL, bOtherChief && bPc && in.bRemoteControlBit && !in.bSharerActive);
    Enable(items, UMC_BANISH, bOtherChief && bPc);
}

void OtherRules(Items& items, const SUserMenuInputs& in, bool bOwner)
{
    const bool bPc = in.wTargetTerminal == 0;
    const bool bMe = in.wTarget == in.wMyChannel;
    Check(items, UMC_DS, bPc && in.bTargetDs);
    bool bNoMessage = !bPc || bMe || (in.nMessageMode == 2 && in.nMyGrade == 3) ||
                      (in.nMessageMode == 3 && in.nMyGrade == 3 && in.nTargetGrade == 3);
    Enable(items, UMC_MESSAGE, !bNoMessage);

    Enable(items, UMC_REMOTECTRL, bPc && in.bRemoteControlBit);
    Enable(items, UMC_DS, bPc && in.bDsWindow && in.bLocalSharer);
    if (bOwner)
    {
        Grey(items, UMC_CAMERA);
        Enable(items, UMC_GIVE_CHIEF, bPc);
        if (in.bTargetControl)
        {
            if (in.bRemoteControlBit && (!bPc || in.bSharerActive)) Grey(items, UMC_REMOTECTRL);
            Grey(items, UMC_GIVE_CHIEF);
        }
        else if (bMe)
        {
            Grey(items, UMC_REMOTECTRL);
            Grey(items, UMC_DS);
            Enable(items, UMC_CAMERA, in.wMyCamKind == 3);
        }
        else if (in.bRemoteControlBit)
            Enable(items, UMC_REMOTECTRL, !in.bSharerActive);
        return;
    }
    Enable(items, UMC_CAMERA, bPc);
    if (bMe)
    {
        Grey(items, UMC_REMOTECTRL);
        Grey(items, UMC_DS);
        Enable(items, UMC_CAMERA, in.wMyCamKind == 3);
        return;
    }
    if (in.bRemoteControlBit && (!bPc || in.bSharerActive)) Grey(items, UMC_REMOTECTRL);
    Grey(items, UMC_CAMERA);
}

Items ListItems(const SUserMenuInputs& in)
{
    Items items;
    bool bInvite = in.bInviteAddress && in.bUseInvite;
    bool bCall = !in.bPlayerMode && (in.bUsePhoneCall || in.bUseHwCall);
    if (bInvite) Add(items, UMC_INVITE, "IDMS_INVITE");
    if (bCall)
        Add(items, UMC_CALL,
            in.bUsePhoneCall && in.bUseHwCall ? "IDMS_CALLTOPHONE"
            : in.bUsePhoneCall                ? "IDMS_CALLTO_PHONE"
                                              : "IDMS_CALLTO_HW");
    if (bInvite || bCall) Add(items, UMC_SEPARATOR, nullptr);
    Add(items, UMC_FIND, "IDMS_USERLIST_FIND");
    Check(items, UMC_FIND, in.bFindBar);
    Add(items, UMC_POPUP, "IDMS_USERLIST_SORT");
    Add(items, UMC_SORT_JOIN, "IDMS_SORT_JOINTIME", 1);
    Add(items, UMC_SEPARATOR, nullptr, 1);
    Add(items, UMC_SORT_UP, "IDMS_SORT_ASCENDING", 1);
    Add(items, UMC_SORT_DOWN, "IDMS_SORT_DESCENDING", 1);
    Check(items, UMC_SORT_JOIN, in.nSortMode == 0);
    Check(items, UMC_SORT_UP, in.nSortMode == 1);
    Check(items, UMC_SORT_DOWN, in.nSortMode == 2);
    Add(items, UMC_SEPARATOR, nullptr);
    Add(items, UMC_POPUP, "IDMS_USERLIST_AUTH_ALL");
    items.back().bEnabled = !in.bPlayerMode && in.bControlRight;
    Add(items, UMC_ALL_TALK, "IDMS_TALK_CTRL", 1);
    Add(items, UMC_ALL_DRAW, "IDMS_DRAW_CTRL", 1);
    Add(items, UMC_ALL_SHARE, "IDMS_SHARE_CTRL", 1);
    Add(items, UMC_ALL_MEDIASHARE, "IDMS_MEDIASHARE", 1);
    Check(items, UMC_ALL_TALK, in.bTalkAll);
    Check(items, UMC_ALL_DRAW, in.bDrawAll);
    Check(items, UMC_ALL_SHARE, in.bShareAll);
    Check(items, UMC_ALL_MEDIASHARE, in.bMediaShareAll);
    return items;
}
} // namespace

UserMenuKind ContextMenuKind(const SUserMenuInputs& in)
{
    if (in.bControlRight) return USERMENU_CHIEF;
    return in.bOwner ? USERMENU_OWNER : USERMENU_PARTICIPANT;
}

std::vector<SUserMenuItem> UserMenuItems(UserMenuKind kind, const SUserMenuInputs& in)
{
    Items items;
    switch (kind)
    {
    case USERMENU_CHIEF:
        items = ChiefItems(in);
        ChiefRules(items, in);
        break;
    case USERMENU_OWNER:
    case USERMENU_PARTICIPANT:
        items = OtherItems(in, kind == USERMENU_OWNER);
        OtherRules(items, in, kind == USERMENU_OWNER);
        break;
    case USERMENU_LIST:
        items = ListItems(in);
        break;
    }
    return items;
}

uint32_t CellClickCommand(const SUserMenuInputs& in, int nColumn, bool bVoiceError)
{
    if (in.bPlayerMode || (in.nMyGrade == 4 && in.nRightMode < 2)) return 0;
    if (!in.bControlRight || in.bTargetControl) return 0;
    if (nColumn == 1) return UMC_DRAW;
    if (nColumn == 2 && !bVoiceError) return UMC_TALK;
    return 0;
}
