// The room's menus as data: from the room's and the user's state, the items of the bar's five
// drop-down menus and its layout picture menu, with their ids, text keys, bitmaps and states;
// the room types the layout commands choose and the user limit each brings.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the menus are built from: the session's view of the user and the room.
struct S_MENUCONDITIONS
{
    bool bPlayback = false;
    int nGrade = 0; // the low byte of the user's level, modulo 10
    bool bControlRight = false;
    bool bDrawRight = false;
    bool bMediaShareRight = false;
    bool bRvEdition = false;
    bool bBoardFileFlag = false; // the session opens board save and print to everyone
    // The room's flags.
    bool bFilePush = false;
    bool bEBook = false;
    bool bInviteAllowed = false;
    bool bStudentManagement = false;
    bool bNoConfInfo = false;
    bool bShareView = false; // feature 0x20000
    uint8_t nServerRecordKinds = 0;
    uint8_t nMediaShareKind = 0; // 0 none, 1 and 2 audio, 3 video and audio
    bool bPhoneCalls = false;
    bool bTerminalCalls = false;
    bool bNoVideoControls = false; // room option 0x1000
    bool bQuestionnaire = false;
    int nOfferedLayouts = 0; // the layout menu's items
    // The media-share settings of a video media-share room: its bitrate list and current value,
    // the frame rates and picture heights it allows.
    std::vector<int> bitrates;
    int nBitrate = 0;
    std::vector<uint16_t> frameRates;
    std::vector<uint16_t> sendSizes;
    std::u16string szInviteAddress;
    std::u16string szStudentAddress;
};

enum MenuItemKind : uint8_t
{
    MENU_COMMAND,
    MENU_SEPARATOR,
    MENU_POPUP,
};

// One item. Its text is the text of szKey; with szFormat the text is the format with "%s"
// replaced by the key's text (a format without "%s" is the whole text).
struct S_MENUITEM
{
    MenuItemKind kind = MENU_COMMAND;
    int nId = 0;
    std::string szKey;
    std::string szFormat;
    int nBitmap = 0; // 0: none
    bool bEnabled = true;
    bool bChecked = false;
    std::vector<S_MENUITEM> sub;
    bool operator==(const S_MENUITEM&) const = default;
};

enum : int
{
    MENU_ID_FILE_OPEN = 32916,
    MENU_ID_PEN_COLOUR = 32932,
    MENU_ID_FILE_SAVE = 32917,
    MENU_ID_FILE_PRINT = 32963,
    MENU_ID_ERASE_ALL = 1398,
    MENU_ID_MEMO = 32904,
    MENU_ID_PUSH = 32786,
    MENU_ID_RECORD = 1149,
    MENU_ID_SERVERRECORD = 32901,
    MENU_ID_ROOMCLOSE = 1003,
    MENU_ID_PREVIEW = 1142,
    MENU_ID_LAYOUT = 32968,
    MENU_ID_LECTURE_START = 32908,
    MENU_ID_LECTURE_END = 32909,
    MENU_ID_STUDENTS = 32910,
    MENU_ID_SETTINGS = 32918,
    MENU_ID_VIDEO_SOURCE = 32819,
    MENU_ID_CONF_INFO = 32975,
    MENU_ID_PROPERTY = 32822,
    MENU_ID_SHARE_NAME = 1139,
    MENU_ID_BOARD_WEB = 1368,
    MENU_ID_BOARD_WEBDRAW = 1369,
    MENU_ID_CAPTURE = 32927,
    MENU_ID_INVITE = 32970,
    MENU_ID_CALL = 32974,
    MENU_ID_FOR_EVERYONE = 32972,
    MENU_ID_FOR_ME = 32973,
};

std::vector<S_MENUITEM> FileMenu(const S_MENUCONDITIONS& c);
std::vector<S_MENUITEM> ViewMenu(const S_MENUCONDITIONS& c);
std::vector<S_MENUITEM> DrawMenu();
// The lecture items take their checks and states from the lecture state (0 none, 1 started,
// other ended).
std::vector<S_MENUITEM> ToolMenu(const S_MENUCONDITIONS& c, int nLectureState = 0);
std::vector<S_MENUITEM> InviteMenu(const S_MENUCONDITIONS& c);
// The pop-up of the window buttons and the side-panel host's button: the action for everyone
// (32972) or for this window only (32973). Only the control right's holder outside playback has
// it; empty for anyone else.
std::vector<S_MENUITEM> ForEveryoneMenu(const S_MENUCONDITIONS& c);

