// CRoomMainViewDlg: the room's main window; lays out the views, the side panel and the tool strips.
#pragma once
#include "confclient/room/RoomDlg.h"
#include <memory>
#include <string>

class CRoomVideoViewDlg;
class CRoomMediaShareViewDlg;
class CQuestionDlg;
class CRoomBoard;
class IRoomBoardSession;
struct RoomBoardSettings;

class CRoomMainViewDlg : public CRoomDlg
{
public:
    CRoomMainViewDlg();
    ~CRoomMainViewDlg() override;

    // Keeps the views (any may be null), shows them and gives them the centre of the window.
    void SetChildViews(CRoomVideoViewDlg* pVideo, CRoomMediaShareViewDlg* pMediaShare,
                       CQuestionDlg* pQuestion);
    // Lays the children out again and repaints everything.
    void Refresh();
    void SetRoomTitle(const std::wstring& szTitle);
    // The room's whiteboard in the board area, when the control is registered.
    void StartBoard(IRoomBoardSession& session, const RoomBoardSettings& settings);
    CRoomBoard* Board() const { return m_pBoard.get(); }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;

private:
    void LayoutChildren();

    CRoomVideoViewDlg* m_pVideoView = nullptr;
    CRoomMediaShareViewDlg* m_pMediaShareView = nullptr;
    CQuestionDlg* m_pQuestion = nullptr;
    std::unique_ptr<CRoomBoard> m_pBoard;
};
