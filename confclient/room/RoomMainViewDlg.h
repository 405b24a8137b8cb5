// CRoomMainViewDlg: the room's main window; lays out the views, the side panel and the tool strips.
#pragma once
#include "confclient/room/RoomDlg.h"
#include <string>

class CRoomVideoViewDlg;
class CRoomMediaShareViewDlg;
class CQuestionDlg;

class CRoomMainViewDlg : public CRoomDlg
{
public:
    CRoomMainViewDlg();

    // Keeps the views (any may be null), shows them and gives them the centre of the window.
    void SetChildViews(CRoomVideoViewDlg* pVideo, CRoomMediaShareViewDlg* pMediaShare,
                       CQuestionDlg* pQuestion);
    // Lays the children out again and repaints everything.
    void Refresh();
    void SetRoomTitle(const std::wstring& szTitle);

protected:
    void OnSize(UINT type, int cx, int cy) override;

private:
    void LayoutChildren();

    CRoomVideoViewDlg* m_pVideoView = nullptr;
    CRoomMediaShareViewDlg* m_pMediaShareView = nullptr;
    CQuestionDlg* m_pQuestion = nullptr;
};
