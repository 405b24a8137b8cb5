// The for-everyone pop-up from its model, tracked until a choice or its end.
#include "confclient/room/ForEveryoneMenu.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/RoomMenuModel.h"

int TrackForEveryoneMenu(IRoomHost& host, HWND hOwner, POINT pt)
{
    const std::vector<S_MENUITEM> items = ForEveryoneMenu(host.MenuConditions());
    if (items.empty()) return -1;
    HMENU hMenu = ::CreatePopupMenu();
    if (!hMenu) return 0;
    for (const S_MENUITEM& m : items)
        ::AppendMenuW(hMenu, MF_STRING, static_cast<UINT_PTR>(m.nId), host.RoomText(m.szKey.c_str()).c_str());
    int nChosen = ::TrackPopupMenu(hMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, hOwner, nullptr);
    ::DestroyMenu(hMenu);
    return nChosen;
}
