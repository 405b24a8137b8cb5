// The control bar's file push: File 32786 picks a file for everyone in the room; the push model
// runs both sides, the bar its timer, its progress messages and the chat's push line.
#include <windows.h>

#include <commdlg.h>

#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/TransferFilesWin.h"
#include "confclient/session/texttable/TextTable.h"

// What the push asks of the bar, from the window's thread and from the send thread.
class CRoomCtrlDlg::CPushHost : public IFilePushHost, public IFileSendCalOwner
{
public:
    CPushHost(CRoomCtrlDlg& bar, IRoomHost& host) : m_bar(bar), m_host(host), m_hBar(bar.m_hWnd) {}

    bool SendPushFile(uint32_t dwSize, const std::u16string& szName) override
    {
        return m_host.SendPushFile(dwSize, szName);
    }
    bool SendPushData(const uint8_t* p, size_t n) override { return m_host.SendPushData(p, n); }
    bool SendPushCancel() override { return m_host.SendPushCancel(); }
    void SetPushEndTimer(uint32_t ms) override { ::PostMessageW(m_hBar, WM_PUSH_END_TIMER, ms, 0); }
    void UpdatePushMenu() override {}
    void EndPushProgressLine() override { m_host.EndPushProgress(); }
    void AddReceivedFile(const std::u16string& szPath) override
    {
        m_host.AddReceivedFile(std::wstring(szPath.begin(), szPath.end()));
    }
    uint32_t TickCount() const override { return ::GetTickCount(); }
    void PostPushProgress(int nPercent, const std::u16string& szText) override
    {
        auto* pText = new std::wstring(szText.begin(), szText.end());
        if (!::PostMessageW(m_hBar, WM_PUSH_PROGRESS, static_cast<WPARAM>(nPercent),
                            reinterpret_cast<LPARAM>(pText)))
            delete pText;
    }

private:
    CRoomCtrlDlg& m_bar;
    IRoomHost& m_host;
    HWND m_hBar;
};

void CRoomCtrlDlg::MakePush()
{
    if (m_pPush || !m_pHost || !m_hWnd) return;
    IRoomNotices& notices = m_pHost->PushNotices();
    auto text = [&](const char* pszKey) { return notices.Text(pszKey); };
    auto pHost = std::make_unique<CPushHost>(*this, *m_pHost);
    CPushHost& host = *pHost;
    m_pPushHost = std::move(pHost);
    m_pDownloads = std::make_unique<CDownloadFolderWin>(m_pHost->SaveFolder());
    m_pPushClock = std::make_unique<CSteadyPaceClock>();
    m_pPush = std::make_unique<CFilePush>(host, notices, *m_pDownloads, *m_pPushClock, host,
                                          SRemainFormats{text("IDS_MSG_PUSHSENDING_REMAINHOUR"),
                                                         text("IDS_MSG_PUSHSENDING_REMAINMIN"),
                                                         text("IDS_MSG_PUSHSENDING_REMAINSEC")},
                                          m_pHost->TransferPace());
}

void CRoomCtrlDlg::OnPushCommand()
{
    wchar_t szFile[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"*.*\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (::GetOpenFileNameW(&ofn)) StartPushFile(szFile);
}

bool CRoomCtrlDlg::StartPushFile(const std::wstring& szPath)
{
    MakePush();
    if (!m_pPush) return false;
    uint64_t nSize = 0;
    // The file stays open, shared with no writer, until its last block is read.
    std::unique_ptr<ISendFile> file = m_pPush->Busy() ? nullptr : OpenSendFile(szPath, nSize);
    const size_t nSlash = szPath.find_last_of(L"\\/");
    const std::wstring szName = nSlash == std::wstring::npos ? szPath : szPath.substr(nSlash + 1);
    return m_pPush->StartPush(std::move(file), std::u16string(szName.begin(), szName.end()), nSize);
}

void CRoomCtrlDlg::OnPushChunkSent(uint32_t nBytes)
{
    if (m_pPush) m_pPush->OnPushChunkSent(nBytes);
}

void CRoomCtrlDlg::CancelFilePush(bool bTell)
{
    if (m_pPush) m_pPush->CancelFilePush(bTell);
}

bool CRoomCtrlDlg::BeginPushReceive(uint16_t wSender, const std::u16string& szSender,
                                    const std::u16string& szFile, uint32_t dwSize)
{
    MakePush();
    return m_pPush && m_pPush->BeginPushReceive(szFile, dwSize, wSender, szSender);
}

void CRoomCtrlDlg::OnPushCancelled(uint16_t wSender, const std::u16string& szSender)
{
    if (m_pPush) m_pPush->OnPushCancelled(wSender, szSender);
}

void CRoomCtrlDlg::OnPushData(uint16_t wSender, const uint8_t* p, size_t n)
{
    if (m_pPush) m_pPush->OnPushData(wSender, p, n);
}

bool CRoomCtrlDlg::PushMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PUSH_END_TIMER:
        ::SetTimer(m_hWnd, kPushEndTimer, static_cast<UINT>(wParam), nullptr);
        return true;
    case WM_TIMER:
        if (wParam != kPushEndTimer) return false;
        ::KillTimer(m_hWnd, kPushEndTimer);
        if (m_pPush) m_pPush->EndPush();
        return true;
    case WM_PUSH_PROGRESS:
    {
        std::unique_ptr<std::wstring> pText(reinterpret_cast<std::wstring*>(lParam));
        const int nPercent = static_cast<int>(wParam);
        if (!m_pHost || !pText) return true;
        if (nPercent < 100 || !m_pPush)
        {
            m_pHost->ShowPushProgress(nPercent, *pText);
            return true;
        }
        IRoomNotices& notices = m_pHost->PushNotices();
        const std::u16string szEnd =
            Formatted(nullptr, notices.Text("IDS_MSG_PUSHRECV_END"), m_pPush->ProgressName());
        m_pHost->ShowPushProgress(nPercent, std::wstring(szEnd.begin(), szEnd.end()));
        notices.AddChatNotice(szEnd, 0);
        return true;
    }
    default:
        return false;
    }
}
