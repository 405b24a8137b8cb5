// IRoomHost: the session as the room windows see it (the main dialog's conference side implements it).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <windows.h>

#include "confclient/people/ChatInput.h"
#include "confclient/people/SeatDrag.h"
#include "confclient/room/BoardTools.h"
#include "confclient/room/RoomBarClock.h"
#include "confclient/room/RoomMenuModel.h"
#include "confclient/room/RoomPropertyRules.h"
struct SChatCommand;
struct SUserMenuInputs;
class INoticeHost;
class IUserRowRoom;
class CLMPictureEx;
class IRoomNotices;

class IRoomHost
{
public:
    virtual ~IRoomHost() = default;
    // The text of a key of the keyed text table; empty when the table lacks it.
    virtual std::wstring RoomText(const char* pszKey) const = 0;
    // Sends a chat line typed in the room's chat window to the room.
    virtual void SendRoomChat(const std::wstring& szText) = 0;
    // The user asked to leave the room (the control bar's Leave).
    virtual void LeaveRoomRequested() = 0;
    // The user asked to become the presenter (the control bar's presenter button).
    virtual void RequestPresenter() = 0;
    // The user picked a view mode (0 video, 1 board, 2 media share, 3 question) for the whole room.
    virtual void ViewModeRequested(uint16_t wMode) = 0;
    // The user toggled full screen: for the whole room (the control right's holder outside
    // playback), else for this window only.
    virtual void FullScreenRequested(bool bForEveryone) = 0;
    // The side-panel host's button: the panels are shown or hidden and the room laid out again;
    // with bResend the room's properties go to the room too.
    virtual void TogglePanels(bool bResend) = 0;
    // Whether the local user holds the room's control right.
    virtual bool HasControlRight() const = 0;
    // The main dialog's window: owner of the room's top-level windows.
    virtual HWND MainDialog() const = 0;

    // The control bar's room commands.
    // What the bar's menus are built from: the user's rights and the room's options.
    virtual S_MENUCONDITIONS MenuConditions() const = 0;
    // The lecture's state: 0 none, 1 started, other ended.
    virtual int LectureState() const = 0;
    // The chief maximised (true) or restored the room window: everyone's follows (538).
    virtual void MaximizeForEveryone(bool bMaximize) = 0;
    // A layout command of the bar: the room's type changes for everyone (380) unless the room
    // holds more participants than the type allows.
    virtual void RoomTypeCommand(int nCommand) = 0;
    // The chief starts (1) or ends (100) the lecture for everyone (532).
    virtual void LectureCommand(uint16_t wValue) = 0;
    // The room's properties as the property dialog opens on them.
    virtual S_PROPERTYROOM PropertyRoom() const = 0;
    // The room's title and password: sent as the room record (370) when either changed.
    virtual void UpdateRoomTexts(const std::u16string& szTitle, const std::u16string& szPassword) = 0;
    // The room's properties for everyone (420).
    virtual void SendRoomProperty(const S_ROOMPROPERTY& property) = 0;
    // What the conference time shows: the room's title, its lecture and who may end it.
    virtual S_CLOCKROOM ClockRoom() const = 0;
    // The layouts the room offers, with their user limits.
    virtual std::vector<S_ROOMOPTION> RoomOptions() const = 0;
    // The board capture's picture, on the clipboard, becomes a new board page.
    virtual void LoadCapturedPage() = 0;
    // The board's mode (1 a web page); 0 without a board.
    virtual int BoardMode() const = 0;
    // The board shows the address as a web page.
    virtual void LoadBoardWeb(const std::wstring& szAddress) = 0;
    // The web page the board shows becomes a drawable board page.
    virtual void DrawOnWebPage() = 0;
    // The board leaves its web page for the agenda's current page.
    virtual void LeaveWebPage() = 0;
    // A Draw-menu tool's effect on the whiteboard.
    virtual void ApplyBoardActions(const S_BOARDACTIONS& actions) = 0;
    // What the room's skinned windows ask of the session: texts, skin pictures, the notice box.
    virtual INoticeHost& Notices() = 0;
    // Saves a rich edit's text as a text file the user names in the save folder; true when written.
    virtual bool SaveChatToFile(HWND hRichEdit, HWND hParent) = 0;
    // The folder the user's files are saved to and opened from.
    virtual std::wstring SaveFolder() const = 0;
    // Whether the program shows the German texts (printing is then Ctrl+D).
    virtual bool GermanTexts() const = 0;
    // File open (32916, Ctrl+O): the user picks a document, which the board opens.
    virtual void OpenBoardDocument() = 0;
    // Preview (1142): the board preview window opens beside the room main view, or closes.
    virtual void ToggleBoardPreview() = 0;
    // The local user's level word (its low byte modulo 10 is the grade).
    virtual uint16_t MyLevel() const = 0;
    // Whether the local user may write in the chat now (playback: no input at all).
    virtual ChatInputMode ChatInput() const = 0;
    // Runs a local chat command; answers the line it writes, if any.
    virtual std::wstring RunChatCommand(const SChatCommand& cmd) = 0;
    // The chief's answer to the presenter request of the channel's user.
    virtual void AnswerPresenterRequest(uint16_t wChannel, bool bPermit) = 0;
    // What the participant menus' rules read, with the user of the channel as the target.
    virtual SUserMenuInputs UserMenuInputs(uint16_t wChannel) const = 0;
    // A participant menu's command (chief, rights, banish) on the user of the channel.
    virtual void UserAction(uint32_t nCommand, uint16_t wChannel) = 0;
    // The room as the participant list's rows read it; null without a room.
    virtual IUserRowRoom* UserRowRoom() = 0;
    // The drag of a participant between the list and the video seats.
    virtual CSeatDrag& SeatDrag() = 0;
    // The channel of the participant list's selected row; 65535 without a list or a selection.
    virtual uint16_t SelectedListChannel() const = 0;
    // A skin picture of the program's skin folder by file name; false when there is none.
    virtual bool LoadSkinImage(const wchar_t* pszFile, CLMPictureEx& picture) = 0;
    // The users in the room and the most it takes.
    virtual std::pair<int, int> RoomUserCount() const = 0;
    // The local chat colour (COLORREF) of the own lines and of those sent to the room.
    virtual uint32_t ChatColour() const = 0;
    // The user chose another chat colour: it is kept for the next rooms too.
    virtual void SetChatColour(uint32_t dwColour) = 0;

    // The file push: texts, chat notices and boxes; 520, 524 (any thread) and 522 with the own
    // user number, false without a network; the transfers' bytes per second.
    virtual IRoomNotices& PushNotices() = 0;
    virtual bool SendPushFile(uint32_t dwSize, const std::u16string& szName) = 0;
    virtual bool SendPushData(const uint8_t* p, size_t n) = 0;
    virtual bool SendPushCancel() = 0;
    virtual uint32_t TransferPace() const = 0;
    // The chat's push line: its progress (with the cancel link), its end as cancelled, and the
    // link line of a received file.
    virtual void ShowPushProgress(int nPercent, const std::wstring& szText) = 0;
    virtual void EndPushProgress() = 0;
    virtual void AddReceivedFile(const std::wstring& szPath) = 0;
    // The push line's cancel link: the sender stops its push for the room, a receiver its receive.
    virtual void CancelFilePush() = 0;
};
