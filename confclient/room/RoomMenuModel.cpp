// The room's menus as data: each menu's items from the conditions, the layout table and its
// two-column order, room types and their user limits, the pen palette, media-share value maps.
#include "confclient/room/RoomMenuModel.h"

#include <algorithm>
#include <array>
#include <utility>

namespace
{
S_MENUITEM Cmd(int nId, const char* pszKey, int nBitmap = 0, bool bEnabled = true)
{
    S_MENUITEM m;
    m.nId = nId;
    m.szKey = pszKey;
    m.nBitmap = nBitmap;
    m.bEnabled = bEnabled;
    return m;
}

S_MENUITEM Plain(int nId, const char* pszFormat, const char* pszKey = "", int nBitmap = 0)
{
    S_MENUITEM m = Cmd(nId, pszKey, nBitmap);
    m.szFormat = pszFormat;
    return m;
}

S_MENUITEM Separator()
{
    S_MENUITEM m;
    m.kind = MENU_SEPARATOR;
    return m;
}

S_MENUITEM Popup(const char* pszKey, std::vector<S_MENUITEM> items)
{
    S_MENUITEM m;
    m.kind = MENU_POPUP;
    m.szKey = pszKey;
    m.sub = std::move(items);
    return m;
}

const char* MediaShareTitle(uint8_t nKind)
{
    return nKind == 3 ? "IDMS_VIEWMODE_MEDIASHARE" : nKind == 2 ? "IDMS_VIEWMODE_AUDIOSHARE" : "";
}

std::vector<S_MENUITEM> MediaShareSettings(const S_MENUCONDITIONS& c)
{
    std::vector<S_MENUITEM> out;
    // Only a room that shares video and sound offers the sender's settings.
    if (c.nMediaShareKind != 3 || c.bPlayback) return out;
    bool bMay = c.bMediaShareRight;
    std::vector<S_MENUITEM> rates;
    std::vector<int> values = BitrateItems(c.bitrates, c.nBitrate);
    for (size_t i = 0; i < values.size(); ++i)
    {
        S_MENUITEM m = Plain(32951 + static_cast<int>(i), "");
        m.szFormat = std::to_string(values[i]) + " Kbps";
        m.bEnabled = bMay;
        m.bChecked = values[i] == c.nBitrate;
        rates.push_back(m);
    }
    out.push_back(Popup("IDMS_MEDIASHARE_BITRATE", std::move(rates)));

    auto allows = [](const std::vector<uint16_t>& list, uint16_t v)
    { return std::find(list.begin(), list.end(), v) != list.end(); };
    std::vector<S_MENUITEM> fps;
    for (uint16_t v : {uint16_t(5), uint16_t(15), uint16_t(30)})
        if (allows(c.frameRates, v))
            fps.push_back(Plain(FrameRateCommand(v), (std::to_string(v) + " fps").c_str()));
    if (allows(c.frameRates, 0)) fps.push_back(Cmd(32995, "IDMS_MEDIASHARE_NOLIMIT"));
    for (S_MENUITEM& m : fps)
        m.bEnabled = bMay;
    out.push_back(Popup("IDMS_MEDIASHARE_MAXIMUM_FPS", std::move(fps)));

    std::vector<S_MENUITEM> sizes;
    if (allows(c.sendSizes, 480)) sizes.push_back(Plain(33000, "SD(720x480)"));
    if (allows(c.sendSizes, 720)) sizes.push_back(Plain(33001, "HD(1280x720)"));
    if (allows(c.sendSizes, 0)) sizes.push_back(Cmd(32999, "IDMS_MEDIASHARE_NOLIMIT"));
    for (S_MENUITEM& m : sizes)
        m.bEnabled = bMay;
    out.push_back(Popup("IDMS_MEDIASHARE_MAXIMUM_SENDSIZE", std::move(sizes)));
    return out;
}

template <class Items> auto Find(Items& menu, int nId) -> decltype(&menu[0])
{
    for (auto& m : menu)
    {
        if (m.kind == MENU_COMMAND && m.nId == nId) return &m;
        if (m.kind == MENU_POPUP)
            if (auto* p = Find(m.sub, nId)) return p;
    }
    return nullptr;
}
} // namespace

