// The control bar's placement, from its width and the room's options.
#include "confclient/room/RoomBarPlacement.h"

#include <algorithm>

namespace
{
struct Placer
{
    const S_BARLAYOUTINPUT& in;
    std::map<int, S_BARPLACE> out;

    S_BARRECT Size(int nId) const
    {
        auto it = in.sizes.find(nId);
        return it == in.sizes.end() ? S_BARRECT{} : it->second;
    }
    S_BARPLACE& Put(int nId, int x, int y, bool bShown = true)
    {
        S_BARRECT s = Size(nId);
        S_BARPLACE& p = out[nId];
        p.rc = {x, y, s.cx, s.cy};
        p.bShown = bShown;
        return p;
    }
    int RightOf(int nId) const
    {
        auto it = out.find(nId);
        return it == out.end() ? 0 : it->second.rc.Right();
    }
    bool Shown(int nId) const
    {
        auto it = out.find(nId);
        return it != out.end() && it->second.bShown;
    }
};
} // namespace

std::map<int, S_BARPLACE> PlaceBar(const S_BARLAYOUTINPUT& in)
{
    Placer p{in, {}};
    const int W = in.nWidth;
    for (int nId :
         {BARCTL_FILE,      BARCTL_VIEW,         BARCTL_DRAW,       BARCTL_TOOL,     BARCTL_INVITE,
          BARCTL_CAMERA,    BARCTL_MUTE,         BARCTL_TALK,       BARCTL_SPEAKER,  BARCTL_MIC,
          BARCTL_VIDEO,     BARCTL_BOARD,        BARCTL_MEDIASHARE, BARCTL_QUESTION, BARCTL_SHARENAME,
          BARCTL_SHAREVIEW, BARCTL_WEB,          BARCTL_WEBDRAW,    BARCTL_DOCOPEN,  BARCTL_RECORD,
          BARCTL_PRESENTER, BARCTL_LAYOUT,       BARCTL_RESTORE,    BARCTL_MAXIMIZE, BARCTL_CLOSE,
          BARCTL_MINIMIZE,  BARCTL_PRESENTATION, BARCTL_NETWORK,    BARCTL_RECTIME,  BARCTL_WEBADDRESS})
        p.out[nId] = {};

    // Menu row.
    int x = 5;
    for (int nId : {BARCTL_FILE, BARCTL_VIEW, BARCTL_DRAW, BARCTL_TOOL})
        x = p.Put(nId, x, 5).rc.Right();
    p.Put(BARCTL_INVITE, x, 5, in.bInviteShown);
    int nMenuEnd = in.bInviteShown ? p.RightOf(BARCTL_INVITE) : x;

    // Voice row.
    p.Put(BARCTL_CAMERA, 12, 31);
    p.Put(BARCTL_MUTE, p.RightOf(BARCTL_CAMERA) + 9, 31);
    p.Put(BARCTL_SPEAKER, p.RightOf(BARCTL_MUTE) + 3, 40);
    p.Put(BARCTL_TALK, p.RightOf(BARCTL_SPEAKER) + 10, 31);
    p.Put(BARCTL_MIC, p.RightOf(BARCTL_TALK) + 3, 40);

    // View-mode row.
    const int nRowY = 28;
    int nViewEnd = p.RightOf(BARCTL_MIC);
    if (!in.bNoVideoControls)
    {
        x = p.Put(BARCTL_VIDEO, 212, nRowY).rc.Right();
        x = p.Put(BARCTL_BOARD, x + 2, nRowY).rc.Right();
        if (in.nMediaShareKind != 0) x = p.Put(BARCTL_MEDIASHARE, x + 2, nRowY).rc.Right();
        if (in.bQuestionnaire) x = p.Put(BARCTL_QUESTION, x + 2, nRowY).rc.Right();
        if (in.bShareView)
        {
            p.Put(BARCTL_SHAREVIEW, x + 2, nRowY, false);
            x = p.Put(BARCTL_SHARENAME, x + 2, nRowY).rc.Right();
        }
        x = p.Put(BARCTL_WEB, x + 2, nRowY).rc.Right();
        x = p.Put(BARCTL_WEBDRAW, x + 2, nRowY, in.bBoardRight).rc.Right();
        nViewEnd = in.bBoardRight ? x : p.RightOf(BARCTL_WEB);
    }

    // Window buttons at the right edge of the first row.
    p.Put(BARCTL_NETWORK, W - 100, 5, !in.bPlayback);
    p.Put(BARCTL_PRESENTATION, W - 79, 6);
    p.Put(BARCTL_MINIMIZE, W - 57, 6);
    p.Put(BARCTL_MAXIMIZE, W - 39, 6);
    p.Put(BARCTL_RESTORE, W - 39, 6);
    p.Put(BARCTL_CLOSE, W - 21, 6);
    int e = in.bLargeTextLanguage ? 2 : 0;
    p.out[BARCTL_RECTIME] = {{nMenuEnd + 1, 9 - e, std::max(0, W - 115 - (nMenuEnd + 1)), 12 + e}, true};

    int nLayoutX = W - p.Size(BARCTL_LAYOUT).cx - 8;
    if (in.bPlayback)
    {
        p.Put(BARCTL_LAYOUT, nLayoutX, nRowY, !in.bNoVideoControls);
        for (int nId :
             {BARCTL_WEB, BARCTL_WEBDRAW, BARCTL_SHARENAME, BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER})
            p.out[nId].bShown = false;
        return p.out;
    }

    // The right group, from the right edge leftwards.
    int nRight = W - 8;
    if (!in.bNoVideoControls)
    {
        p.Put(BARCTL_LAYOUT, nLayoutX, nRowY);
        nRight = nLayoutX - 2;
    }
    int nLayoutLeft = in.bNoVideoControls ? W - 8 : nLayoutX;
    std::vector<int> group; // right to left
    if (in.bPresenterBits) group.push_back(BARCTL_PRESENTER);
    group.push_back(BARCTL_RECORD);
    group.push_back(BARCTL_DOCOPEN);
    for (int nId : group)
    {
        int nX = nRight - p.Size(nId).cx;
        // A control that would overlap the view-mode row is hidden.
        p.Put(nId, nX, nRowY, nX >= nViewEnd + 2);
        nRight = nX - 2;
    }
    auto groupLeft = [&]()
    {
        int nLeft = nLayoutLeft;
        for (int nId : group)
            if (p.Shown(nId)) nLeft = std::min(nLeft, p.out[nId].rc.x);
        return nLeft;
    };

    // The web-address field.
    S_BARPLACE& web = p.out[BARCTL_WEBADDRESS];
    web.bShown = false;
    if (in.bWebShown)
    {
        int nStart = (in.bBoardRight ? p.RightOf(BARCTL_WEBDRAW) : p.RightOf(BARCTL_WEB)) + 2;
        int nNeed = kWebFieldWidth + (in.bNoVideoControls ? 25 : 0);
        int nEnd;
        if (W < kWebFieldWideBar)
        {
            for (int nId : group)
                p.out[nId].bShown = false;
            nEnd = nLayoutLeft - 10;
        }
        else
        {
            // Document open, record and presenter give way, in that order, until the field fits.
            for (auto it = group.rbegin(); it != group.rend() && nStart + nNeed > groupLeft() - 10; ++it)
                p.out[*it].bShown = false;
            nEnd = std::min(nStart + nNeed, groupLeft() - 10);
        }
        web.rc = {nStart, nRowY + 7, std::max(0, nEnd - nStart), 20};
        web.bShown = nEnd > nStart;
    }

    // The view row's last buttons show only while they end left of the layout button.
    for (int nId : {BARCTL_WEBDRAW, BARCTL_WEB, BARCTL_SHARENAME})
    {
        S_BARPLACE& b = p.out[nId];
        if (b.bShown && b.rc.Right() >= nLayoutLeft) b.bShown = false;
    }
    return p.out;
}
