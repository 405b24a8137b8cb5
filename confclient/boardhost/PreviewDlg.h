// CPreviewDlg: the board preview: a window of its own, without a platform frame, in which the
// room board draws one page. A page combo and page buttons choose the page, keys page through
// it, and its borders and caption strip size and move it.
#pragma once
#include <string>

#include "confclient/boardhost/LMBoard2.h"
#include "confclient/boardhost/PreviewRules.h"
#include "lmboard2/boardbase/BoardFileHeader.h"
#include "resources/ResourceIds.h"
#include "winui/Dialog.h"

class CPreviewDlg : public CDialog
{
public:
    explicit CPreviewDlg(CLMBoard2& board) : m_board(board) {}
    // The window (template 454), hidden until RestorePosition shows it.
    BOOL Create(CWnd* pOwner);
    // Places the window by the stored "Board_PreviewPos" text beside the room main view, has the
    // board make its preview in it and shows it. Nothing without the room main view's window.
    void RestorePosition(HWND hRoomView, const std::wstring& stored);
    // The normal place, kept from the window placement (the control bar stores it).
    PreviewPos NormalPlace() const { return m_normal; }
    // The board's pages: AddPage (0 one page, 1 the first and 2 the last of a list told again),
    // DeletePage.
    void OnAddPage(int nKind, const S_BOARD_FILEHDR& hdr);
    void OnDeletePage(int nIndex);
    // Shows page nIndex in the preview and in the combo.
    void ShowPage(int nIndex);
    int CurrentPage() const;
    void UpdatePageButtons();
    // The page keys; Esc and Ctrl+Break are swallowed.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnSize(int cx, int cy);
    void OnPaint();
    bool OnButtonDown(int x, int y);
    void SetToWorkArea();
    void SavePlacement();
    void ToggleMaximize(bool bMaximize);
    void Close();
    PreviewBox WorkArea() const;
    HWND Combo() const { return GetDlgItem(kCombo); }

    static constexpr int kNext = IDC_PREVIEW_NEXT, kPrevious = IDC_PREVIEW_PREV,
                         kMinimize = IDC_PREVIEW_MINIMIZE, kMaximize = IDC_PREVIEW_MAXIMIZE,
                         kRestore = IDC_PREVIEW_RESTORE, kClose = IDC_PREVIEW_CLOSE,
                         kCombo = IDC_PREVIEW_PAGES;
    static constexpr int kTitleHeight = 30;

    CLMBoard2& m_board;
    PreviewPos m_normal;
    int m_nEdge = 0; // the border being dragged, 0 for none
    bool m_bPreviewMade = false;
};
