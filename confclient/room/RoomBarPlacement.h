// Where the control bar's controls go: the menu row, the voice row, the view-mode row, the
// window buttons at the right edge and the right group, which gives way right to left before
// it would overlap the view-mode row or the web-address field.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// The bar's control ids.
enum : int
{
    BARCTL_FILE = 1376,
    BARCTL_VIEW = 1379,
    BARCTL_DRAW = 1378,
    BARCTL_TOOL = 1377,
    BARCTL_INVITE = 1380,
    BARCTL_CAMERA = 1025,
    BARCTL_MUTE = 1031,
    BARCTL_TALK = 1029,
    BARCTL_SPEAKER = 1030,
    BARCTL_MIC = 1032,
    BARCTL_VIDEO = 1137,
    BARCTL_BOARD = 1138,
    BARCTL_MEDIASHARE = 1136,
    BARCTL_QUESTION = 1144,
    BARCTL_SHARENAME = 1139,
    BARCTL_SHAREVIEW = 1321,
    BARCTL_WEB = 1368,
    BARCTL_WEBDRAW = 1369,
    BARCTL_DOCOPEN = 1365,
    BARCTL_RECORD = 1149,
    BARCTL_PRESENTER = 1362,
    BARCTL_LAYOUT = 1364,
    BARCTL_RESTORE = 1411,
    BARCTL_MAXIMIZE = 1410,
    BARCTL_CLOSE = 1003,
    BARCTL_MINIMIZE = 1006,
    BARCTL_PRESENTATION = 1414,
    BARCTL_NETWORK = 1416,
    BARCTL_RECTIME = 1033,
    BARCTL_WEBADDRESS = 1413,
};

struct S_BARRECT
{
    int x = 0, y = 0, cx = 0, cy = 0;
    int Right() const { return x + cx; }
    bool operator==(const S_BARRECT&) const = default;
};

struct S_BARPLACE
{
    S_BARRECT rc;
    bool bShown = false;
    bool operator==(const S_BARPLACE&) const = default;
};

// What the placement depends on.
struct S_BARLAYOUTINPUT
{
    int nWidth = 0;
    std::map<int, S_BARRECT> sizes; // each control's own size (cx, cy): its bitmap's
    bool bPlayback = false;
    bool bNoVideoControls = false; // room option 0x1000
    uint8_t nMediaShareKind = 0;
    bool bQuestionnaire = false;
    bool bShareView = false;     // feature 0x20000
    bool bPresenterBits = false; // either presenter bit of the room option byte
    bool bInviteShown = false;
    bool bWebShown = false;          // the board shows a web page in board view
    bool bBoardRight = true;         // the control right or the drawing right
    bool bLargeTextLanguage = false; // the English or German library: a taller time text
};

constexpr int kWebFieldWidth = 272;
constexpr int kWebFieldWideBar = 1240;

// Every control's place; a control the bar does not show has bShown false.
std::map<int, S_BARPLACE> PlaceBar(const S_BARLAYOUTINPUT& in);