std::vector<S_MENUITEM> FileMenu(const S_MENUCONDITIONS& c)
{
    std::vector<S_MENUITEM> m;
    bool bLive = !c.bPlayback;
    m.push_back(Cmd(MENU_ID_FILE_OPEN, "IDMS_MENU_FILE_OPEN", 10947,
                    bLive && c.nGrade != 4 && (c.bDrawRight || c.bControlRight)));
    bool bBoardFiles = c.bControlRight || c.bBoardFileFlag;
    m.push_back(Cmd(MENU_ID_FILE_SAVE, "IDMS_MENU_FILE_SAVE", 10949, bBoardFiles));
    m.push_back(Cmd(MENU_ID_FILE_PRINT, "IDMS_MENU_FILE_PRINT", 10948, bBoardFiles));
    if (bLive)
    {
        m.push_back(Separator());
        m.push_back(Cmd(MENU_ID_MEMO, "IDMS_MENU_MEMO", 10950));
        if (c.bFilePush) m.push_back(Cmd(MENU_ID_PUSH, "IDMS_MENU_PUSH", 0, c.bControlRight || c.bDrawRight));
        m.push_back(Cmd(MENU_ID_RECORD, "IDMS_RECORD_MENU", 10952));
        if (c.nServerRecordKinds != 0)
            m.push_back(Cmd(MENU_ID_SERVERRECORD, "IDMS_MENU_SERVERRECORD", 10952, c.bControlRight));
    }
    m.push_back(Separator());
    m.push_back(Cmd(MENU_ID_ROOMCLOSE, "IDCT_BTN_ROOMCLOSE"));
    return m;
}

std::vector<S_MENUITEM> ViewMenu(const S_MENUCONDITIONS& c)
{
    bool bLive = !c.bPlayback;
    std::vector<S_MENUITEM> m;
    m.push_back(Cmd(MENU_ID_PREVIEW, "IDMS_PREVIEW", 10951, bLive && c.bControlRight));
    if (c.bShareView && bLive) m.push_back(Cmd(1321, "IDMS_SHARE_FLOATING", 10987));
    m.push_back(Cmd(1426, "IDMS_TOOL_LEFT"));
    if (!c.bNoVideoControls) m.push_back(Cmd(32971, "IDMS_VIDEO_FLOATING"));
    if (bLive && !c.bNoVideoControls) m.push_back(Cmd(1389, "IDMS_BOARDVIDEO_FLOATING"));
    if (bLive) m.push_back(Cmd(1007, "IDMS_AGENDA_FLOATING"));
    if (bLive && c.bEBook) m.push_back(Cmd(1008, "IDMS_EBOOK_FLOATING"));
    if (bLive) m.push_back(Cmd(32967, "IDMS_USERLIST_FLOATING"));
    if (bLive) m.push_back(Cmd(32966, "IDMS_TXT_FLOATING"));
    m.push_back(Cmd(32965, "IDMS_INIT_CONFSIZE"));
    m.push_back(Separator());
    std::vector<S_MENUITEM> modes;
    modes.push_back(Cmd(1137, "IDMS_VIEWMODE_VIDEO", 10989, bLive));
    modes.push_back(Cmd(1138, "IDMS_VIEWMODE_BOARD", 10988));
    if (c.nMediaShareKind == 3) modes.push_back(Cmd(1136, "IDMS_VIEWMODE_MEDIASHARE", 10990));
    if (c.nMediaShareKind == 2) modes.push_back(Cmd(1136, "IDMS_VIEWMODE_AUDIOSHARE", 11353));
    if (c.bQuestionnaire) modes.push_back(Cmd(1144, "IDMS_VIEWMODE_QUESTION", 10995));
    m.push_back(Popup("IDMS_VIEWMODE", std::move(modes)));
    m.push_back(Cmd(1414, "IDCT_BTN_PRESENTATION", 10991, bLive));
    m.push_back(Cmd(MENU_ID_LAYOUT, "IDMS_MENU_MAIN_LAYOUT", 10954, bLive && c.nOfferedLayouts > 1));
    m.push_back(Separator());
    m.push_back(Cmd(1039, "IDMS_BACKWARD", 11028, bLive));
    m.push_back(Cmd(1038, "IDMS_FORWARD", 11029, bLive));
    return m;
}

