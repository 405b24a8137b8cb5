// The splash window shown while the lobby login runs: the intro picture of the language library.
#pragma once
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "winui/Wnd.h"

class CSplashDlg : public CWnd
{
public:
    // Creates the window centred over the screen with the "BACKIMAGE" picture nId of hModule;
    // false when the picture or the window cannot be made.
    BOOL Show(HWND hOwner, HMODULE hModule, UINT nId);

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }

private:
    CLMPictureEx m_picture;
};
