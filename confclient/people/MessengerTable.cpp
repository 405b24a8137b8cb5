// The messenger windows' table: slots, entries and deliveries.
#include "confclient/people/MessengerTable.h"

#include <algorithm>

std::vector<S_MESSAGEINFO>::iterator CMessengerTable::FindEntry(const std::u16string& szId,
                                                                uint16_t wUserIndex)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const S_MESSAGEINFO& e) { return !szId.empty() && e.szId == szId; });
    if (it != m_entries.end()) return it;
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const S_MESSAGEINFO& e)
                        { return wUserIndex != 65535 && e.wUserIndex == wUserIndex; });
}

IMessengerWindow* CMessengerTable::FindById(const std::u16string& szId) const
{
    for (const S_MESSAGEINFO& e : m_entries)
        if (!szId.empty() && e.szId == szId) return m_slots[e.wSlot];
    return nullptr;
}

IMessengerWindow* CMessengerTable::FindByIndex(uint16_t wUserIndex) const
{
    for (const S_MESSAGEINFO& e : m_entries)
        if (wUserIndex != 65535 && e.wUserIndex == wUserIndex) return m_slots[e.wSlot];
    return nullptr;
}

std::u16string CMessengerTable::GetUserIdByIndex(uint16_t wUserIndex) const
{
    for (const S_MESSAGEINFO& e : m_entries)
        if (wUserIndex != 65535 && e.wUserIndex == wUserIndex) return e.szId;
    return {};
}

IMessengerWindow* CMessengerTable::FindOrCreate(uint16_t wUserIndex, const std::u16string& szId,
                                                const std::u16string& szName, bool bInRoom,
                                                uint16_t wRoomIndex, int* pnCode)
{
    if (pnCode) *pnCode = 0;
    auto it = FindEntry(szId, wUserIndex);
    if (it != m_entries.end())
    {
        IMessengerWindow* pWindow = m_slots[it->wSlot];
        if (it->wUserIndex != wUserIndex && wUserIndex != 65535)
        {
            it->wUserIndex = wUserIndex;
            pWindow->SetPeer(wUserIndex);
        }
        return pWindow;
    }
    auto free = std::find(m_slots.begin(), m_slots.end(), nullptr);
    if (free == m_slots.end())
    {
        if (pnCode) *pnCode = kNoFreeSlot;
        return nullptr;
    }
    S_MESSAGEINFO info{static_cast<uint16_t>(free - m_slots.begin()), wUserIndex, szId, szName};
    IMessengerWindow* pWindow = m_windows.CreateMessenger(info);
    if (!pWindow) return nullptr;
    *free = pWindow;
    m_entries.push_back(info);
    pWindow->UpdateRoomState(bInRoom, wRoomIndex);
    return pWindow;
}

IMessengerWindow* CMessengerTable::Deliver(int nKind, uint16_t wUserIndex, const std::u16string& szId,
                                           const std::u16string& szName, const std::u16string& szText,
                                           uint32_t dwValue, bool bInRoom, uint16_t wRoomIndex, int* pnCode)
{
    IMessengerWindow* pWindow = FindOrCreate(wUserIndex, szId, szName, bInRoom, wRoomIndex, pnCode);
    // Kind 3 without a text only opens the window.
    if (pWindow && !(nKind == MSGKIND_OPEN && szText.empty()))
        pWindow->ReceiveMessage(nKind, szText, szName, dwValue);
    return pWindow;
}

void CMessengerTable::TakeQueuedMessages(const std::u16string& szId, uint16_t wUserIndex)
{
    auto it = FindEntry(szId, wUserIndex);
    if (it == m_entries.end()) return;
    m_slots[it->wSlot] = nullptr;
    m_entries.erase(it);
}

void CMessengerTable::UpdateRoomState(bool bInRoom, uint16_t wRoomIndex)
{
    for (const S_MESSAGEINFO& e : m_entries)
        m_slots[e.wSlot]->UpdateRoomState(bInRoom, wRoomIndex);
}

void CMessengerTable::ForceCloseAll()
{
    // The entries go first: a window closing cannot reach the table while it is walked.
    std::vector<S_MESSAGEINFO> entries;
    entries.swap(m_entries);
    for (const S_MESSAGEINFO& e : entries)
    {
        IMessengerWindow* pWindow = m_slots[e.wSlot];
        m_slots[e.wSlot] = nullptr;
        pWindow->ForceClose();
        m_windows.DeleteMessenger(pWindow);
    }
}