std::vector<S_MENUITEM> DrawMenu()
{
    std::vector<S_MENUITEM> widths;
    const int widthValues[] = {1, 3, 5, 10, 20, 30};
    for (int i = 0; i < 6; ++i)
    {
        S_MENUITEM w = Plain(32933 + i, "", "IDMS_BOARD_PIXEL", 10910 + i);
        w.szFormat = std::to_string(widthValues[i]) + " %s";
        w.bChecked = w.nId == 32935;
        widths.push_back(w);
    }
    std::vector<S_MENUITEM> figures = {
        Cmd(32989, "IDMS_BOARD_RECTANGLE", 11400),   Cmd(32990, "IDMS_BOARD_CIRCLE", 11398),
        Cmd(32991, "IDMS_BOARD_TRIANGLE", 11402),    Cmd(32992, "IDMS_BOARD_FILL_RECTANGLE", 11401),
        Cmd(32993, "IDMS_BOARD_FILL_CIRCLE", 11399), Cmd(32994, "IDMS_BOARD_FILL_TRIANGLE", 11403),
    };
    std::vector<S_MENUITEM> zoom;
    const char* percents[] = {"25%", "50%", "75%", "100%", "125%", "150%", "200%", "300%"};
    for (int i = 0; i < 8; ++i)
        zoom.push_back(Plain(32941 + i, percents[i]));
    zoom.push_back(Cmd(32949, "IDMS_BOARD_ZOOM_WIDTH"));
    zoom.back().bChecked = true;
    zoom.push_back(Cmd(32950, "IDMS_BOARD_ZOOM_PAGE"));
    zoom.push_back(Cmd(32987, "IDMS_BOARD_ZOOM_USERSET"));

    std::vector<S_MENUITEM> m;
    m.push_back(Cmd(32964, "IDMS_MENU_DRAW_SCROLL", 10957));
    m.push_back(
        Popup("IDMS_BOARD_DRAW",
              {Cmd(32928, "IDMS_BOARD_DRAW", 10904), Cmd(32930, "IDMS_BOARD_FLUORESCENCE", 10906),
               Cmd(32929, "IDMS_BOARD_LINE", 10908), Cmd(33005, "IDMS_BOARD_HORIZ", 11526), Separator(),
               Cmd(32932, "IDMS_BOARD_PEN_COLOR", 10959), Popup("IDMS_BOARD_PEN_WIDTH", std::move(widths)),
               Popup("IDMS_BOARD_FIGURE", std::move(figures))}));
    m.push_back(Popup("IDMS_BOARD_CHECK",
                      {Cmd(32939, "IDMS_BOARD_CHECK", 10903), Cmd(32940, "IDMS_BOARD_POINT", 10909)}));
    m.push_back(Popup("IDMS_BOARD_FONT",
                      {Cmd(1394, "IDMS_BOARD_FONT", 10907), Cmd(1399, "IDMS_BOARD_SETFONT", 10955)}));
    m.push_back(Popup("IDMS_BOARD_ERASER", {Cmd(1395, "IDMS_BOARD_ERASER", 10905),
                                            Cmd(MENU_ID_ERASE_ALL, "IDMS_BOARD_ALL_ERASER", 10916)}));
    m.push_back(Popup("IDMS_MENU_DRAW_ZOOM", std::move(zoom)));
    return m;
}

