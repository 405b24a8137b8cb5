// CMessangeDlg: the messenger window of one peer: its lines, file transfers and the room invitation.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

class CMessangeDlg : public CRoomDlg
{
public:
    static constexpr uint16_t kNoRoom = 65535;

    CMessangeDlg(IRoomHost* pHost, uint16_t wPeerIndex, const std::wstring& szPeerName);

    void AddLine(const std::wstring& szText, int nKind);
    // Counts the bytes of a transfer; its line shows how many arrived.
    void OnFileData(uint16_t wTransferId, uint32_t dwOffset, const uint8_t* p, size_t n);
    // The transfer's line says it was cancelled; later data of it is not counted.
    void CancelTransfer(uint16_t wTransferId);
    // Closed by the program (logout), not by the user: the window goes, the owner deletes the object.
    void ForceClose();
    bool IsForceClosed() const { return m_bForceClosed; }
    // Enables the invite button and keeps the local room index (65535: not in a room).
    void UpdateRoomState(bool bInviteEnabled, uint16_t wRoomIndex);
    uint16_t RoomIndex() const { return m_wRoomIndex; }
    uint16_t PeerIndex() const { return m_wPeerIndex; }
    int LineCount() const;
    std::wstring LineText(int nIndex) const;

protected:
    BOOL OnInitDialog() override;
    // Closing by the user only hides the window: the peer's lines stay for the next message.
    void OnCancel() override { ShowWindow(SW_HIDE); }
    void OnSize(UINT type, int cx, int cy) override;

private:
    struct Transfer
    {
        uint32_t dwReceived = 0;
        bool bCancelled = false;
        int nLine = -1;
    };
    void ShowTransfer(uint16_t wTransferId, const Transfer& transfer);

    IRoomHost* m_pHost;
    uint16_t m_wPeerIndex;
    std::wstring m_szPeerName;
    uint16_t m_wRoomIndex = kNoRoom;
    bool m_bForceClosed = false;
    std::map<uint16_t, Transfer> m_transfers;
};
