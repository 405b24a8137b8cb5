// CImageWnd: the page preview window the host places in its preview dialog: one board page
// drawn from its file, scaled to fit and centred on white, or a message instead of it.
#pragma once
#include <memory>
#include <string>

#include "lmboard2/control/BoardWindow.h"
#include "lmboard2/control/PageImage.h"

class CImageWnd final : public CBoardWindow
{
public:
    // The page image to show (replaces the one shown); the window repaints.
    void SetImage(std::unique_ptr<CPageImage> pImage);
    // A text shown centred instead of an image (a page that cannot be previewed).
    void SetMessage(const std::wstring& text);
    // Paints the preview into a device context of the window's client size.
    void Paint(HDC hdc) const;

protected:
    LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    std::unique_ptr<CPageImage> m_pImage;
    std::wstring m_strMessage;
};
