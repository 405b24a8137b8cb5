// The room's board: creation, initialisation, layout and the room's event sink.
#include "confclient/boardhost/RoomBoard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
// The control's event interface {78D5C2C3-7214-4D16-A8C5-7B6D986462D7}.
constexpr IID kBoardEvents = {0x78D5C2C3, 0x7214, 0x4D16, {0xA8, 0xC5, 0x7B, 0x6D, 0x98, 0x64, 0x62, 0xD7}};
constexpr size_t kTextBufferBytes = 260;

enum : DISPID
{
    EV_SEND_DATA = 1,
    EV_UPLOAD_AGENDA_COMPLETE = 3,
    EV_ERROR_MESSAGE = 4,
    EV_CREATE_PROGRESS = 5,
    EV_DESTROY_PROGRESS = 6,
    EV_SET_TOTAL_SIZE = 7,
    EV_SET_FILE_COUNT = 8,
    EV_PROGRESS_CHANGE = 9,
    EV_ADD_PAGE = 10,
    EV_DELETE_PAGE = 11,
    EV_SET_CURRENT_PAGE = 12,
    EV_MODE_CHANGE = 13,
    EV_GET_INI_STRING = 14,
    EV_GET_CURRENT_EBOOK_PAGE = 15,
    EV_ADD_EBOOK = 16,
    EV_SELECT_EBOOK_COMBO = 17,
    EV_DO_CHANGE_AGENDA_NAME = 22,
    EV_RESULT_ZOOM = 23,
    EV_RESULT_DRAW_MODE = 24,
};

// Copies a text into the control's 260-byte buffer, always ending it within the buffer.
void WriteTextBuffer(const VARIANT& arg, const std::u16string& text)
{
    if (arg.vt != (VT_BYREF | VT_UI1) || !arg.pbVal) return;
    size_t nUnits = std::min(text.size(), kTextBufferBytes / 2 - 1);
    memcpy(arg.pbVal, text.data(), nUnits * 2);
    arg.pbVal[nUnits * 2] = 0;
    arg.pbVal[nUnits * 2 + 1] = 0;
}
} // namespace

CRoomBoard::CRoomBoard(IRoomBoardSession& session, HWND hParent, const RECT& rc,
                       const RoomBoardSettings& settings)
    : m_session(session), m_hParent(hParent)
{
    if (FAILED(m_board.Create(hParent, rc))) return;
    Advise();
    m_board.Init(nullptr, hParent, false, settings.product);
    m_board.SetBandwidth(settings.nBandwidth);
    m_board.SetConfCode(settings.confCode);
}

CRoomBoard::~CRoomBoard()
{
    if (m_pStrip) m_pStrip->DestroyWindow();
    m_board.EndBoard();
    m_board.Destroy();
}

