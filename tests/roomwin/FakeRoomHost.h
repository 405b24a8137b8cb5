// A room session for the room windows under test and benchmark: keeps every call the windows make;
// texts are the key in angle brackets so a caller sees which text was chosen.
#pragma once
#include "tests/session/RecordedNotices.h"
#include "confclient/people/ChatCommands.h"
#include "confclient/people/ParticipantRows.h"
#include "confclient/people/UserMenuRules.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/session/roomstate/RoomUserInfo.h"
#include "tests/notices/TestNoticeHost.h"

#include <string>
#include <utility>
#include <vector>

class FakeRoomHost : public IRoomHost
{
public:
    std::vector<std::wstring> chats;
    int nLeave = 0;
    int nPresenter = 0;

    std::wstring RoomText(const char* pszKey) const override
    {
        std::string key(pszKey);
        return L"<" + std::wstring(key.begin(), key.end()) + L">";
    }
    void SendRoomChat(const std::wstring& szText) override { chats.push_back(szText); }
    CTestNoticeHost notices;
    INoticeHost& Notices() override { return notices; }
    std::vector<HWND> savedEdits;
    bool SaveChatToFile(HWND hRichEdit, HWND) override
    {
        savedEdits.push_back(hRichEdit);
        return false;
    }
    std::wstring SaveFolder() const override { return szSaveFolder; }
    std::wstring szSaveFolder;
    bool GermanTexts() const override { return false; }
    int nBoardOpens = 0;
    void OpenBoardDocument() override { ++nBoardOpens; }
    void ToggleBoardPreview() override {}
    void LeaveRoomRequested() override { ++nLeave; }
    void RequestPresenter() override { ++nPresenter; }
    std::vector<uint16_t> viewModes;
    int nFullScreen = 0;
    std::vector<bool> panelToggles; // each toggle's resend flag
    bool bControlRight = false;
    void ViewModeRequested(uint16_t wMode) override { viewModes.push_back(wMode); }
    std::vector<bool> fullScreens; // each request's for-everyone flag
    void FullScreenRequested(bool bForEveryone) override
    {
        ++nFullScreen;
        fullScreens.push_back(bForEveryone);
    }
    void TogglePanels(bool bResend) override { panelToggles.push_back(bResend); }
    bool HasControlRight() const override { return bControlRight; }
    HWND MainDialog() const override { return nullptr; }
    // The bar's room commands.
    S_MENUCONDITIONS conditions;
    S_PROPERTYROOM propertyRoom;
    std::vector<bool> maximizes;
    std::vector<int> roomTypes;
    std::vector<uint16_t> lectures;
    std::vector<std::u16string> titles;
    std::vector<S_ROOMPROPERTY> properties;
    S_MENUCONDITIONS MenuConditions() const override { return conditions; }
    int LectureState() const override { return 0; }
    void MaximizeForEveryone(bool bMaximize) override { maximizes.push_back(bMaximize); }
    void RoomTypeCommand(int nCommand) override { roomTypes.push_back(nCommand); }
    void LectureCommand(uint16_t wValue) override { lectures.push_back(wValue); }
    S_PROPERTYROOM PropertyRoom() const override { return propertyRoom; }
    void UpdateRoomTexts(const std::u16string& szTitle, const std::u16string&) override
    {
        titles.push_back(szTitle);
    }
    void SendRoomProperty(const S_ROOMPROPERTY& p) override { properties.push_back(p); }
    S_CLOCKROOM clockRoom;
    S_CLOCKROOM ClockRoom() const override { return clockRoom; }
    std::vector<S_ROOMOPTION> options;
    std::vector<S_ROOMOPTION> RoomOptions() const override { return options; }
    int nCapturedPages = 0;
    void LoadCapturedPage() override { ++nCapturedPages; }
    // The board's web page: its mode follows what the bar asked last.
    int nBoardMode = 0;
    std::vector<std::wstring> webLoads;
    int nWebDraws = 0;
    int nWebLeaves = 0;
    int BoardMode() const override { return nBoardMode; }
    void LoadBoardWeb(const std::wstring& szAddress) override
    {
        webLoads.push_back(szAddress);
        nBoardMode = 1;
    }
    void DrawOnWebPage() override
    {
        ++nWebDraws;
        nBoardMode = 0;
    }
    void LeaveWebPage() override
    {
        ++nWebLeaves;
        nBoardMode = 0;
    }
    std::vector<S_BOARDACTIONS> boardActions;
    void ApplyBoardActions(const S_BOARDACTIONS& a) override { boardActions.push_back(a); }
    uint16_t MyLevel() const override { return wLevel; }
    uint16_t wLevel = 0;
    ChatInputMode chatInput = CHATINPUT_ENABLED;
    ChatInputMode ChatInput() const override { return chatInput; }
    std::vector<std::u16string> commands;
    std::wstring RunChatCommand(const SChatCommand& cmd) override
    {
        commands.push_back(cmd.szArg);
        return L"ran";
    }
    std::vector<std::pair<uint16_t, bool>> answers;
    void AnswerPresenterRequest(uint16_t wChannel, bool bPermit) override
    {
        answers.emplace_back(wChannel, bPermit);
    }
    SUserMenuInputs UserMenuInputs(uint16_t wChannel) const override
    {
        SUserMenuInputs in;
        in.wTarget = wChannel;
        in.bControlRight = bControlRight;
        in.bTargetControl = wChannel == rows.wChief;
        return in;
    }
    std::vector<std::pair<uint32_t, uint16_t>> actions;
    void UserAction(uint32_t nCommand, uint16_t wChannel) override
    {
        actions.emplace_back(nCommand, wChannel);
    }
    // The room the participant list's rows read: records by channel, the chief on control.
    struct RowRoom : IUserRowRoom
    {
        CRoomUserInfo users;
        uint16_t wChief = 65535;
        uint16_t wPresenterUser = 65535;
        S_ROOMUSERINFO* FindUser(uint16_t wChannel) override { return users.FindUser(wChannel); }
        bool HasControlRight(uint16_t wChannel) const override { return wChannel == wChief; }
        uint16_t PresenterUserIndex() const override { return wPresenterUser; }
        std::u16string PositionText(const std::u16string& szName, uint16_t) const override { return szName; }
        std::u16string Text(const char* pszKey) const override
        {
            return std::string(pszKey) == "IDMS_POSITION_PRESIDER" ? u"Host" : u"Presenter";
        }
        void Add(uint16_t wChannel, const char16_t* pszName, uint32_t dwTalk, uint32_t dwDraw)
        {
            S_ROOMUSERINFO u;
            u.channel = wChannel;
            u.userIndex = static_cast<uint16_t>(100 + wChannel);
            u.Name = pszName;
            u.ID = std::u16string(pszName) + u"_id";
            u.talkRight = dwTalk;
            u.drawRight = dwDraw;
            u.avFlag1 = 0;
            u.avFlag2 = 0;
            users.AddUser(u);
        }
    } rows;
    IUserRowRoom* UserRowRoom() override { return &rows; }
    // The drag reads the rows' users and keeps the moves it sends.
    struct SeatRoom : ISeatDragRoom
    {
        explicit SeatRoom(const CRoomUserInfo& u) : users(u) {}
        SSeatDragRoom room;
        const CRoomUserInfo& users;
        std::vector<std::pair<uint16_t, uint16_t>> moves;
        SSeatDragRoom DragRoom() const override { return room; }
        const CRoomUserInfo& Users() const override { return users; }
        void SendChannelMove(uint16_t wFrom, uint16_t wTo) override { moves.emplace_back(wFrom, wTo); }
    } dragRoom{rows.users};
    CSeatDrag seatDrag{dragRoom};
    CSeatDrag& SeatDrag() override { return seatDrag; }
    CRoomUserListDlg* pUserList = nullptr;
    uint16_t SelectedListChannel() const override { return pUserList ? pUserList->SelectedChannel() : 65535; }
    bool LoadSkinImage(const wchar_t*, CLMPictureEx&) override { return false; }
    uint32_t dwChatColour = RGB(1, 2, 3);
    uint32_t ChatColour() const override { return dwChatColour; }
    void SetChatColour(uint32_t dwColour) override { dwChatColour = dwColour; }
    std::pair<int, int> RoomUserCount() const override { return {static_cast<int>(rows.users.Count()), 20}; }
    IRoomNotices& PushNotices() override { return pushNotices; }
    bool SendPushFile(uint32_t, const std::u16string&) override { return false; }
    bool SendPushData(const uint8_t*, size_t) override { return false; }
    bool SendPushCancel() override { return false; }
    uint32_t TransferPace() const override { return 131072; }
    void ShowPushProgress(int, const std::wstring&) override {}
    void EndPushProgress() override {}
    void AddReceivedFile(const std::wstring&) override {}
    void CancelFilePush() override { ++nPushCancels; }
    RecordedNotices pushNotices;
    int nPushCancels = 0;
};
