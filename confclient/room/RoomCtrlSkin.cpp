// CRoomCtrlDlg's skin: the bar's pictures and bitmap controls, their placement by width, the
// background drawn around them, the tool tips, the pen colour and the volume sliders.
#include "confclient/room/RoomCtrlDlg.h"
#include "resources/ResourceIds.h"

#include <cstdlib>
#include <set>

namespace
{
// The four bitmaps of a control: normal, checked or pressed, hover, disabled (0: none).
struct S_BARBITMAPS
{
    UINT nNormal, nPressed, nHover, nDisabled;
};

constexpr S_BARBITMAPS kMenuButton{10882, 10883, 10885, 10884};
constexpr UINT kSliderTrack = 10873, kSliderThumb = 367;
constexpr UINT kNetworkPicture = 10917; // normal; bad and worst follow

constexpr int kMenuIds[5] = {IDC_ROOMCTRL_MENU_FILE, IDC_ROOMCTRL_MENU_VIEW, IDC_ROOMCTRL_MENU_DRAW,
                             IDC_ROOMCTRL_MENU_TOOL, IDC_ROOMCTRL_MENU_INVITE};
constexpr const char* kMenuCaptions[5] = {"IDMS_MAIN_FILE", "IDMS_MAIN_VIEW", "IDMS_MAIN_DRAW",
                                          "IDMS_MAIN_TOOL", "IDMS_MAIN_INVITE"};
} // namespace

bool CRoomCtrlDlg::LoadSkinImages()
{
    struct BackPicture
    {
        const wchar_t* pszFile;
        UINT nResource;
        CLMPictureEx& picture;
    };
    const BackPicture pictures[] = {{L"back_ctrldlg_L.gif", IDR_BAR_BACK_L, m_backLeft},
                                    {L"back_ctrldlg_M.gif", IDR_BAR_BACK_M, m_backMiddle},
                                    {L"back_ctrldlg_R.gif", IDR_BAR_BACK_R, m_backRight},
                                    {L"back_ctrldlg_Bar.gif", IDR_BAR_BACK_BAR, m_backBar}};
    for (const BackPicture& p : pictures)
    {
        // A file of that name in the skin folder is taken first.
        if (m_pHost && m_pHost->LoadSkinImage(p.pszFile, p.picture)) continue;
        if (!p.picture.LoadFromResource(AfxGetResourceHandle(), L"BACKIMAGE", p.nResource)) return false;
    }
    return true;
}

