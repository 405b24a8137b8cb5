// CRoomMediaShareViewDlg: the shared movie's window in the main view: its state line and position.
#pragma once
#include "confclient/room/RoomDlg.h"
#include <cstdint>

class CRoomMediaShareViewDlg : public CRoomDlg
{
public:
    CRoomMediaShareViewDlg();

    // Clears the state and the position for a new share.
    void Init();
    // Shows the view; flag 1 shows the "playing" state line, 0 hides it.
    void UpdateVideoState(int nFlag);
    // Shows the play position as minutes and seconds.
    void UpdatePosition(uint32_t dwMs);

protected:
    void OnSize(UINT type, int cx, int cy) override;
};
