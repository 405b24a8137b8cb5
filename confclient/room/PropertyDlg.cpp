// CPropertyDlg: the controls are filled from the room, placed in three sections that close up
// when the video section or a sharing right is not offered, and read back into a form for OK.
#include "confclient/room/PropertyDlg.h"

#include <commctrl.h>

#include "confclient/room/RoomCtrlDlg.h"
#include "resources/ResourceIds.h"

namespace
{
struct S_PLACE
{
    int nId;
    int x, y, cx, cy;
    int nSection; // 0 general, 1 video (T + y), 2 rights (T - S + y), 3 buttons (T - S - B + y)
};

const S_PLACE kPlaces[] = {
    {IDC_PROPERTY_NOTICE, 7, 8, 300, 14, 0},
    {IDC_PROPERTY_CLOSE, 376, 6, 16, 16, 0},
    {IDC_PROPERTY_GENERAL, 23, 38, 150, 20, 0},
    {IDC_PROPERTY_TITLE_LABEL, 29, 66, 80, 20, 0},
    {IDC_PROPERTY_TITLE, 122, 66, 185, 18, 0},
    {IDC_PROPERTY_PASSWORD_LABEL, 29, 96, 80, 20, 0},
    {IDC_PROPERTY_PASSWORD, 120, 95, 81, 18, 0},
    {IDC_PROPERTY_MAXUSER_LABEL, 29, 127, 80, 14, 0},
    {IDC_PROPERTY_MAXUSER, 119, 122, 250, 200, 0},
    {IDC_PROPERTY_PRESENTER_LABEL, 29, 154, 80, 14, 0},
    {IDC_PROPERTY_PRESENTER, 119, 150, 250, 200, 0},
    {IDC_PROPERTY_PRESENTERPOS_LABEL, 29, 182, 80, 14, 0},
    {IDC_PROPERTY_PRESENTERPOS, 119, 178, 250, 200, 0},
    {IDC_PROPERTY_CLOSEWITHHOST, 26, 210, 330, 18, 0},
    {IDC_PROPERTY_NOTICELOG, 26, 235, 250, 18, 0},
    {IDC_PROPERTY_VIDEO, 23, 250, 150, 20, 1},
    {IDC_PROPERTY_CAPTURE_LABEL, 29, 277, 80, 14, 1},
    {IDC_PROPERTY_CAPTURE, 119, 273, 120, 200, 1},
    {IDC_PROPERTY_QUALITY_LABEL, 29, 307, 80, 14, 1},
    {IDC_PROPERTY_QUALITY, 119, 303, 120, 200, 1},
    {IDC_PROPERTY_FRAMEFIXED, 26, 335, 112, 18, 2},
    {IDC_PROPERTY_FRAMEMIN, 132, 328, 15, 14, 2},
    {IDC_PROPERTY_FRAMEMAX, 309, 328, 15, 14, 2},
    {IDC_PROPERTY_FRAMERATE, 130, 338, 180, 24, 2},
    {IDC_PROPERTY_FRAMEVALUE, 321, 338, 58, 14, 2},
    {IDC_PROPERTY_RIGHTS, 23, 380, 150, 20, 2},
    {IDC_PROPERTY_TALK, 26, 399, 170, 18, 2},
    {IDC_PROPERTY_DRAW, 200, 399, 170, 18, 2},
    {IDC_PROPERTY_CHAT, 26, 424, 170, 18, 2},
    {IDC_PROPERTY_RECORD, 200, 424, 170, 18, 2},
    {IDC_PROPERTY_PRINT, 26, 449, 170, 18, 2},
    {IDC_PROPERTY_ERASEALL, 200, 449, 170, 18, 2},
    {IDC_PROPERTY_DESKTOPSHARE, 26, 474, 170, 18, 2},
    {IDC_PROPERTY_MEDIASHARE, 200, 474, 170, 18, 2},
    {IDOK, 118, 518, 80, 24, 3},
    {IDCANCEL, 213, 518, 80, 24, 3},
};

const struct
{
    int nId;
    const char* pszKey;
} kTexts[] = {
    {IDC_PROPERTY_NOTICE, "IDMS_CHANGE2_ROOMPROPERTY"},
    {IDC_PROPERTY_GENERAL, "IDS_PROPERTY_NOMAL"},
    {IDC_PROPERTY_TITLE_LABEL, "IDS_PROPERTY_TITLE"},
    {IDC_PROPERTY_PASSWORD_LABEL, "IDS_PROPERTY_PW"},
    {IDC_PROPERTY_MAXUSER_LABEL, "IDMS_MAXUSER"},
    {IDC_PROPERTY_PRESENTER_LABEL, "IDS_PRESENTER_USE"},
    {IDC_PROPERTY_PRESENTERPOS_LABEL, "IDS_PRESENTER_VIDEOPOS"},
    {IDC_PROPERTY_CLOSEWITHHOST, "IDMS_SET_CLOSEWITHHOST_QN"},
    {IDC_PROPERTY_NOTICELOG, "IDMS_SET_NOTICELOG"},
    {IDC_PROPERTY_VIDEO, "IDS_SETTING_VIDEOSETTING"},
    {IDC_PROPERTY_CAPTURE_LABEL, "IDS_PROPERTY_CAPTURESIZE"},
    {IDC_PROPERTY_QUALITY_LABEL, "IDMS_VIDEO_QUALITY"},
    {IDC_PROPERTY_FRAMEFIXED, "IDS_SETTING_FRAMESET"},
    {IDC_PROPERTY_RIGHTS, "IDS_PROPERTY_AUTH"},
    {IDC_PROPERTY_TALK, "IDMS_TALK_CTRL"},
    {IDC_PROPERTY_DRAW, "IDMS_DRAW_CTRL"},
    {IDC_PROPERTY_CHAT, "IDMS_CHAT_CTRL"},
    {IDC_PROPERTY_RECORD, "IDMS_RECORD_CTRL"},
    {IDC_PROPERTY_PRINT, "IDMS_PRINT_CTRL"},
    {IDC_PROPERTY_ERASEALL, "IDMS_ERASEALL_CTR"},
    {IDC_PROPERTY_DESKTOPSHARE, "IDMS_SHARE_CTRL"},
};

bool Checked(HWND h)
{
    return ::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(HWND h, bool b)
{
    ::SendMessageW(h, BM_SETCHECK, b ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Selected(HWND h)
{
    return static_cast<int>(::SendMessageW(h, CB_GETCURSEL, 0, 0));
}

void AddChoice(HWND h, const std::wstring& szText)
{
    ::SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText.c_str()));
}

std::u16string U16(const std::wstring& w)
{
    return std::u16string(w.begin(), w.end());
}

std::wstring Wide(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}
} // namespace

std::wstring CPropertyDlg::Text(const char* pszKey) const
{
    return m_pHost ? m_pHost->RoomText(pszKey) : std::wstring();
}

BOOL CPropertyDlg::OnInitDialog()
{
    m_room = m_pHost->PropertyRoom();
    m_layout = PropertyLayout(m_room.bHasVideo, m_room.bQualityHidden, m_room.bDesktopShareOffered,
                              m_room.nMediaShareKind != 0);
    FillTexts();
    Place();
    SetValues(m_room.current);
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_TITLE, Wide(m_room.szTitle).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_PASSWORD,
                      Wide(m_room.szPassword.substr(0, kMaxPasswordUnits)).c_str());
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_TITLE, EM_LIMITTEXT, 128, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_PASSWORD, EM_LIMITTEXT, 8, 0);
    m_nFrameRate = m_room.current.nFrameRate;
    Check(GetDlgItem(IDC_PROPERTY_FRAMEFIXED), m_room.current.nFrameRate != 0);
    UpdateFrameRateControls(m_room.current.nFrameRate != 0);
    ::EnableWindow(GetDlgItem(IDC_PROPERTY_FRAMEFIXED), !m_room.bDocumentRoom);
    ShowWindow(SW_SHOW);
    ::SetFocus(GetDlgItem(IDOK));
    return FALSE;
}