// The item of a command in a menu or its sub-menus; null when it has none.
const S_MENUITEM* FindMenuItem(const std::vector<S_MENUITEM>& menu, int nId);
S_MENUITEM* FindMenuItem(std::vector<S_MENUITEM>& menu, int nId);

// The Invite button is shown only when the room has an invitation address and its menu an item.
bool ShowInviteButton(const S_MENUCONDITIONS& c);

// One row of the layout table: the layout (room type) a command chooses and its pictures.
struct S_CONFMENU
{
    uint16_t wLayout;
    int nCommand;
    int nBitmap;
    int nHotBitmap;
    bool operator==(const S_CONFMENU&) const = default;
};

// The 27 layouts in menu order.
const std::vector<S_CONFMENU>& LayoutTable();
// The layouts the room offers, in menu order.
std::vector<S_CONFMENU> OfferedLayouts(const std::function<bool(uint16_t wLayout)>& hasRoomOption);

// A picture item as appended to the two-column layout menu: reading row by row gives the list
// order, so the first column holds items 1, 3, 5... and the second, from its break, 2, 4, 6...
struct S_LAYOUTITEM
{
    S_CONFMENU item;
    bool bMenuBreak;
    bool operator==(const S_LAYOUTITEM&) const = default;
};
std::vector<S_LAYOUTITEM> LayoutMenuOrder(const std::vector<S_CONFMENU>& offered);

// The hint key of a layout command ("IDS_LAYOUT_HINT_<layout>"); empty for another command.
std::string LayoutHintKey(int nCommand);

// The room type a layout command chooses; nullopt for a command that is no layout command.
std::optional<uint16_t> RoomTypeOfCommand(int nCommand);

// The room option table of the room record: each layout's user limit.
struct S_ROOMOPTION
{
    uint16_t wLayout = 0;
    uint16_t wUserLimit = 0;
    bool operator==(const S_ROOMOPTION&) const = default;
};

// A type's user limit: its option in the table, else 500 for types 3, 14, 15, 16 and 24,
// 300 for 12 and 50, else 0 (no limit).
uint16_t RoomTypeUserLimit(uint16_t wType, const std::vector<S_ROOMOPTION>& options);

enum RoomTypeAction : uint8_t
{
    ROOMTYPE_NOTHING,  // no layout command, or the type the room has
    ROOMTYPE_TOO_MANY, // the room holds more participants than the limit
    ROOMTYPE_SEND,     // send 380 with the type and the limit
};
struct S_ROOMTYPECHANGE
{
    RoomTypeAction action = ROOMTYPE_NOTHING;
    uint16_t wType = 0;
    uint16_t wUserLimit = 0;
    bool operator==(const S_ROOMTYPECHANGE&) const = default;
};
S_ROOMTYPECHANGE RoomTypeChange(int nCommand, uint16_t wCurrentType, int nParticipants,
                                const std::vector<S_ROOMOPTION>& options);

// The 27 room-type text keys, in the order the type menu lists them.
const std::vector<std::string>& RoomTypeTextKeys();

// The pen palette: 35 colours (0x00BBGGRR); a user's colour is palette[user number % 35].
constexpr uint16_t kPenPaletteSize = 35;
uint32_t PenColourOfUser(uint16_t wUserNumber);
int PenPaletteIndex(uint16_t wUserNumber);

// Media-share values and their menu commands, both ways. Unknown frame rates map to 65535
// and to no command (0); unknown heights to 0 and to no command.
int FrameRateCommand(uint16_t wFrameRate);
uint16_t FrameRateOfCommand(int nCommand);
int SendSizeCommand(uint16_t wHeight);
uint16_t SendSizeOfCommand(int nCommand);
// The bitrate items: the room's list in order with the current value inserted before the first
// greater one, or last; at most ten (ids 32951-32960).
std::vector<int> BitrateItems(const std::vector<int>& list, int nCurrent);