void CRoomBoard::Advise()
{
    auto* pSink = new CEventSink(kBoardEvents);
    pSink->On(EV_SEND_DATA,
              [this](const EventArgs& a)
              {
                  long lLen = a.I4(0);
                  auto* p = reinterpret_cast<const uint8_t*>(a.IntPtr(1));
                  if (lLen > 0 && p) m_session.SendRoomBoardData(p, static_cast<size_t>(lLen));
              });
    pSink->On(EV_ERROR_MESSAGE,
              [this](const EventArgs& a)
              {
                  // A strip with bytes still to come stays; any other goes with the error.
                  if (m_pStrip && m_pStrip->Remaining() == 0) CloseStrip();
                  m_session.BoardHost().OnErrorMessage(a.I2(0), false);
              });
    pSink->On(EV_CREATE_PROGRESS, [this](const EventArgs& a) { OpenStrip(a.Bool(0) != FALSE); });
    pSink->On(EV_DESTROY_PROGRESS, [this](const EventArgs&) { CloseStrip(); });
    pSink->On(EV_UPLOAD_AGENDA_COMPLETE, [this](const EventArgs&) { CloseStrip(); });
    pSink->On(EV_SET_TOTAL_SIZE,
              [this](const EventArgs& a)
              {
                  if (m_pStrip) m_pStrip->BeginProgress(static_cast<uint32_t>(a.I4(0)));
              });
    pSink->On(EV_SET_FILE_COUNT,
              [this](const EventArgs& a)
              {
                  if (m_pStrip)
                      m_pStrip->SetFileIndex(static_cast<uint32_t>(a.I4(0)), static_cast<uint32_t>(a.I4(1)));
              });
    pSink->On(EV_PROGRESS_CHANGE,
              [this](const EventArgs& a)
              {
                  if (m_pStrip)
                      ::SendMessageW(m_pStrip->m_hWnd, CFileUploadStateDlg::kMsgBytesMoved,
                                     static_cast<WPARAM>(static_cast<uint32_t>(a.I4(0))), 0);
              });
    pSink->On(EV_GET_INI_STRING,
              [this](const EventArgs& a)
              {
                  std::wstring key = a.Str(0);
                  WriteTextBuffer(a.Raw(1),
                                  m_session.BoardHost().IniText(std::u16string(key.begin(), key.end())));
              });
    // The page text comes from the e-book panel's page combo; without the panel there is none.
    pSink->On(EV_GET_CURRENT_EBOOK_PAGE,
              [this](const EventArgs& a)
              {
                  std::wstring text = m_pEBook ? m_pEBook->EBookPageText(a.I2(0)) : std::wstring();
                  WriteTextBuffer(a.Raw(1), std::u16string(text.begin(), text.end()));
              });
    pSink->On(EV_ADD_EBOOK,
              [this](const EventArgs& a)
              {
                  if (m_pEBook && a.I2(1)) m_pEBook->AddEBookLine(a.I2(0), a.Str(2));
              });
    pSink->On(EV_SELECT_EBOOK_COMBO,
              [this](const EventArgs& a)
              {
                  if (m_pEBook) m_pEBook->ShowEBookSelection(a.Str(0), a.I4(1), a.I4(2), a.I4(3));
              });
    // The palette follows the pages, the mode, the zoom and the tool the board chose itself.
    pSink->On(EV_ADD_PAGE,
              [this](const EventArgs& a)
              {
                  const auto* pHdr = reinterpret_cast<const uint8_t*>(a.IntPtr(1));
                  if (pHdr) OnPageAdded(a.I2(0), S_BOARD_FILEHDR::Read(pHdr));
              });
    pSink->On(EV_DELETE_PAGE,
              [this](const EventArgs& a)
              {
                  long n = a.I4(0);
                  m_tools.OnDeletePage();
                  // Index 0 is the whiteboard, never deleted: it is the answer to DeletePageCheck.
                  if (n == 0)
                  {
                      if (m_pList) m_pList->SendPendingDeletes();
                      return;
                  }
                  if (n >= 0 && static_cast<size_t>(n) < m_pages.size()) m_pages.erase(m_pages.begin() + n);
                  if (m_pTree) m_pTree->OnDeletePage(static_cast<int>(n));
                  if (m_pPreview) m_pPreview->OnDeletePage(static_cast<int>(n));
              });
    pSink->On(EV_SET_CURRENT_PAGE,
              [this](const EventArgs& a)
              {
                  m_tools.OnSetCurrentPage(a.I4(0));
                  if (m_pList) m_pList->OnCurrentPage(a.I4(0));
                  if (m_pTree) m_pTree->OnSetCurrentPage(a.I4(0));
              });
    pSink->On(EV_DO_CHANGE_AGENDA_NAME,
              [this](const EventArgs& a)
              {
                  if (m_pTree) m_pTree->OnAgendaRenamed(reinterpret_cast<const uint8_t*>(a.IntPtr(0)));
              });
    pSink->On(EV_MODE_CHANGE, [this](const EventArgs& a) { m_tools.OnModeChange(a.I2(1)); });
    // The palette and the bar keep a zoom check each: both follow every zoom the board reports.
    pSink->On(EV_RESULT_ZOOM,
              [this](const EventArgs& a)
              {
                  if (!IsReportedZoom(a.I2(1))) return;
                  m_tools.OnResultZoom(a.I2(1));
                  m_session.BoardZoomShown(m_tools.ZoomItem());
              });
    pSink->On(EV_RESULT_DRAW_MODE, [this](const EventArgs& a) { m_tools.OnResultDrawMode(a.I2(0)); });
    m_board.Advise(pSink);
    pSink->Release();
}

