// The participant list's four menus as one rule: from what the room, I and the target are, which
// items each menu has, and which of them are enabled and checked.
#pragma once
#include <cstdint>
#include <vector>

// Commands of the menus.
enum UserMenuCommand : uint32_t
{
    UMC_SEPARATOR = 0,
    UMC_POPUP = 1, // a sub-menu; the items after it with depth 1 are its own
    UMC_CALL = 1155,
    UMC_INVITE = 1156,
    UMC_GIVE_CHIEF = 32772,
    UMC_BANISH = 32773,
    UMC_TALK = 32774,
    UMC_DRAW = 32775,
    UMC_MESSAGE = 32789,
    UMC_FIND = 32790,
    UMC_SORT_JOIN = 32791,
    UMC_SORT_UP = 32792,
    UMC_SORT_DOWN = 32793,
    UMC_REMOTECTRL = 32902,
    UMC_DS = 32903,
    UMC_AUDIO_REMOTE = 32907,
    UMC_SHARE = 32912,
    UMC_CAMERA = 32915,
    UMC_MEDIASHARE = 32988,
    UMC_PRESENTER = 33002,
    UMC_ALL_TALK = 33007,
    UMC_ALL_DRAW = 33008,
    UMC_ALL_SHARE = 33009,
    UMC_ALL_MEDIASHARE = 33010,
};

enum UserMenuKind : int
{
    USERMENU_CHIEF = 0,       // A: I hold the control right
    USERMENU_OWNER = 1,       // B: the room's owner without the control right
    USERMENU_PARTICIPANT = 2, // C
    USERMENU_LIST = 3,        // D: the list menu
};

struct SUserMenuInputs
{
    // The system option record.
    bool bVideoOff = false;
    int nMessageMode = 0;
    int nPresenterMode = 0;
    bool bUseInvite = false;
    bool bUseRemoteControl = false;
    bool bUseDesktop = false;
    int nMediaShareMode = 0;
    bool bUsePhoneCall = false;
    bool bUseHwCall = false;
    int nRightMode = 0;
    // Me and the room.
    bool bControlRight = false;
    bool bOwner = false;
    bool bPlayerMode = false;
    int nMyGrade = 0;
    bool bRemoteControlBit = false;
    uint16_t wMyChannel = 65535;
    uint16_t wMyCamKind = 0;
    uint16_t wChiefChannel = 65535;
    uint16_t wPresenterUserIndex = 65535;
    bool bSharerActive = false;
    bool bDsWindow = false;
    bool bLocalSharer = false;
    bool bInviteAddress = false;
    bool bFindBar = false;
    int nSortMode = 0;
    bool bTalkAll = false, bDrawAll = false, bShareAll = false, bMediaShareAll = false;
    // The target row's user.
    uint16_t wTarget = 65535;
    uint16_t wTargetUser = 65535;
    int nTargetGrade = 0;
    uint16_t wTargetTerminal = 0; // 0: a PC user
    bool bTargetControl = false;
    bool bTargetTalk = false, bTargetDraw = false, bTargetDs = false, bTargetShare = false,
         bTargetMediaShare = false;
    uint16_t wTargetCamKind = 0;
};

struct SUserMenuItem
{
    uint32_t nCommand = UMC_SEPARATOR;
    const char* pszText = nullptr; // the language key
    int nDepth = 0;                // 1: inside the sub-menu above
    bool bEnabled = true;
    bool bChecked = false;
    bool operator==(const SUserMenuItem&) const = default;
};

// The context menu a right click opens for these inputs: A, B or C.
UserMenuKind ContextMenuKind(const SUserMenuInputs& in);
// The items of the menu, present, enabled and checked as the inputs make them.
std::vector<SUserMenuItem> UserMenuItems(UserMenuKind kind, const SUserMenuInputs& in);

// The right that a click on a cell of the list toggles for the row's user: draw for the board
// column (1), talk for the voice column (2) unless the user's voice is in error; 0 when the click
// toggles nothing (only a control holder toggles, and not another control holder's rights).
uint32_t CellClickCommand(const SUserMenuInputs& in, int nColumn, bool bVoiceError);
