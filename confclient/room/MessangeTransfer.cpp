// CMessangeDlg's file transfer: the window is the transfer model's view, the progress panel lies
// over its buttons, and its timers end each side.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include "confclient/room/MessangeDlg.h"
#include "confclient/room/TransferFilesWin.h"
#include "resources/ResourceIds.h"

// What the transfer asks of the window, from the window's thread and from the send thread.
class CMessangeDlg::CTransferHost : public IMessengerTransferHost
{
public:
    explicit CTransferHost(CMessangeDlg& dlg) : m_dlg(dlg), m_hWnd(dlg.m_hWnd) {}

    bool SendFileOffer(const std::u16string& szName, uint32_t dwSize) override
    {
        return m_dlg.m_wPeerIndex != 65535 && m_dlg.m_host.SendFileOffer(m_dlg.m_wPeerIndex, szName, dwSize);
    }
    bool SendFileReply(bool bAccept) override
    {
        return m_dlg.m_wPeerIndex != 65535 && m_dlg.m_host.SendFileReply(m_dlg.m_wPeerIndex, bAccept);
    }
    // The send thread: the peer's index was fixed when the send began.
    bool SendFileData(const uint8_t* p, size_t n) override
    {
        return m_wPeer != 65535 && m_dlg.m_host.SendFileData(m_wPeer, p, n);
    }
    std::u16string Text(const char* pszKey) const override
    {
        const std::wstring s = m_dlg.Text(pszKey);
        return std::u16string(s.begin(), s.end());
    }
    void AddLine(int nKind, const std::u16string& szText) override
    {
        m_dlg.AddMessage(nKind, std::wstring(szText.begin(), szText.end()), false);
    }
    void ShowBox(const std::u16string& szText) override
    {
        m_dlg.m_host.AskBox(std::wstring(szText.begin(), szText.end()), 1);
    }
    void SetEndTimer(bool bSend, uint32_t ms) override
    {
        ::PostMessageW(m_hWnd, kMsgEndTimer, bSend ? kSendEndTimer : kReceiveEndTimer, ms);
    }
    void ShowProgress(bool bSend, const std::u16string& szName, uint32_t dwTotal) override
    {
        if (bSend) m_wPeer = m_dlg.m_wPeerIndex;
        m_dlg.m_pProgress = std::make_unique<CFileSProgressDlg>(m_dlg.m_notices);
        if (!m_dlg.m_pProgress->Create(&m_dlg))
        {
            m_dlg.m_pProgress.reset();
            return;
        }
        m_dlg.m_pProgress->SetLayout(12, L"Tahoma", 200, 12);
        ::SetWindowPos(m_dlg.m_pProgress->m_hWnd, HWND_TOP, 1, 27, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        m_dlg.m_pProgress->BeginTransfer(dwTotal, std::wstring(szName.begin(), szName.end()));
    }
    void UpdateProgress(uint64_t nDone, uint32_t nLast) override
    {
        if (m_dlg.m_pProgress) m_dlg.m_pProgress->UpdateTransfer(static_cast<uint32_t>(nDone), nLast);
    }
    void CloseProgress() override
    {
        if (m_dlg.m_pProgress && m_dlg.m_pProgress->m_hWnd) m_dlg.m_pProgress->DestroyWindow();
        m_dlg.m_pProgress.reset();
    }
    void EnableFileButton(bool bEnable) override
    {
        m_dlg.m_file.EnableWindow(bEnable && (m_dlg.m_host.FeatureWord() & 0x10));
    }
    void UnlinkCancel() override { m_dlg.m_log.Unlink(CMessengerLog::LINK_CANCEL); }

private:
    CMessangeDlg& m_dlg;
    HWND m_hWnd;
    uint16_t m_wPeer = 65535;
};

void CMessangeDlg::MakeTransfer()
{
    if (m_pTransfer || !m_hWnd) return;
    m_pTransferHost = std::make_unique<CTransferHost>(*this);
    m_pDownloads = std::make_unique<CDownloadFolderWin>(m_host.SaveFolder());
    m_pTransfer = std::make_unique<CMessengerTransfer>(*m_pTransferHost, *m_pDownloads, m_paceClock,
                                                       m_host.TransferPace());
}

void CMessangeDlg::OnFileOffer(const std::u16string& szName, uint32_t dwSize)
{
    MakeTransfer();
    if (m_pTransfer)
        m_pTransfer->OnOffer(szName, dwSize, std::u16string(m_szPeerName.begin(), m_szPeerName.end()));
}

void CMessangeDlg::OnFileReply(bool bAccepted)
{
    if (m_pTransfer) m_pTransfer->OnReply(bAccepted);
}

void CMessangeDlg::OnFileData(const uint8_t* p, size_t n)
{
    if (m_pTransfer) m_pTransfer->OnData(p, n);
}

void CMessangeDlg::OnFileDataAck(uint32_t nBytes)
{
    if (m_pTransfer) m_pTransfer->OnDataAck(nBytes);
}

void CMessangeDlg::ChooseFile()
{
    wchar_t szFile[MAX_PATH] = {};
    const std::wstring szFolder = m_host.SaveFolder();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"*.*\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = szFolder.empty() ? nullptr : szFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (::GetOpenFileNameW(&ofn)) OfferPath(szFile);
    ::SetFocus(GetDlgItem(IDC_MSG_INPUT));
}

bool CMessangeDlg::OfferPath(const std::wstring& szPath)
{
    MakeTransfer();
    if (!m_pTransfer) return false;
    uint64_t nSize = 0;
    std::unique_ptr<ISendFile> file = OpenSendFile(szPath, nSize);
    const size_t nSlash = szPath.find_last_of(L"\\/");
    const std::wstring szName = nSlash == std::wstring::npos ? szPath : szPath.substr(nSlash + 1);
    return m_pTransfer->OfferFile(std::move(file), std::u16string(szName.begin(), szName.end()), nSize);
}

bool CMessangeDlg::TransferMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case kMsgEndTimer:
        ::SetTimer(m_hWnd, wParam, static_cast<UINT>(lParam), nullptr);
        return true;
    case WM_TIMER:
        if (wParam != kSendEndTimer && wParam != kReceiveEndTimer) return false;
        ::KillTimer(m_hWnd, wParam);
        if (m_pTransfer && wParam == kSendEndTimer) m_pTransfer->OnSendEnd();
        if (m_pTransfer && wParam == kReceiveEndTimer) m_pTransfer->OnReceiveEnd();
        return true;
    case WM_DROPFILES:
    {
        // The first dropped file only.
        HDROP hDrop = reinterpret_cast<HDROP>(wParam);
        wchar_t szFile[MAX_PATH] = {};
        if (::DragQueryFileW(hDrop, 0, szFile, MAX_PATH)) OfferPath(szFile);
        ::DragFinish(hDrop);
        return true;
    }
    default:
        return false;
    }
}