std::vector<S_MENUITEM> ToolMenu(const S_MENUCONDITIONS& c, int nLectureState)
{
    bool bLive = !c.bPlayback;
    std::vector<S_MENUITEM> m;
    bool bLecture = c.bRvEdition && c.nGrade == 2;
    if (bLecture)
    {
        S_MENUITEM start = Cmd(MENU_ID_LECTURE_START, "IDMS_QN_LECTURE_START");
        S_MENUITEM end = Cmd(MENU_ID_LECTURE_END, "IDMS_QN_LECTURE_END");
        start.bChecked = nLectureState != 0;
        end.bChecked = nLectureState != 0 && nLectureState != 1;
        start.bEnabled = bLive && c.bControlRight && nLectureState == 0;
        end.bEnabled = bLive && c.bControlRight && nLectureState == 1;
        m.push_back(start);
        m.push_back(end);
    }
    bool bStudents = c.bStudentManagement && !c.szStudentAddress.empty() && c.nGrade == 2;
    if (bStudents)
    {
        if (!bLecture) m.push_back(Separator());
        m.push_back(Cmd(MENU_ID_STUDENTS, "IDMS_RV_STUDENT_MANAGEMENT"));
    }
    if (bLecture || bStudents) m.push_back(Separator());
    // The settings dialog is not in this build: its item stays grey.
    m.push_back(Cmd(MENU_ID_SETTINGS, "IDMS_MENU_MANAGE_SETTING", 10953, false));
    if (!c.bNoVideoControls) m.push_back(Cmd(MENU_ID_VIDEO_SOURCE, "IDMS_VIDEO_SOURCE", 0, bLive));
    if (!c.bNoConfInfo) m.push_back(Cmd(MENU_ID_CONF_INFO, "IDS_CONF_INFO", 0, bLive));
    m.push_back(Cmd(MENU_ID_PROPERTY, "IDMS_CHANGE_ROOMPROPERTY", 0, bLive && c.bControlRight));
    if (c.nMediaShareKind != 0)
    {
        m.push_back(Separator());
        bool bMay = c.bMediaShareRight;
        // No file is shared when the menu is built: only open and mute are offered.
        std::vector<S_MENUITEM> share = {Cmd(20013, "IDMS_MEDIASHARE_OPEN", 10997, bMay),
                                         Separator(),
                                         Cmd(20014, "IDMS_MEDIASHARE_PLAY", 10998, false),
                                         Cmd(20015, "IDMS_MEDIASHARE_PAUSE", 10999, false),
                                         Cmd(20016, "IDMS_MEDIASHARE_STOP", 11000, false),
                                         Cmd(20019, "IDMS_MEDIASHARE_MUTE", 11003, bMay),
                                         Separator(),
                                         Cmd(20017, "IDMS_MEDIASHARE_MOVEPRE", 11001, false),
                                         Cmd(20018, "IDMS_MEDIASHARE_MVOENEXT", 11002, false),
                                         Separator()};
        for (S_MENUITEM& s : MediaShareSettings(c))
            share.push_back(std::move(s));
        if (share.back().kind == MENU_SEPARATOR) share.pop_back();
        m.push_back(Popup(MediaShareTitle(c.nMediaShareKind), std::move(share)));
    }
    if (c.bShareView && bLive) m.push_back(Cmd(MENU_ID_SHARE_NAME, "IDMS_SHARE_NAME", 10987, false));
    m.push_back(Separator());
    bool bBoardRight = c.bControlRight || c.bDrawRight;
    m.push_back(Cmd(MENU_ID_BOARD_WEB, "IDMS_BOARD_WEB", 10986, bLive));
    m.push_back(Cmd(MENU_ID_BOARD_WEBDRAW, "IDMS_BOARD_WEBDRAW", 10985, bLive && bBoardRight));
    m.push_back(Cmd(MENU_ID_CAPTURE, "IDMS_BOARD_CAPTURE", 10958, bLive));
    return m;
}

std::vector<S_MENUITEM> ForEveryoneMenu(const S_MENUCONDITIONS& c)
{
    if (!c.bControlRight || c.bPlayback) return {};
    return {Cmd(MENU_ID_FOR_EVERYONE, "IDMS_SINKMENU_SINK"), Cmd(MENU_ID_FOR_ME, "IDMS_SINKMENU_PERSONAL")};
}

std::vector<S_MENUITEM> InviteMenu(const S_MENUCONDITIONS& c)
{
    std::vector<S_MENUITEM> m;
    if (!c.szInviteAddress.empty() && c.bInviteAllowed)
        m.push_back(Cmd(MENU_ID_INVITE, "IDMS_INVITE", 11291));
    if (c.bPhoneCalls || c.bTerminalCalls)
    {
        const char* pszKey = c.bPhoneCalls && c.bTerminalCalls ? "IDMS_CALLTOPHONE"
                             : c.bPhoneCalls                   ? "IDMS_CALLTO_PHONE"
                                                               : "IDMS_CALLTO_HW";
        m.push_back(Cmd(MENU_ID_CALL, pszKey, 11491));
    }
    return m;
}

const S_MENUITEM* FindMenuItem(const std::vector<S_MENUITEM>& menu, int nId)
{
    return Find(menu, nId);
}

S_MENUITEM* FindMenuItem(std::vector<S_MENUITEM>& menu, int nId)
{
    return Find(menu, nId);
}

bool ShowInviteButton(const S_MENUCONDITIONS& c)
{
    return !c.szInviteAddress.empty() && !InviteMenu(c).empty();
}