void CRoomCtrlDlg::InitSkinControls()
{
    std::wstring szFace = Text("IDS_DEFAULT_FONT");
    int nFontSize = _wtoi(Text("IDS_DEFAULT_FONTSIZE").c_str());
    if (szFace.empty()) szFace = L"Tahoma";
    if (nFontSize <= 0) nFontSize = 13;

    for (int i = 0; i < 5; ++i)
    {
        CLMBitmapButton& b = m_menuButtons[i];
        b.SubclassDlgItem(kMenuIds[i], this);
        b.LoadBitmaps(kMenuButton.nNormal, kMenuButton.nPressed, kMenuButton.nHover, kMenuButton.nDisabled);
        b.SetTextFont(nFontSize, szFace.c_str());
        b.SetText(Text(kMenuCaptions[i]).c_str());
    }

    struct Check
    {
        CBitmapCheckButton& button;
        int nId;
        S_BARBITMAPS bitmaps;
        bool bAutoToggle;
    };
    // The room's answer checks the view modes, the record and presenter state; talk and mute
    // toggle on the click.
    const Check checks[] = {
        {m_camera, IDC_ROOMCTRL_CAMERA, {201, 202, 203, 204}, true},
        {m_mute, IDC_ROOMCTRL_MUTE, {209, 210, 211, 212}, true},
        {m_talk, IDC_ROOMCTRL_TALK, {217, 218, 219, 220}, true},
        {m_video, IDC_ROOMCTRL_VIEW_VIDEO, {143, 147, 10033, 143}, false},
        {m_board, IDC_ROOMCTRL_VIEW_BOARD, {146, 144, 10031, 146}, false},
        {m_mediaShare, IDC_ROOMCTRL_VIEW_MEDIASHARE, {10239, 10240, 10242, 10239}, false},
        {m_question, IDC_ROOMCTRL_VIEW_QUESTION, {139, 142, 149, 150}, false},
        {m_shareView, IDC_ROOMCTRL_SHAREVIEW, {10277, 10278, 10279, 10570}, true},
        {m_web, IDC_ROOMCTRL_WEB, {176, 171, 10023, 184}, false},
        {m_record, IDC_ROOMCTRL_RECORD, {10308, 10309, 10311, 10310}, false},
        {m_presenter, IDC_ROOMCTRL_PRESENTER, {10283, 10284, 10285, 10286}, false},
    };
    for (const Check& c : checks)
    {
        c.button.SubclassDlgItem(c.nId, this);
        c.button.LoadBitmaps(c.bitmaps.nNormal, c.bitmaps.nPressed, c.bitmaps.nHover, c.bitmaps.nDisabled);
        c.button.m_bAutoToggle = c.bAutoToggle;
        c.button.SetHandCursor(TRUE);
    }
    // Media kinds 1 and 2 share audio only.
    uint8_t nKind = m_pHost ? m_pHost->MenuConditions().nMediaShareKind : 0;
    if (nKind == 1 || nKind == 2) m_mediaShare.LoadBitmaps(11341, 11342, 11344, 11341);

    struct Push
    {
        CLMBitmapButton& button;
        int nId;
        S_BARBITMAPS bitmaps;
    };
    const Push pushes[] = {
        {m_shareName, IDC_ROOMCTRL_SHARENAME, {10277, 10278, 10279, 10570}},
        {m_layout, IDC_ROOMCTRL_LAYOUT, {10795, 10796, 10798, 10797}},
        {m_restore, IDC_ROOMCTRL_RESTORE, {10891, 10892, 10893, 0}},
        {m_maximize, IDC_ROOMCTRL_MAXIMIZE, {10894, 10895, 10896, 0}},
        {m_close, IDC_ROOMCTRL_LEAVE, {IDB_CLOSE_N, IDB_CLOSE_P, IDB_CLOSE_F, 0}},
        {m_minimize, IDC_ROOMCTRL_MINIMIZE, {370, 371, 10028, 0}},
        {m_presentation, IDC_ROOMCTRL_FULLSCREEN, {10899, 10900, 10902, 10901}},
        {m_networkButton,
         IDC_ROOMCTRL_NETWORK,
         {kNetworkPicture, kNetworkPicture, kNetworkPicture, kNetworkPicture}},
    };
    for (const Push& p : pushes)
    {
        p.button.SubclassDlgItem(p.nId, this);
        p.button.LoadBitmaps(p.bitmaps.nNormal, p.bitmaps.nPressed, p.bitmaps.nHover, p.bitmaps.nDisabled);
    }
    m_layout.SetTextFontWeight(nFontSize, szFace.c_str(), 600);
    m_layout.SetTextColor(0x00907347);
    m_layout.SetTextMargins(1, 1, 16, 1, FALSE);
    m_layout.SetText(Text("IDMS_MENU_MAIN_LAYOUT").c_str());

    m_webDraw.SubclassDlgItem(IDC_ROOMCTRL_WEBDRAW, this);
    m_webDraw.LoadBitmapsAndSize(179, 180, 10022, 181);
    m_docOpen.SubclassDlgItem(IDC_ROOMCTRL_DOCOPEN, this);
    m_docOpen.LoadBitmapsAndSize(10815, 10816, 10818, 10817);

    for (CBitmapSlider* pSlider : {&m_speaker, &m_mic})
    {
        pSlider->SubclassDlgItem(pSlider == &m_speaker ? IDC_ROOMCTRL_SPEAKER : IDC_ROOMCTRL_MIC, this);
        pSlider->LoadChannelBitmaps(kSliderTrack, TRUE, 0, TRUE);
        pSlider->LoadThumbBitmaps(kSliderThumb, 0, TRUE);
        pSlider->SetRange(0, 100);
    }

    // The conference time: the default face, bold, black.
    LOGFONTW lf{};
    lf.lfHeight = -nFontSize;
    lf.lfWeight = 600;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, szFace.c_str(), LF_FACESIZE - 1);
    m_hTimeFont = ::CreateFontIndirectW(&lf);
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_TIME), WM_SETFONT, reinterpret_cast<WPARAM>(m_hTimeFont), FALSE);

    m_hMenuRowBrush = ::CreateSolidBrush(kMenuRowColour);

    // One tool tip for the bar's controls.
    m_toolTip.Create(this);
    struct Tip
    {
        CWnd* pControl;
        const char* pszKey;
    };
    const Tip tips[] = {{&m_camera, "IDCT_CHECK_CAMON"},
                        {&m_mute, "IDCT_CHECK_MUTEON"},
                        {&m_talk, "IDCT_CHECK_TALKON"},
                        {&m_speaker, "IDS_BAR_SPEAKER_VOLUME"},
                        {&m_mic, "IDS_BAR_MIC_VOLUME"},
                        {&m_video, "IDMS_VIEWMODE_VIDEO"},
                        {&m_board, "IDMS_VIEWMODE_BOARD"},
                        {&m_mediaShare, nKind == 3 ? "IDMS_VIEWMODE_MEDIASHARE" : "IDMS_VIEWMODE_AUDIOSHARE"},
                        {&m_question, "IDMS_VIEWMODE_QUESTION"},
                        {&m_shareName, "IDMS_SHARE_NAME"},
                        {&m_shareView, "IDCT_SHARE_VIEWER_DIVIDE"},
                        {&m_web, "IDMS_BOARD_WEB"},
                        {&m_webDraw, "IDMS_BOARD_WEBDRAW"},
                        {&m_docOpen, "IDMS_BOARD_DOCOPEN"},
                        {&m_record, "IDMS_RECORD_MENU"},
                        {&m_presenter, "IDMS_REQSPEAKER"},
                        {&m_restore, "IDCT_BTN_RESTORE"},
                        {&m_maximize, "IDCT_BTN_MAXIMIZE"},
                        {&m_close, "IDCT_BTN_ROOMCLOSE"},
                        {&m_minimize, "IDCT_BTN_MINIMIZE"},
                        {&m_presentation, "IDCT_BTN_PRESENTATION"},
                        {&m_networkButton, "IDS_SOCK_NETWORKSTATE_NORMAL"}};
    for (const Tip& t : tips)
        m_toolTip.AddTool(t.pControl, Text(t.pszKey).c_str());
    ::SendMessageW(m_toolTip.m_hWnd, TTM_ACTIVATE, TRUE, 0);
    ::SetWindowTextW(m_networkButton.m_hWnd, Text("IDS_SOCK_NETWORKSTATE_NORMAL").c_str());

    // The camera waits for the local video window; the share name and view for a share.
    m_camera.EnableButton(FALSE);
    m_shareName.EnableWindow(FALSE);
    m_shareView.EnableButton(FALSE);
    // The presenter request waits for the room to allow it.
    m_presenter.EnableButton(FALSE);
    m_bSkinned = true;
}

