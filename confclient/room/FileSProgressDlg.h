// CFileSProgressDlg: the small panel a messenger window lays over its buttons while a file moves:
// the file's name and a bar with its percentage, over the panel's background picture.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "confclient/notices/NoticeHost.h"
#include "confclient/people/FileSendCal.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/ProgressCtrlX.h"
#include "resources/ResourceIds.h"
#include "winui/Dialog.h"

class CFileSProgressDlg : public CDialog
{
public:
    static constexpr uint32_t kNotStarted = 0xFFFFFFFF;
    // What a transfer of no bytes is measured against.
    static constexpr uint32_t kEmptyTotal = 1366;

    explicit CFileSProgressDlg(INoticeHost& host) : CDialog(IDD_FILESPROGRESS, nullptr), m_host(host) {}

    // A child of the messenger window; false when the template or the picture fails.
    BOOL Create(CWnd* pParent);
    // The name's font; the bar at (8, 13) of (width + 1) x (height + 3), the name below it.
    void SetLayout(int nFontSize, const std::wstring& szFace, int nWidth, int nHeight);
    void BeginTransfer(uint32_t dwTotal, const std::wstring& szName);
    // Bytes done in all and just moved.
    void UpdateTransfer(uint32_t dwDone, uint32_t dwDelta);

    std::wstring NameText() const;
    int BarPosition() const;
    int BarLow() const;
    int BarHigh() const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    INoticeHost& m_host;
    CLMStatic m_name;
    CProgressCtrlX m_bar;
    CLMPictureEx m_back;
    uint32_t m_dwTotal = kNotStarted;
    uint32_t m_dwDone = 0;
    uint64_t m_nRunning = 0;
    SFileProgressRange m_range;
};
