// CFileUploadStateDlg: the state bar along the bottom of the room while a board upload or download
// runs: the file position, a bar, the remaining time and bandwidth, and for an upload a cancel
// button. Its owner sends kMsgBytesMoved with the bytes of every block.
#pragma once
#include <string>

#include "confclient/boardhost/LMBoard2.h"
#include "confclient/boardhost/TransferProgress.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "confclient/toolkit/controls/ProgressCtrlX.h"
#include "winui/Dialog.h"

// What the bar shows before the transfer tells it anything, and how.
struct SUploadStateLook
{
    std::wstring readyText; // IDS_BOARD_STATE_READY
    std::wstring cancelTip; // IDS_MSG_CANCEL
    std::wstring fontFace;  // IDS_DEFAULT_FONT
    int nFontSize = 12;     // IDS_DEFAULT_FONTSIZE
};

class CFileUploadStateDlg : public CDialog
{
public:
    // wParam: the bytes just moved.
    static constexpr UINT kMsgBytesMoved = 0x7F0;

    CFileUploadStateDlg(bool bDownload, TransferTexts texts, CLMBoard2& board);
    // A hidden child of the room window; false when the template does not load.
    BOOL Create(CWnd* pParent, SUploadStateLook look);

    // The board's SetTotalSize and SetFileCount.
    void BeginProgress(uint32_t nTotal);
    void SetFileIndex(uint32_t nCurrent, uint32_t nTotal);
    uint64_t Remaining() const { return m_progress.Remaining(); }

    std::wstring TitleText() const { return m_title.m_hWnd ? GetWindowTextString(m_title.m_hWnd) : L""; }
    std::wstring StateText() const { return m_state.m_hWnd ? GetWindowTextString(m_state.m_hWnd) : L""; }
    int Percent() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Enter and Escape neither close nor end the bar.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnBytes(uint32_t nBytes);
    void Layout(int cx);

    CTransferProgress m_progress;
    CLMBoard2& m_board;
    SUploadStateLook m_look;
    CLMStatic m_title, m_state;
    CProgressCtrlX m_bar;
    CHBitmapButton m_cancel;
    CLMToolTipCtrl m_tips;
};