void CPropertyDlg::FillTexts()
{
    SetWindowText(Text("IDMS_CHANGE_ROOMPROPERTY").c_str());
    for (const auto& t : kTexts)
        ::SetDlgItemTextW(m_hWnd, t.nId, Text(t.pszKey).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_MEDIASHARE,
                      Text(m_room.nMediaShareKind == 2 ? "IDMS_AUDIOSHARE" : "IDMS_MEDIASHARE").c_str());
    HWND hMax = GetDlgItem(IDC_PROPERTY_MAXUSER);
    for (int i = 1; i <= m_room.nMaxUserChoices; ++i)
        AddChoice(hMax, std::to_wstring(i));
    for (const char* k : {"IDS_PRESENTER_KIND_NOUSE", "IDS_PRESENTER_KIND_CONFIRM",
                          "IDS_PRESENTER_KIND_NOCONFIRM", "IDS_PRESENTER_KIND_EMPTYSEAT"})
        AddChoice(GetDlgItem(IDC_PROPERTY_PRESENTER), Text(k));
    for (const char* k : {"IDS_PRESENTER_VIDEO_POS_NOUSE", "IDS_PRESENTER_VIDEO_POS_FIRST",
                          "IDS_PRESENTER_VIDEO_POS_SECOND", "IDS_PRESENTER_VIDEO_POS_THIRD"})
        AddChoice(GetDlgItem(IDC_PROPERTY_PRESENTERPOS), Text(k));
    HWND hCapture = GetDlgItem(IDC_PROPERTY_CAPTURE);
    AddChoice(hCapture, Text("IDS_SETTING_AUTOCAPSIZE"));
    for (int nCode = 2; nCode <= 6; ++nCode)
    {
        S_VIDEOSIZE v = VideoSizeOfCode(nCode);
        AddChoice(hCapture, std::to_wstring(v.cx) + L"x" + std::to_wstring(v.cy));
    }
    for (const char* k : {"IDMS_VIDEOQUALITY_LOW", "IDMS_VIDEOQUALITY_DEFAULT", "IDMS_VIDEOQUALITY_HIGH"})
        AddChoice(GetDlgItem(IDC_PROPERTY_QUALITY), Text(k));
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_FRAMEMIN, L"1");
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_FRAMEMAX,
                      std::to_wstring(std::min(m_room.nMaxFrameRate, kMaxSentFrameRate)).c_str());
    m_szFrameUnit = Text("IDS_SETTING_FRAMESTA");
}

