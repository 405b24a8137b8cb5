// The session's side of the room's whiteboard: the board starts with the room main view, board
// messages go out as command 3000, inbound ones (0x553) reach the board, and sent frames are
// told to the board on the GUI thread.
#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/boardhost/PreviewDlg.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/maindlg/SessionMessages.h"

void IConfDlg::StartRoomBoard()
{
    RoomBoardSettings settings;
    settings.product = m_szExeName;
    settings.confCode = WideOf(m_room.info.szConfCode);
    m_pMainView->StartBoard(*this, settings);
    UpdateBoardLock();
}

void IConfDlg::UpdateBoardLock()
{
    if (!m_pMainView || !m_pMainView->Board()) return;
    const uint16_t wMe = m_room.wMyChannel;
    bool bMayDraw = wMe != kNoIndex && (wMe == m_room.wPresiderChannel || wMe == m_room.wPresenterChannel ||
                                        m_room.users.GetDrawRight(wMe) != 0);
    m_pMainView->Board()->Board().SetLock(!bMayDraw);
    if (!m_pBoardTool || !m_pBoardTool->m_hWnd) return;
    const bool bPresenter = wMe != kNoIndex && wMe == m_room.wPresenterChannel;
    PaletteShowState show;
    show.bBoardShown = BoardIsShown(RoomViewState());
    show.bDrawRight = wMe != kNoIndex && m_room.users.GetDrawRight(wMe) != 0;
    show.bControlRight = IsChief();
    show.bPresenter = bPresenter;
    show.bPlayer = IsPlayerMode();
    m_pBoardTool->SetRoomState(show, show.bControlRight || bPresenter, true);
}

void IConfDlg::AttachBoardPalette()
{
    if (!m_pBoardTool || !m_pMainView || !m_pMainView->Board() || !m_pMainView->Board()->IsCreated()) return;
    m_pBoardTool->Attach(*m_pMainView->Board(), *this);
    if (m_pAgendaList)
    {
        m_pMainView->Board()->SetAgendaList(m_pAgendaList);
        m_pMainView->Board()->SetAgendaTree(&m_pAgendaList->Tree());
    }
    if (m_pEBook)
    {
        m_pMainView->Board()->SetEBookView(m_pEBook);
        m_pEBook->Attach(m_pMainView->Board()->Board());
    }
    UpdateBoardLock();
}

void IConfDlg::ToggleBoardPreview()
{
    CRoomBoard* pRoomBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (!pRoomBoard || !pRoomBoard->IsCreated()) return;
    if (!m_pPreview)
    {
        m_pPreview = std::make_unique<CPreviewDlg>(pRoomBoard->Board());
        if (!m_pPreview->Create(nullptr))
        {
            m_pPreview.reset();
            return;
        }
        pRoomBoard->SetPreview(m_pPreview.get());
    }
    if (::IsWindowVisible(m_pPreview->m_hWnd))
    {
        ::SendMessageW(m_pPreview->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    std::wstring stored =
        RegReadString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"Board_PreviewPos", L"");
    m_pPreview->RestorePosition(m_pMainView->m_hWnd, stored);
}

void IConfDlg::DestroyBoardPreview()
{
    if (!m_pPreview) return;
    if (m_pMainView && m_pMainView->Board()) m_pMainView->Board()->SetPreview(nullptr);
    PreviewPos pos = m_pPreview->NormalPlace();
    wchar_t text[64];
    swprintf(text, 64, L"%d,%d,%d,%d", pos.x, pos.y, pos.cx, pos.cy);
    RegWriteString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"Board_PreviewPos", text);
    m_pPreview->DestroyWindow();
    m_pPreview.reset();
}

IRoomBoardSession::AgendaRights IConfDlg::BoardAgendaRights() const
{
    const uint16_t wMe = m_room.wMyChannel;
    AgendaRights r;
    r.wMyNumber = wMe;
    r.wRoom = m_room.RoomIndex();
    r.bMayEdit = !IsPlayerMode() && wMe != kNoIndex && (IsChief() || m_room.users.GetDrawRight(wMe) != 0);
    return r;
}

void IConfDlg::BoardPaletteDocked(bool)
{
    ApplyRoomView();
}

void IConfDlg::BoardTransferStrip(CWnd* pStrip)
{
    if (!m_pMainView) return;
    m_pMainView->SetPane(PANE_TRANSFER, pStrip);
    ApplyRoomView();
}

void IConfDlg::BoardZoomShown(unsigned nZoomItem)
{
    if (m_pRoomCtrl) m_pRoomCtrl->ShowBoardZoom(static_cast<int>(nZoomItem));
}

bool IConfDlg::SendRoomBoardData(const uint8_t* pData, size_t nLen)
{
    return m_pNet && m_pNet->SendBoardData(DAT_BOARD_ROOM, pData, nLen);
}

void IConfDlg::OnBoardData(LPARAM lParam)
{
    const auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam);
    if (!pDesc) return;
    // The room's panels are there once the room main view is.
    if (!m_boardHost.OnInbound(pDesc->pData, pDesc->nLength, IsPlayerMode(), m_pMainView != nullptr)) return;
    if (m_pMainView && m_pMainView->Board()) m_pMainView->Board()->ProcessData(pDesc->pData, pDesc->nLength);
}

void IConfDlg::PostBoardDataSent(uint16_t wCommand, std::vector<uint8_t> plain)
{
    // Only the room's board is hosted: the lobby's frames have nobody to tell.
    if (wCommand != DAT_BOARD_ROOM) return;
    {
        std::lock_guard<std::mutex> lock(m_boardSentLock);
        m_boardSent.push_back(std::move(plain));
    }
    PostMessageW(MainWnd(), WM_QN_BOARD_SENT, 0, 0);
}

void IConfDlg::OnBoardDataSent()
{
    std::deque<std::vector<uint8_t>> sent;
    {
        std::lock_guard<std::mutex> lock(m_boardSentLock);
        sent.swap(m_boardSent);
    }
    // A frame sent while the room main view has already gone is told to nobody.
    for (const std::vector<uint8_t>& frame : sent)
        if (m_pMainView && m_pMainView->Board())
            m_pMainView->Board()->SucSendBoardData(frame.data(), frame.size());
}