const std::vector<S_CONFMENU>& LayoutTable()
{
    static const std::vector<S_CONFMENU> table = {
        {13, 32836, 10589, 10590}, {10, 32834, 10587, 10588}, {11, 32844, 11174, 11173},
        {2, 32827, 10360, 10361},  {30, 32857, 10487, 10489}, {31, 32858, 10490, 10492},
        {14, 32837, 10973, 10974}, {4, 32829, 10362, 10363},  {15, 32838, 10975, 10976},
        {16, 32839, 10977, 10978}, {6, 32831, 10364, 10365},  {28, 32855, 11347, 11348},
        {29, 32856, 11349, 11350}, {17, 32840, 10979, 10980}, {18, 32841, 10981, 10982},
        {32, 33011, 11542, 11543}, {19, 32842, 10983, 10984}, {7, 32832, 10366, 10367},
        {33, 33012, 11545, 11546}, {34, 33013, 11548, 11549}, {1, 32826, 10370, 10371},
        {8, 32833, 10368, 10369},  {50, 32843, 10732, 10733}, {22, 32847, 11284, 11283},
        {20, 32845, 11280, 11281}, {21, 32846, 11282, 11279}, {23, 32848, 11286, 11285},
    };
    return table;
}

std::vector<S_CONFMENU> OfferedLayouts(const std::function<bool(uint16_t)>& hasRoomOption)
{
    std::vector<S_CONFMENU> out;
    for (const S_CONFMENU& m : LayoutTable())
        if (hasRoomOption(m.wLayout)) out.push_back(m);
    return out;
}

std::vector<S_LAYOUTITEM> LayoutMenuOrder(const std::vector<S_CONFMENU>& offered)
{
    std::vector<S_LAYOUTITEM> out;
    size_t n = offered.size();
    // The first column holds k - 1 = ceil(n / 2) items; the item appended as number k breaks.
    size_t nFirst = (n + 1) / 2;
    for (size_t i = 0; i < n; i += 2)
        out.push_back({offered[i], false});
    for (size_t i = 1; i < n; i += 2)
        out.push_back({offered[i], i == 1 && nFirst > 0});
    return out;
}

std::string LayoutHintKey(int nCommand)
{
    for (const S_CONFMENU& m : LayoutTable())
        if (m.nCommand == nCommand) return "IDS_LAYOUT_HINT_" + std::to_string(m.wLayout);
    return {};
}

std::optional<uint16_t> RoomTypeOfCommand(int nCommand)
{
    static const std::pair<int, uint16_t> table[] = {
        {32826, 1},  {32827, 2},  {32828, 0},  {32829, 4},  {32830, 0},  {32831, 6},
        {32832, 7},  {32833, 8},  {32834, 10}, {32835, 0},  {32836, 13}, {32837, 14},
        {32838, 15}, {32839, 16}, {32840, 17}, {32841, 18}, {32842, 19}, {32843, 50},
        {32844, 11}, {32845, 20}, {32846, 21}, {32847, 22}, {32848, 23}, {32849, 12},
        {32850, 24}, {32851, 3},  {32852, 25}, {32853, 26}, {32854, 27}, {32855, 28},
        {32856, 29}, {32857, 30}, {32858, 31}, {33011, 32}, {33012, 33}, {33013, 34},
    };
    for (const auto& [nCmd, wType] : table)
        if (nCmd == nCommand) return wType;
    return std::nullopt;
}

uint16_t RoomTypeUserLimit(uint16_t wType, const std::vector<S_ROOMOPTION>& options)
{
    for (const S_ROOMOPTION& o : options)
        if (o.wLayout == wType) return o.wUserLimit;
    switch (wType)
    {
    case 3:
    case 14:
    case 15:
    case 16:
    case 24:
        return 500;
    case 12:
    case 50:
        return 300;
    default:
        return 0;
    }
}

S_ROOMTYPECHANGE RoomTypeChange(int nCommand, uint16_t wCurrentType, int nParticipants,
                                const std::vector<S_ROOMOPTION>& options)
{
    std::optional<uint16_t> type = RoomTypeOfCommand(nCommand);
    if (!type || *type == wCurrentType) return {};
    uint16_t wLimit = RoomTypeUserLimit(*type, options);
    // A limit of 0 is no limit: a type without one would otherwise refuse every room.
    if (wLimit != 0 && nParticipants > wLimit) return {ROOMTYPE_TOO_MANY, *type, wLimit};
    return {ROOMTYPE_SEND, *type, wLimit};
}

