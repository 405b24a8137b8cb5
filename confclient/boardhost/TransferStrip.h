// CTransferStrip: the strip along the bottom of the room that shows a board upload or download:
// the file position, a bar, the remaining time and bandwidth, and for an upload a cancel button.
#pragma once
#include <string>

#include "confclient/boardhost/LMBoard2.h"
#include "confclient/boardhost/TransferProgress.h"
#include "winui/Wnd.h"

class CTransferStrip : public CWnd
{
public:
    static constexpr UINT kCancelId = 1419;

    CTransferStrip(bool bDownload, TransferTexts texts, CLMBoard2& board)
        : m_progress(bDownload, std::move(texts)), m_board(board)
    {
    }
    BOOL Create(HWND hParent, const std::wstring& readyText, const std::wstring& cancelText);

    // The board's SetTotalSize, SetFileCount and ProgressChange.
    void SetTotal(uint32_t nTotal);
    void SetFileCount(uint32_t nCurrent, uint32_t nTotal);
    void OnBytes(uint32_t nBytes);
    uint64_t Remaining() const { return m_progress.Remaining(); }

    std::wstring TitleText() const { return GetWindowTextString(m_hTitle); }
    std::wstring StateText() const { return GetWindowTextString(m_hState); }
    int Percent() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout(int cx);

    CTransferProgress m_progress;
    CLMBoard2& m_board;
    HWND m_hTitle = nullptr, m_hState = nullptr, m_hBar = nullptr, m_hCancel = nullptr;
};
