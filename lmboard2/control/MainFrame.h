// CMainFrame: the control's frame window; it holds the board view as its one child.
#pragma once
#include "lmboard2/control/LMView.h"

constexpr UINT WM_BOARD_FULL_SCREEN = 2224;

class CMainFrame final : public CBoardWindow
{
public:
    explicit CMainFrame(IBoardEvents& events) : m_view(events) {}

    bool Create(HWND hParent, const RECT& rc);
    CLMView& View() { return m_view; }
    bool IsFullScreen() const { return m_bFullScreen; }

protected:
    LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    CLMView m_view;
    bool m_bFullScreen = false;
};