const std::vector<std::string>& RoomTypeTextKeys()
{
    static const std::vector<std::string> keys = {
        "IDS_ROOMTYPE_SEMINAR",       "IDS_ROOMTYPE_2VIDEO",       "IDS_ROOMTYPE_3VIDEO",
        "IDS_ROOMTYPE_4VIDEO",        "IDS_ROOMTYPE_5VIDEO",       "IDS_ROOMTYPE_6VIDEO",
        "IDS_ROOMTYPE_7VIDEO",        "IDS_ROOMTYPE_9VIDEO",       "IDS_ROOMTYPE_10VIDEO",
        "IDS_ROOMTYPE_13VIDEO",       "IDS_ROOMTYPE_16VIDEO",      "IDS_ROOMTYPE_19VIDEO",
        "IDS_ROOMTYPE_22VIDEO",       "IDS_ROOMTYPE_25VIDEO",      "IDS_ROOMTYPE_30VIDEO",
        "IDS_ROOMTYPE_33VIDEO",       "IDS_ROOMTYPE_36VIDEO",      "IDS_ROOMTYPE_43VIDEO",
        "IDS_ROOMTYPE_46VIDEO",       "IDS_ROOMTYPE_49VIDEO",      "IDS_ROOMTYPE_DOCUMENT",
        "IDS_ROOMTYPE_1VIDEO",        "IDS_ROOMTYPE_PIP",          "IDS_ROOMTYPE_2VIDEO_16TO9",
        "IDS_ROOMTYPE_10VIDEO_16TO9", "IDS_ROOMTYPE_1VIDEO_16TO9", "IDS_ROOMTYPE_10VIDEO_2_16TO9",
    };
    return keys;
}

namespace
{
constexpr std::array<uint32_t, 35> kPenPalette = {
    0xD08C19, 0x002AA5, 0x404000, 0x005500, 0x5E0000, 0x8B0000, 0x282828, 0x00008B, 0x2068FF,
    0x009300, 0x8E8E38, 0xFF0000, 0xC07B7B, 0x666666, 0x0000FF, 0x5BADFF, 0x32CD32, 0x71B33C,
    0xD4FF7F, 0xC09E7D, 0x800080, 0xCBC0FF, 0x00D7FF, 0x00FFFF, 0x00FF00, 0xD0E040, 0xFFFFC0,
    0x480048, 0xC0C0C0, 0xE1E4FF, 0x8CB4D2, 0x98FB98, 0xEEEEAF, 0x8B8368, 0x82004B,
};
} // namespace

int PenPaletteIndex(uint16_t wUserNumber)
{
    return wUserNumber % static_cast<int>(kPenPalette.size());
}

uint32_t PenColourOfUser(uint16_t wUserNumber)
{
    return kPenPalette[static_cast<size_t>(PenPaletteIndex(wUserNumber))];
}

int FrameRateCommand(uint16_t wFrameRate)
{
    switch (wFrameRate)
    {
    case 65535:
        return 32995;
    case 5:
        return 32996;
    case 15:
        return 32997;
    case 30:
        return 32998;
    default:
        return 0;
    }
}

uint16_t FrameRateOfCommand(int nCommand)
{
    switch (nCommand)
    {
    case 32996:
        return 5;
    case 32997:
        return 15;
    case 32998:
        return 30;
    default:
        return 65535;
    }
}

int SendSizeCommand(uint16_t wHeight)
{
    return wHeight == 0 ? 32999 : wHeight == 480 ? 33000 : wHeight == 720 ? 33001 : 0;
}

uint16_t SendSizeOfCommand(int nCommand)
{
    return nCommand == 33000 ? 480 : nCommand == 33001 ? 720 : 0;
}

std::vector<int> BitrateItems(const std::vector<int>& list, int nCurrent)
{
    std::vector<int> out = list;
    auto it = std::find_if(out.begin(), out.end(), [nCurrent](int v) { return v > nCurrent; });
    out.insert(it, nCurrent);
    // Ids after the tenth belong to other commands.
    if (out.size() > 10) out.resize(10);
    return out;
}
