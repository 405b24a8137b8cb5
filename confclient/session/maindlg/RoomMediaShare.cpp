// The session's side of the media-share view and the question view: the room's record to and
// from the view's tool bar, what the view asks of the session, the questionnaire's address.
#include "confclient/room/QuestionAddress.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"

void IConfDlg::OnShareNotice(int nNotice, uint32_t lParam)
{
    if (m_pMediaShareView && m_pMediaShareView->ToolBar())
        m_pMediaShareView->ToolBar()->OnNotice(nNotice, lParam);
}

void IConfDlg::OnMediaFrame(uint16_t wCommand, uint16_t, const uint8_t*, size_t)
{
    if (wCommand != DAT_MOVIE_VIDEO) return;
    HWND hToolBar = m_hShareToolBar.load();
    if (hToolBar && m_shareFrameGate.Pass(::GetTickCount()))
        ::PostMessageW(hToolBar, kMsgMediaShare, SHARENOTICE_STATE, 0);
}

void IConfDlg::SendMediaShareRecord(const QNMediaShareRecord& r)
{
    if (m_pNet && !IsPlayerMode()) m_pNet->SendMediaShareRecord(r);
}

void IConfDlg::SendMediaShareState(uint32_t dwFlags)
{
    if (m_pNet && !IsPlayerMode()) m_pNet->SendMediaShareState(dwFlags);
}

bool IConfDlg::HasMediaShareRight() const
{
    return m_room.users.GetMediaShareRight(m_room.wMyChannel) != 0;
}

int IConfDlg::ShareMediaMode() const
{
    if (m_room.info.dwFlags & ROOMFLAG_MEDIASHARE_MOVIE) return 3;
    return (m_room.info.dwFlags & ROOMFLAG_MEDIASHARE_SOUND) ? 2 : 0;
}

const SShareExtensions& IConfDlg::ShareExtensions() const
{
    static const SShareExtensions kExtensions;
    return kExtensions;
}

bool IConfDlg::ShareKeepsSending() const
{
    // The room record carries no keep-sending option: a playing file pauses outside view mode 2.
    return false;
}

HWND IConfDlg::CreateShareSender(HWND)
{
    // The movie-sharing sender is not part of this program yet: the view shows the file's name.
    return nullptr;
}

void IConfDlg::ResetShareVoice()
{
    m_voiceHost.Voice().VoiceAllUsersOut();
}

void IConfDlg::FocusRoom()
{
    if (HWND h = MainRoomWindow()) ::SetFocus(h);
}

void IConfDlg::ShowShareBox(const std::wstring& szText, bool bModal)
{
    if (bModal)
        ShowMessageBox(szText, 1);
    else
        ShowMessageBoxModeless(szText, 1, NOTICEBOX_MODELESS, kNoIndex);
}

void IConfDlg::ApplyShareAndQuestionViews()
{
    if (m_pMediaShareView && m_pMediaShareView->ToolBar())
        m_pMediaShareView->ToolBar()->SetPlayMode(m_room.wViewMode);
    if (!m_pQuestion || !m_pQuestion->m_hWnd || IsPlayerMode() || m_room.wViewMode != 3) return;
    bool bChief = m_room.wMyChannel != kNoIndex && m_room.wMyChannel == m_room.wPresiderChannel;
    std::wstring szAddress = WideOf(QuestionPageAddress(m_launch.fields.szServerAddress, m_szQuestionPage,
                                                        m_room.info.szConfCode, bChief));
    // Room changes that leave the address as it was do not reload the page.
    if (szAddress == m_szQuestionAddress) return;
    m_szQuestionAddress = szAddress;
    AddLog(LOG_INFO, L"[QUESTION] %s", szAddress.c_str());
    if (!m_pQuestion->Navigate(szAddress)) AddLog(LOG_ERROR, L"[QUESTION] the page could not be shown");
}
