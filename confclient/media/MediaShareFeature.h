// The room's media-share record: what the sharer announced (564/565, 566/567), kept for the
// tool bar, told to it as notices, and sent when the local user shares.
#pragma once
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomState.h"

// Notices the tool bar takes (its message 4054's wParam).
enum MediaShareNotice : int
{
    SHARENOTICE_RESET = 0,
    SHARENOTICE_PLAYING = 2,
    SHARENOTICE_OPENRESULT = 3,
    SHARENOTICE_STATE = 8,
    SHARENOTICE_FILEINFO = 9,
    SHARENOTICE_ENDED = 10,
};

// The media-share view as the share sees it.
class IMediaShareView
{
public:
    virtual ~IMediaShareView() = default;
    // One notice to the tool bar (lParam as the notice defines it).
    virtual void OnShareNotice(int nNotice, uint32_t lParam) = 0;
};

// What the share sends to the room.
class IMediaShareSender
{
public:
    virtual ~IMediaShareSender() = default;
    // 564: the whole record.
    virtual void SendMediaShareRecord(const QNMediaShareRecord& r) = 0;
    // 566: the record's flags; a stop also drops the shared file's frames still queued.
    virtual void SendMediaShareState(uint32_t dwFlags) = 0;
};

class CMediaShareFeature
{
public:
    CMediaShareFeature(const CRoomState& room, const uint16_t& wMyUserIndex, IMediaShareView& view,
                       IMediaShareSender& sender)
        : m_room(room), m_wMyIndex(wMyUserIndex), m_view(view), m_sender(sender)
    {
    }

    QNMediaShareRecord& Record() { return m_record; }
    const QNMediaShareRecord& Record() const { return m_record; }
    bool IsLocalSharer() const { return m_record.wSharer != kNoIndex && m_record.wSharer == m_wMyIndex; }

    // 564/565: another member's whole record (notice 9); the local sharer's own echo is ignored.
    void OnRecord(uint16_t wCommand, const QNPacketDesc& desc, const QNMediaShareRecord& r);
    // 566/567: the sharer's flags (sub: the sharer's channel), notice 8.
    void OnState(uint16_t wCommand, const QNPacketDesc& desc, const uint32_t& dwFlags);
    // A member left the room: when it was the sharer, the share ends (notice 0).
    void OnMemberLeft(uint16_t wChannel);
    // The room was left: the record is reset quietly.
    void Reset();

    // The local sharer's record or flags to the room.
    void SendRecord() { m_sender.SendMediaShareRecord(m_record); }
    void SendState() { m_sender.SendMediaShareState(m_record.dwFlags); }

private:
    const CRoomState& m_room;
    const uint16_t& m_wMyIndex;
    IMediaShareView& m_view;
    IMediaShareSender& m_sender;
    QNMediaShareRecord m_record;
    uint16_t m_wSharerChannel = kNoIndex;
};