void CPropertyDlg::Place()
{
    const S_PROPERTYLAYOUT& l = m_layout;
    for (const S_PLACE& p : kPlaces)
    {
        int y = p.y;
        if (p.nSection == 1) y += l.nTop;
        if (p.nSection == 2) y += l.nTop - l.nSectionShift;
        if (p.nSection == 3) y += l.nTop - l.nSectionShift - l.nButtonShift;
        int x = p.nId == IDC_PROPERTY_MEDIASHARE ? l.nMediaShareX : p.x;
        ::MoveWindow(GetDlgItem(p.nId), x, y, p.cx, p.cy, FALSE);
    }
    auto show = [this](int nId, bool bShow) { ::ShowWindow(GetDlgItem(nId), bShow ? SW_SHOWNA : SW_HIDE); };
    for (int nId :
         {IDC_PROPERTY_VIDEO, IDC_PROPERTY_CAPTURE_LABEL, IDC_PROPERTY_CAPTURE, IDC_PROPERTY_FRAMEFIXED,
          IDC_PROPERTY_FRAMEMIN, IDC_PROPERTY_FRAMEMAX, IDC_PROPERTY_FRAMERATE, IDC_PROPERTY_FRAMEVALUE})
        show(nId, m_room.bHasVideo);
    for (int nId : {IDC_PROPERTY_QUALITY_LABEL, IDC_PROPERTY_QUALITY})
        show(nId, m_room.bHasVideo && !m_room.bQualityHidden);
    show(IDC_PROPERTY_DESKTOPSHARE, m_room.bDesktopShareOffered);
    show(IDC_PROPERTY_MEDIASHARE, m_room.nMediaShareKind != 0);
    RECT rc{0, 0, 400, l.nHeight};
    ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
}