S_BARLAYOUTINPUT CRoomCtrlDlg::PlacementInput(int cx) const
{
    S_BARLAYOUTINPUT in;
    in.nWidth = cx;
    if (m_pHost)
    {
        S_MENUCONDITIONS c = m_pHost->MenuConditions();
        in.bPlayback = c.bPlayback;
        in.bNoVideoControls = c.bNoVideoControls;
        in.nMediaShareKind = c.nMediaShareKind;
        in.bQuestionnaire = c.bQuestionnaire;
        in.bShareView = c.bShareView;
        in.bInviteShown = !c.szInviteAddress.empty() && !InviteMenu(c).empty();
        in.bBoardRight = c.bControlRight || c.bDrawRight;
        in.bWebShown = BoardShowsWeb();
        // Every resource library carries the English texts for now: the taller time text.
        in.bLargeTextLanguage = true;
    }
    // The session keeps no presenter bits of the room yet: the request button is always there.
    in.bPresenterBits = true;
    // Each control keeps its picture's size; the menu buttons their caption's.
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        RECT rc;
        ::GetWindowRect(hChild, &rc);
        in.sizes[::GetDlgCtrlID(hChild)] = {0, 0, rc.right - rc.left, rc.bottom - rc.top};
    }
    return in;
}

void CRoomCtrlDlg::PlaceControls(int cx)
{
    if (!m_bSkinned) return;
    std::map<int, S_BARPLACE> places = PlaceBar(PlacementInput(cx));
    // The room's state hides some of the placed items: maximise and restore share one place.
    std::set<int> hidden;
    for (const S_BARITEM& item : BarItems(m_barState))
        if (!item.bShown) hidden.insert(item.nId);
    // One deferred batch: every control moves and shows or hides at once.
    HDWP hDwp = ::BeginDeferWindowPos(static_cast<int>(places.size()) + 2);
    for (const auto& [nId, place] : places)
    {
        HWND hControl = GetDlgItem(nId);
        if (!hControl || !hDwp || nId == IDC_ROOMCTRL_TIME) continue;
        UINT nShow = place.bShown && !hidden.count(nId) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        // A control the placement leaves out keeps its size (its picture's) for the next time.
        if (!place.bShown) nShow |= SWP_NOSIZE | SWP_NOMOVE;
        int nHeight = nId == IDC_ROOMCTRL_WEBADDRESS ? 200 : place.rc.cy;
        hDwp = ::DeferWindowPos(hDwp, hControl, nullptr, place.rc.x, place.rc.y, place.rc.cx, nHeight,
                                SWP_NOZORDER | SWP_NOACTIVATE | nShow);
    }
    // The status line shares the conference time's span on the menu row, at its right end.
    const S_BARRECT& time = places[BARCTL_RECTIME].rc;
    int nStatus = time.cx / 2;
    if (hDwp)
        hDwp = ::DeferWindowPos(hDwp, GetDlgItem(IDC_ROOMCTRL_TIME), nullptr, time.x, time.y,
                                time.cx - nStatus, time.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (hDwp)
        hDwp = ::DeferWindowPos(hDwp, GetDlgItem(IDC_ROOMCTRL_STATUS), nullptr, time.Right() - nStatus,
                                time.y, nStatus, time.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (hDwp) ::EndDeferWindowPos(hDwp);
    // The web button is down while its page is shown.
    m_web.SetCheck(BoardShowsWeb() ? BST_CHECKED : BST_UNCHECKED);
    // The controls painted themselves as they moved: only the background is redrawn.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CRoomCtrlDlg::EraseBackground(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    int nSaved = ::SaveDC(hDC);
    // The controls draw themselves: keep the background off them.
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        int nId = ::GetDlgCtrlID(hChild);
        if (!::IsWindowVisible(hChild) || nId == IDC_ROOMCTRL_TIME || nId == IDC_ROOMCTRL_STATUS ||
            nId == IDC_ROOMCTRL_SPEAKER || nId == IDC_ROOMCTRL_MIC)
            continue;
        RECT rcChild;
        ::GetWindowRect(hChild, &rcChild);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcChild), 2);
        ::ExcludeClipRect(hDC, rcChild.left, rcChild.top, rcChild.right, rcChild.bottom);
    }
    int cy = rc.bottom;
    m_backMiddle.Render(hDC, 0, 0, rc.right, cy, 0);
    m_backLeft.Render(hDC, 0, 0, m_backLeft.m_nWidth, cy, 0);
    m_backRight.Render(hDC, rc.right - m_backRight.m_nWidth, 0, m_backRight.m_nWidth, cy, 0);
    // Separators: after the window buttons' group start, after the camera and after the speaker.
    auto rectOf = [this](int nId)
    {
        RECT r{};
        HWND h = GetDlgItem(nId);
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT rcPresent = rectOf(IDC_ROOMCTRL_FULLSCREEN);
    RECT rcCamera = rectOf(IDC_ROOMCTRL_CAMERA);
    RECT rcSpeaker = rectOf(IDC_ROOMCTRL_SPEAKER);
    m_backBar.Render(hDC, rcPresent.right, rcPresent.top + 2, 8, rcPresent.bottom - rcPresent.top - 4, 0);
    int nBarHeight = rcCamera.bottom - rcCamera.top - 1;
    m_backBar.Render(hDC, rcCamera.right + 1, rcCamera.top + 1, 8, nBarHeight, 0);
    m_backBar.Render(hDC, rcSpeaker.right + 3, rcCamera.top + 1, 8, nBarHeight, 0);
    ::RestoreDC(hDC, nSaved);
}

