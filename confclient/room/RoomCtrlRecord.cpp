// CRoomCtrlDlg's recording controls: the record toggle and menu check, the recording's save dialog
// and the two recording timers; what they do is the room's recording, behind IBarRecording.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "confclient/media/RecordControl.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "resources/ResourceIds.h"

namespace
{
// Follows the filter the dialog shows, so that a cancelled dialog still tells the last one chosen.
UINT_PTR CALLBACK RecordSaveHook(HWND hChild, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
    {
        const auto* pOfn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        ::SetWindowLongPtrW(hChild, GWLP_USERDATA, pOfn->lCustData);
        return 0;
    }
    if (msg != WM_NOTIFY) return 0;
    const auto* pNotify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (pNotify->hdr.code != CDN_TYPECHANGE && pNotify->hdr.code != CDN_INITDONE) return 0;
    if (auto* pShown = reinterpret_cast<DWORD*>(::GetWindowLongPtrW(hChild, GWLP_USERDATA)))
        *pShown = pNotify->lpOFN->nFilterIndex;
    return 0;
}
} // namespace

void CRoomCtrlDlg::SetRecordCheck(bool bChecked)
{
    m_bRecordChecked = bChecked;
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_RECORD), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CRoomCtrlDlg::AskRecordPath(const std::wstring& szName, const std::wstring& szFolder,
                                 const std::wstring& szFilter, std::wstring& szPath, uint32_t& nFilterIndex)
{
    std::vector<wchar_t> filter(szFilter.begin(), szFilter.end());
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    std::vector<wchar_t> file(MAX_PATH, L'\0');
    szName.copy(file.data(), std::min<size_t>(szName.size(), MAX_PATH - 1));
    DWORD dwShown = nFilterIndex;
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.data();
    ofn.nFilterIndex = nFilterIndex;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = MAX_PATH - 5; // room for an extension the bar adds
    ofn.lpstrInitialDir = szFolder.empty() ? nullptr : szFolder.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT |
                OFN_PATHMUSTEXIST;
    ofn.lpfnHook = &RecordSaveHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&dwShown);
    const bool bOk = ::GetSaveFileNameW(&ofn) != FALSE;
    nFilterIndex = bOk ? ofn.nFilterIndex : dwShown;
    if (bOk) szPath = file.data();
    return bOk;
}

void CRoomCtrlDlg::SetRecordTimer(int nId, bool bOn)
{
    if (!m_hWnd) return;
    if (bOn)
        ::SetTimer(m_hWnd, static_cast<UINT_PTR>(nId), kRecordTimerMs, nullptr);
    else
        ::KillTimer(m_hWnd, static_cast<UINT_PTR>(nId));
}

bool CRoomCtrlDlg::OnRecordTimerTick(UINT_PTR nId)
{
    if (nId != RECORD_TIMER_RETRY && nId != RECORD_TIMER_LENGTH) return false;
    if (m_pRecording) m_pRecording->OnRecordTimer(static_cast<int>(nId));
    return true;
}