void CPropertyDlg::SetValues(const S_ROOMPROPERTY& v)
{
    const std::pair<int, bool> checks[] = {
        {IDC_PROPERTY_TALK, v.bTalk},
        {IDC_PROPERTY_DRAW, v.bDraw},
        {IDC_PROPERTY_CHAT, v.bChat},
        {IDC_PROPERTY_RECORD, v.bRecord},
        {IDC_PROPERTY_PRINT, v.bPrint},
        {IDC_PROPERTY_ERASEALL, v.bEraseAll},
        {IDC_PROPERTY_DESKTOPSHARE, v.bDesktopShare},
        {IDC_PROPERTY_MEDIASHARE, v.bMediaShare},
        {IDC_PROPERTY_CLOSEWITHHOST, v.bCloseWithHost},
        {IDC_PROPERTY_NOTICELOG, v.bNoticeLog},
    };
    for (const auto& [nId, b] : checks)
        Check(GetDlgItem(nId), b);
    int nMax = v.wMaxUsers > 0 ? v.wMaxUsers - 1 : 0;
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_MAXUSER, CB_SETCURSEL, static_cast<WPARAM>(nMax), 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_PRESENTER, CB_SETCURSEL, v.nPresenterMode & 3, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_PRESENTERPOS, CB_SETCURSEL,
                          static_cast<WPARAM>(PresenterVideoIndex(v.nPresenterVideo)), 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_CAPTURE, CB_SETCURSEL,
                          static_cast<WPARAM>(CaptureSizeIndex(v.nCaptureSize)), 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROPERTY_QUALITY, CB_SETCURSEL,
                          v.nVideoQuality <= 2 ? v.nVideoQuality : 1, 0);
}

void CPropertyDlg::UpdateFrameRateControls(bool bFixed)
{
    S_FRAMERATECONTROLS c =
        FrameRateControls(bFixed, m_room.bDocumentRoom, m_room.bHasSender, m_room.bHasVideo,
                          m_room.current.nFrameRate, m_room.nMaxFrameRate);
    HWND hSlider = GetDlgItem(IDC_PROPERTY_FRAMERATE);
    ::SendMessageW(hSlider, TBM_SETRANGE, TRUE, MAKELPARAM(1, c.nSliderMax));
    ::EnableWindow(hSlider, c.bSliderEnabled);
    ::ShowWindow(GetDlgItem(IDC_PROPERTY_FRAMEVALUE), c.bValueShown ? SW_SHOWNA : SW_HIDE);
    if (c.nFrameRate)
    {
        m_nFrameRate = *c.nFrameRate;
        if (c.bSliderEnabled) m_nOpeningFrameRate = m_nFrameRate;
        ::SendMessageW(hSlider, TBM_SETPOS, TRUE, static_cast<LPARAM>(m_nFrameRate));
    }
    ShowFrameRate();
}

void CPropertyDlg::ShowFrameRate()
{
    ::SetDlgItemTextW(m_hWnd, IDC_PROPERTY_FRAMEVALUE,
                      (std::to_wstring(m_nFrameRate) + L" " + m_szFrameUnit).c_str());
}