void CRoomCtrlDlg::ShowNetworkState(const S_NETWORKDISPLAY& shown)
{
    std::wstring szText = Text(shown.pszKey);
    ::SetWindowTextW(m_networkButton.m_hWnd, szText.c_str());
    if (!m_bSkinned) return;
    UINT nPicture = static_cast<UINT>(shown.nBitmap);
    m_networkButton.LoadBitmaps(nPicture, nPicture, nPicture, nPicture);
    m_toolTip.UpdateTipText(szText.c_str(), &m_networkButton);
}

void CRoomCtrlDlg::OnPenColour(COLORREF crColour)
{
    crColour &= 0x00FFFFFF;
    (m_boardTools.Tool() == CBoardTools::kHighlighter ? m_crHighlighter : m_crPen) = crColour;
    if (!m_pHost) return;
    S_BOARDACTIONS actions;
    actions.dwLineColour = crColour;
    m_pHost->ApplyBoardActions(actions);
}

void CRoomCtrlDlg::OpenColourPopup()
{
    if (m_pColourPopup && m_pColourPopup->m_hWnd) m_pColourPopup->DestroyWindow();
    std::vector<COLORREF> colours;
    for (uint16_t i = 0; i < kPenPaletteSize; ++i)
        colours.push_back(PenColourOfUser(i));
    POINT pt;
    ::GetCursorPos(&pt);
    COLORREF crCurrent = m_boardTools.Tool() == CBoardTools::kHighlighter ? m_crHighlighter : m_crPen;
    m_pColourPopup = std::make_unique<CColourPopup>();
    m_pColourPopup->Create(pt, crCurrent, PenColourOfUser(static_cast<uint16_t>(m_nPenIndex)), colours, this,
                           MENU_ID_PEN_COLOUR, Text("IDMS_BOARD_COLOR_DEFAULT"),
                           Text("IDMS_BOARD_COLOR_DIFF"));
}