void CRoomBoard::OpenStrip(bool bDownload)
{
    CloseStrip();
    CBoardHostFeature& host = m_session.BoardHost();
    auto text = [&](const char16_t* key) { return host.IniText(key); };
    TransferTexts texts{text(bDownload ? u"IDS_BOARD_STATE_FILEDOWN" : u"IDS_BOARD_STATE_FILEUP"),
                        text(u"IDS_BOARD_STATE_REMAIN"),
                        text(u"IDS_BOARD_STRING_HOUR"),
                        text(u"IDS_BOARD_STRING_MIN"),
                        text(u"IDS_BOARD_STRING_SEC"),
                        text(u"IDS_BOARD_STATE_BANDWIDTH")};
    auto pStrip = std::make_unique<CFileUploadStateDlg>(bDownload, std::move(texts), m_board);
    SUploadStateLook look{AgendaText("IDS_BOARD_STATE_READY"), AgendaText("IDS_MSG_CANCEL"),
                          AgendaText("IDS_DEFAULT_FONT"), _wtoi(AgendaText("IDS_DEFAULT_FONTSIZE").c_str())};
    if (look.nFontSize <= 0) look.nFontSize = 12;
    CWnd* pParent = CWnd::FromHandlePermanent(m_hParent);
    if (!pParent || !pStrip->Create(pParent, std::move(look))) return;
    m_pStrip = std::move(pStrip);
    m_session.BoardTransferStrip(m_pStrip.get());
}

void CRoomBoard::CloseStrip()
{
    if (!m_pStrip) return;
    m_session.BoardTransferStrip(nullptr);
    m_pStrip->DestroyWindow();
    m_pStrip.reset();
}

void CRoomBoard::OnPageAdded(int nType, const S_BOARD_FILEHDR& hdr)
{
    m_tools.OnAddPage(nType);
    // A list told again starts with type 1, or is a lone type 2.
    if (nType == 1 || (nType == 2 && !m_bRetelling)) m_pages.clear();
    m_bRetelling = nType == 1 || (m_bRetelling && nType == 0);
    m_pages.push_back(hdr);
    TellTree(nType, hdr);
    if (m_pPreview) m_pPreview->OnAddPage(nType, hdr);
}

void CRoomBoard::SetPreview(CPreviewDlg* pPreview)
{
    m_pPreview = pPreview;
    if (!pPreview) return;
    for (size_t i = 0; i < m_pages.size(); ++i)
        pPreview->OnAddPage(i == 0 ? 1 : 0, m_pages[i]);
}

void CRoomBoard::TellTree(int nType, const S_BOARD_FILEHDR& hdr)
{
    if (!m_pTree) return;
    m_pTree->OnAddPage(nType, hdr, !m_pList || m_pList->ListsPage(nType, hdr));
}

void CRoomBoard::PageChosen(int nIndex, bool bForce)
{
    if (m_pList)
        m_pList->GoToPage(nIndex, bForce);
    else
        m_board.SetCurrentPage(nIndex);
}

void CRoomBoard::SetAgendaTree(CTreeCtrlFolder* pTree)
{
    m_pTree = pTree;
    if (!pTree) return;
    pTree->SetHost(this);
    for (size_t i = 0; i < m_pages.size(); ++i)
        TellTree(i + 1 == m_pages.size() ? 2 : (i == 0 ? 1 : 0), m_pages[i]);
}

void CRoomBoard::RenameRequested(const std::u16string& name, const uint8_t* pBlock72)
{
    m_board.ReqChangeAgendaName(std::wstring(name.begin(), name.end()), pBlock72);
}

void CRoomBoard::OrderRequested(const std::u16string& name, const uint8_t* pBuff, size_t nLen)
{
    m_board.ReqChangeAgendaOrder(std::wstring(name.begin(), name.end()), pBuff, static_cast<long>(nLen));
}

std::wstring CRoomBoard::AgendaText(const char* pszKey) const
{
    std::u16string text = m_session.BoardHost().IniText(std::u16string(pszKey, pszKey + strlen(pszKey)));
    return std::wstring(text.begin(), text.end());
}

void CRoomBoard::TakeArea(RECT& rc, bool bViewsToo)
{
    if (!IsCreated()) return;
    RECT board = rc;
    if (bViewsToo) board.right = rc.left + (rc.right - rc.left) * 2 / 3;
    m_board.Resize(board);
    rc.left = board.right;
}

void CRoomBoard::ProcessData(const uint8_t* pData, size_t nLen)
{
    if (IsCreated() && pData && nLen) m_board.ProcessData(static_cast<long>(nLen), pData);
}

void CRoomBoard::SucSendBoardData(const uint8_t* pData, size_t nLen)
{
    if (IsCreated() && pData && nLen) m_board.SucSendBoardData(pData);
}