S_PROPERTYFORM CPropertyDlg::Form() const
{
    S_PROPERTYFORM f;
    S_ROOMPROPERTY& v = f.values;
    v = m_room.current;
    v.bTalk = Checked(GetDlgItem(IDC_PROPERTY_TALK));
    v.bDraw = Checked(GetDlgItem(IDC_PROPERTY_DRAW));
    v.bChat = Checked(GetDlgItem(IDC_PROPERTY_CHAT));
    v.bRecord = Checked(GetDlgItem(IDC_PROPERTY_RECORD));
    v.bPrint = Checked(GetDlgItem(IDC_PROPERTY_PRINT));
    v.bEraseAll = Checked(GetDlgItem(IDC_PROPERTY_ERASEALL));
    v.bDesktopShare = Checked(GetDlgItem(IDC_PROPERTY_DESKTOPSHARE));
    v.bMediaShare = Checked(GetDlgItem(IDC_PROPERTY_MEDIASHARE));
    v.bCloseWithHost = Checked(GetDlgItem(IDC_PROPERTY_CLOSEWITHHOST));
    v.bNoticeLog = Checked(GetDlgItem(IDC_PROPERTY_NOTICELOG));
    v.wMaxUsers = static_cast<uint16_t>(Selected(GetDlgItem(IDC_PROPERTY_MAXUSER)) + 1);
    v.nPresenterMode = static_cast<uint32_t>(std::max(0, Selected(GetDlgItem(IDC_PROPERTY_PRESENTER))));
    v.nPresenterVideo = PresenterVideoValue(Selected(GetDlgItem(IDC_PROPERTY_PRESENTERPOS)));
    v.nCaptureSize = CaptureSizeCode(Selected(GetDlgItem(IDC_PROPERTY_CAPTURE)));
    v.nVideoQuality = static_cast<uint32_t>(std::max(0, Selected(GetDlgItem(IDC_PROPERTY_QUALITY))));
    v.nFrameRate = m_nFrameRate;
    f.nOpeningFrameRate = m_nOpeningFrameRate;
    f.szTitle = U16(GetWindowTextString(GetDlgItem(IDC_PROPERTY_TITLE)).c_str());
    f.szPassword = U16(GetWindowTextString(GetDlgItem(IDC_PROPERTY_PASSWORD)).c_str());
    return f;
}

void CPropertyDlg::LoadUserChecks(const QNRoomProperty& record)
{
    S_ROOMPROPERTY v = WithRecordRights(Form().values, record);
    Check(GetDlgItem(IDC_PROPERTY_TALK), v.bTalk);
    Check(GetDlgItem(IDC_PROPERTY_DRAW), v.bDraw);
    Check(GetDlgItem(IDC_PROPERTY_DESKTOPSHARE), v.bDesktopShare);
    Check(GetDlgItem(IDC_PROPERTY_MEDIASHARE), v.bMediaShare);
}

void CPropertyDlg::OnRoomTypeChanged()
{
    m_room.bDocumentRoom = m_pHost->PropertyRoom().bDocumentRoom;
    UpdateFrameRateControls(Checked(GetDlgItem(IDC_PROPERTY_FRAMEFIXED)));
    ::EnableWindow(GetDlgItem(IDC_PROPERTY_FRAMEFIXED), !m_room.bDocumentRoom);
}

void CPropertyDlg::OnOK()
{
    S_PROPERTYOK ok = PropertyOk(m_pHost->PropertyRoom(), Form());
    switch (ok.action)
    {
    case PROPERTY_STAY:
        if (!ok.szMessageKey.empty())
        {
            std::wstring szText = Text(ok.szMessageKey.c_str());
            if (ok.badChar) szText = Wide(BadCharMessage(*ok.badChar, U16(szText)));
            ::MessageBoxW(m_hWnd, szText.c_str(), Text("IDMS_CHANGE_ROOMPROPERTY").c_str(), MB_OK);
        }
        return;
    case PROPERTY_SEND:
        m_pBar->UpdateRoomTexts(ok.szTitle, ok.szPassword);
        m_pHost->SendRoomProperty(ok.send);
        break;
    case PROPERTY_TEXTS:
        m_pBar->UpdateRoomTexts(ok.szTitle, ok.szPassword);
        break;
    case PROPERTY_CLOSE:
        break;
    }
    Close();
}

void CPropertyDlg::OnCancel()
{
    Close();
}

void CPropertyDlg::Close()
{
    DestroyWindow();
}

BOOL CPropertyDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_PROPERTY_FRAMEFIXED && HIWORD(wParam) == BN_CLICKED)
    {
        UpdateFrameRateControls(Checked(GetDlgItem(IDC_PROPERTY_FRAMEFIXED)));
        return TRUE;
    }
    if (LOWORD(wParam) == IDC_PROPERTY_CLOSE && HIWORD(wParam) == BN_CLICKED)
    {
        OnCancel();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CPropertyDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == GetDlgItem(IDC_PROPERTY_FRAMERATE))
    {
        m_nFrameRate =
            static_cast<uint32_t>(::SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
        ShowFrameRate();
        return 0;
    }
    if (msg == WM_NCDESTROY && m_pBar) m_pBar->OnPropertyDlgClosed();
    return CDialog::WindowProc(msg, wParam, lParam);
}