void CRoomCtrlDlg::OnSliderMoving(int nId, int nPos)
{
    if (m_pVoiceActions) m_pVoiceActions->OnVolumeMoved(nId == IDC_ROOMCTRL_SPEAKER, nPos);
}

void CRoomCtrlDlg::OnSliderMoved(int nId, int nPos)
{
    CWnd* pSlider = nId == IDC_ROOMCTRL_SPEAKER ? static_cast<CWnd*>(&m_speaker) : &m_mic;
    m_toolTip.UpdateTipText(std::to_wstring(nPos).c_str(), pSlider);
}

void CRoomCtrlDlg::SetVoiceButtonBitmaps(int nId, const UINT (&bitmaps)[4])
{
    CBitmapCheckButton& button = nId == IDC_ROOMCTRL_TALK ? m_talk : m_mute;
    if (!button.m_hWnd) return;
    // The bitmaps tell the state; the checked one shows only while the button is held down.
    button.SetPushMode(TRUE);
    button.LoadBitmaps(bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[3]);
}

void CRoomCtrlDlg::SetVoiceButtonTip(int nId, const char* pszKey)
{
    CBitmapCheckButton& button = nId == IDC_ROOMCTRL_TALK ? m_talk : m_mute;
    if (button.m_hWnd && m_toolTip.m_hWnd) m_toolTip.UpdateTipText(Text(pszKey).c_str(), &button);
}

void CRoomCtrlDlg::SetSpeakerSlider(int nPos)
{
    m_speaker.SetPos(nPos);
}

void CRoomCtrlDlg::SetMicSlider(int nPos)
{
    m_mic.SetPos(nPos);
}

void CRoomCtrlDlg::EnableMicSlider(bool bEnable)
{
    m_mic.EnableSlider(bEnable);
}
