// CPanelHeader: the title band that the chat and the participant list share: three skin pictures
// (left, stretched middle, right), the show/hide and float/dock buttons at its right end, the
// transparency slider shown while floating, and the band's colour behind the title text.
#pragma once
#include <initializer_list>

#include <string>

#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/slider/BitmapSlider.h"

class CDialog;
class IRoomHost;

class CPanelHeader
{
public:
    CPanelHeader() = default;
    CPanelHeader(const CPanelHeader&) = delete;
    CPanelHeader& operator=(const CPanelHeader&) = delete;
    ~CPanelHeader();

    // Loads the band's pictures from the skin folder, else from the resources; false when one
    // loads from neither (the panel then has nothing to show).
    bool LoadPictures(IRoomHost* pHost);
    // Takes over the panel's popup and float buttons and its slider (70..255, at 255); the float
    // button's tool tip names the panel (its text key).
    void Attach(CDialog& panel, IRoomHost* pHost, int nPopupId, int nFloatId, int nAlphaId,
                const char* pszFloatTip);
    // The popup button's pictures and tool tip: "hide" while expanded, "show" while collapsed.
    void UpdatePopup(bool bExpanded);
    // A tool tip of another button of the band, by its text key.
    void AddTip(CWnd& button, const char* pszKey);
    // The tool tips follow the mouse through the panel's messages.
    void RelayEvent(const MSG* pMsg)
    {
        if (m_tips.m_hWnd) m_tips.RelayEvent(pMsg);
    }
    // Places the popup button, the float button (unless hidden) and then the further buttons
    // right to left at y = 1, 3 pixels apart. Answers the left edge of the last one placed.
    int PlaceButtons(int cx, std::initializer_list<CHBitmapButton*> further);
    // The slider shows while floating, its left edge at (x, y).
    void PlaceSlider(bool bFloating, int x, int y);
    int SliderWidth() const;
    // Paints the band across the panel's width at the top.
    void Paint(HDC hDC, int cx);
    // Colours a static on the band: its text stands on the band's colour.
    HBRUSH TitleBrush(HDC hDC);
    // The band's height less its bottom line: where the panel's body starts, less one.
    int Height() const { return m_nHeight; }
    CHBitmapButton& FloatButton() { return m_float; }
    CHBitmapButton& PopupButton() { return m_popup; }

private:
    CLMPictureEx m_parts[3];
    CHBitmapButton m_popup, m_float;
    CBitmapSlider m_alpha;
    CLMToolTipCtrl m_tips;
    IRoomHost* m_pHost = nullptr;
    HBRUSH m_hBrush = nullptr;
    int m_nHeight = 19;
};

// Loads a skin picture from the program's skin folder, else the resource of the id.
bool LoadPanelPicture(IRoomHost* pHost, CLMPictureEx& picture, const wchar_t* pszFile, UINT nResource);
// Paints three pictures as one band at y: left and right at their size, the middle stretched.
void PaintPanelBand(HDC hDC, CLMPictureEx (&parts)[3], int y, int nWidth);
