// The agenda list's side of the session: the local user's rights and the board's page calls.
#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"

namespace
{
// The longest delete question the notice box is given.
constexpr size_t kMaxQuestionUnits = 259;

CLMBoard2* BoardOf(CRoomMainViewDlg* pMainView)
{
    CRoomBoard* pBoard = pMainView ? pMainView->Board() : nullptr;
    return pBoard && pBoard->IsCreated() ? &pBoard->Board() : nullptr;
}
} // namespace

SAgendaRights IConfDlg::AgendaListRights() const
{
    const uint16_t wMe = m_room.wMyChannel;
    SAgendaRights r;
    r.bControl = IsChief();
    r.bDraw = wMe != kNoIndex && m_room.users.GetDrawRight(wMe) != 0;
    r.bPlayer = IsPlayerMode();
    r.wLevel = m_wMyLevel;
    return r;
}

int IConfDlg::AgendaBoardMode() const
{
    CLMBoard2* pBoard = BoardOf(m_pMainView);
    return pBoard ? pBoard->GetBoardMode() : 0;
}

void IConfDlg::ShowBoardPage(int nIndex)
{
    CLMBoard2* pBoard = BoardOf(m_pMainView);
    if (!pBoard) return;
    pBoard->SetCurrentPage(nIndex);
    // Outside the plain board the bar lays its buttons out again for the page shown.
    if (pBoard->GetBoardMode() != 0 && m_pRoomCtrl && m_pRoomCtrl->m_hWnd)
    {
        RECT rc;
        ::GetClientRect(m_pRoomCtrl->m_hWnd, &rc);
        ::SendMessageW(m_pRoomCtrl->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
}

IAgendaListHost::Answer IConfDlg::ConfirmPageDelete(int nCount)
{
    std::wstring text = Formatted(&m_log, GetText("IDS_BOARD_DELETE"), nCount);
    if (text.size() > kMaxQuestionUnits) text.resize(kMaxQuestionUnits);
    const int nAnswer = ShowMessageBox(text, 2);
    // The room may have gone while the question was open.
    if (!m_pAgendaList) return Answer::Gone;
    return nAnswer == NOTICEBOX_FIRST ? Answer::Delete : Answer::Keep;
}

void IConfDlg::DeletePageCheck()
{
    if (CLMBoard2* pBoard = BoardOf(m_pMainView)) pBoard->DeletePageCheck();
}

void IConfDlg::SendDeletePage(bool bLastFile, const std::u16string& szName)
{
    if (CLMBoard2* pBoard = BoardOf(m_pMainView)) pBoard->SendDeletePage(bLastFile, WideOf(szName));
}

void IConfDlg::LoadDroppedFile(const std::wstring& szPath)
{
    CLMBoard2* pBoard = BoardOf(m_pMainView);
    if (!pBoard) return;
    AddLog(LOG_INFO, L"[BOARD] dropped on the agenda: %s", szPath.c_str());
    pBoard->SetPPTOpenMode(false);
    pBoard->Load(szPath, 3, 1);
}
