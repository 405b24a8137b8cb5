// The session's messenger windows: up to 100, each for one peer, found by the peer's ID and then
// by the peer's user index, created on demand in the first free slot, and every inbound
// messenger delivery routed to its window.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/people/MessengerLog.h"

// One open messenger window's peer.
struct S_MESSAGEINFO
{
    uint16_t wSlot = 0;
    uint16_t wUserIndex = 65535;
    std::u16string szId;
    std::u16string szName;
};

// A messenger window as the table drives it.
class IMessengerWindow
{
public:
    virtual ~IMessengerWindow() = default;
    // The peer's user index changed (the same ID logged in again).
    virtual void SetPeer(uint16_t wUserIndex) = 0;
    // Enables the invite action while the local user is in a room and keeps the room (65535: none).
    virtual void UpdateRoomState(bool bInRoom, uint16_t wRoomIndex) = 0;
    // A line of the kind on behalf of the peer; value: the room of an invitation.
    virtual void ReceiveMessage(int nKind, const std::u16string& szText, const std::u16string& szExtra,
                                uint32_t dwValue) = 0;
    // A block of this window's file left the socket.
    virtual void OnFileDataAck(uint32_t nBytes) = 0;
    // Logout: ends a transfer without asking, closes, and waits for the window's thread.
    virtual void ForceClose() = 0;
};

// Makes and frees the windows.
class IMessengerWindows
{
public:
    virtual ~IMessengerWindows() = default;
    // Creates, opens and shows the window of a new peer; null when it cannot be made.
    virtual IMessengerWindow* CreateMessenger(const S_MESSAGEINFO& info) = 0;
    // Frees a window the program closed.
    virtual void DeleteMessenger(IMessengerWindow* pWindow) = 0;
};

class CMessengerTable
{
public:
    static constexpr size_t kSlots = 100;
    // Find-or-create's failure: every slot is taken.
    static constexpr int kNoFreeSlot = 101;

    explicit CMessengerTable(IMessengerWindows& windows) : m_windows(windows) {}

    // The peer's window: by ID, else by user index (its peer index refreshed), else a new one in
    // the first free slot, given the room state. Null with *pnCode 101 when all slots are taken,
    // or when the window cannot be made.
    IMessengerWindow* FindOrCreate(uint16_t wUserIndex, const std::u16string& szId,
                                   const std::u16string& szName, bool bInRoom, uint16_t wRoomIndex,
                                   int* pnCode = nullptr);
    IMessengerWindow* FindById(const std::u16string& szId) const;
    IMessengerWindow* FindByIndex(uint16_t wUserIndex) const;
    // The ID of the peer whose window has that user index; empty for none.
    std::u16string GetUserIdByIndex(uint16_t wUserIndex) const;
    // A delivery to the peer's window, made when needed; the window, or null as FindOrCreate.
    IMessengerWindow* Deliver(int nKind, uint16_t wUserIndex, const std::u16string& szId,
                              const std::u16string& szName, const std::u16string& szText, uint32_t dwValue,
                              bool bInRoom, uint16_t wRoomIndex, int* pnCode = nullptr);
    // The window closed by its user: its entry (by ID, else by index) and its slot go; the
    // window frees itself.
    void TakeQueuedMessages(const std::u16string& szId, uint16_t wUserIndex);
    // The local user entered (room index) or left (65535) a room.
    void UpdateRoomState(bool bInRoom, uint16_t wRoomIndex);
    // Logout: every window closed by the program, then freed.
    void ForceCloseAll();

    const std::vector<S_MESSAGEINFO>& Entries() const { return m_entries; }
    IMessengerWindow* Slot(size_t nSlot) const { return nSlot < kSlots ? m_slots[nSlot] : nullptr; }

private:
    std::vector<S_MESSAGEINFO>::iterator FindEntry(const std::u16string& szId, uint16_t wUserIndex);

    IMessengerWindows& m_windows;
    std::vector<S_MESSAGEINFO> m_entries;
    std::array<IMessengerWindow*, kSlots> m_slots{};
};
