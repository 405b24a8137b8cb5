// Inbound routing: sound on the receive thread, everything else through the
// inbound list to the dispatch thread, which decodes, updates the session
// record and hands each command to the media receivers or the owner.
#include <algorithm>
#include <cstring>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"

namespace
{
// The descriptor's extra value: the payload length for 323, the chunk length
// for 525 (payload minus its 2-byte head), else the header's sub.
uint32_t ExtraOf(uint16_t wCommand, uint16_t wSub, size_t nLen)
{
    if (wCommand == INFO_CONF_JOIN) return static_cast<uint32_t>(nLen);
    if (wCommand == INFO_PUSH_CHUNK) return nLen >= 2 ? static_cast<uint32_t>(nLen - 2) : 0;
    return wSub;
}
} // namespace

void CQNInterface::OnPacket(uint16_t wCommand, uint16_t wSub, const uint8_t* pFrame)
{
    size_t nTotal = PacketHeader::Read(pFrame).dwTotalLength;
    if (IsSoundCommand(wCommand))
    {
        // The frame lives in the receive buffer, which is this thread's own.
        uint8_t* pPayload = const_cast<uint8_t*>(pFrame) + kFrameHeaderSize;
        size_t nLen = nTotal - kFrameHeaderSize;
        XorPayload(pPayload, nLen, pPayload);
        RecordFrame(wCommand, pPayload, nLen, false);
        if (IQNHost* pHost = Host()) pHost->OnSoundFrame(wCommand, wSub, pPayload, nLen);
        return;
    }
    InboundFrame f;
    f.frame.assign(pFrame, pFrame + nTotal);
    PushInbound(std::move(f));
}

void CQNInterface::InjectInbound(uint16_t wCommand, uint16_t wSub, const uint8_t* pPlain, size_t nLen)
{
    InboundFrame f;
    f.bPlain = true;
    f.frame.resize(kFrameHeaderSize + nLen);
    PacketHeader h;
    h.wCommand = wCommand;
    h.wSub = wSub;
    h.dwTotalLength = static_cast<uint32_t>(f.frame.size());
    h.Write(f.frame.data());
    if (nLen) std::memcpy(f.frame.data() + kFrameHeaderSize, pPlain, nLen);
    PushInbound(std::move(f));
}

void CQNInterface::PushInbound(InboundFrame f)
{
    std::lock_guard<std::mutex> g(m_inboundLock);
    bool bMedia = IsMediaCommand(PacketHeader::Read(f.frame.data()).wCommand);
    // A GUI that falls behind loses video before it loses commands.
    while (m_nInboundBytes + f.frame.size() > kMaxInboundBytes)
    {
        if (bMedia) return;
        auto it = std::find_if(m_inbound.begin(), m_inbound.end(),
                               [](const InboundFrame& q)
                               { return IsMediaCommand(PacketHeader::Read(q.frame.data()).wCommand); });
        if (it == m_inbound.end()) break;
        m_nInboundBytes -= it->frame.size();
        m_inbound.erase(it);
    }
    if (m_nInboundBytes + f.frame.size() > 2 * kMaxInboundBytes)
    {
        LogF(Host(), LOG_ERROR, "[RECV] inbound list full: command %u dropped",
             PacketHeader::Read(f.frame.data()).wCommand);
        return;
    }
    m_nInboundBytes += f.frame.size();
    m_inbound.push_back(std::move(f));
    m_inboundReady.notify_one();
}

void CQNInterface::PurgeInboundMedia()
{
    std::lock_guard<std::mutex> g(m_inboundLock);
    std::erase_if(m_inbound,
                  [this](const InboundFrame& q)
                  {
                      if (!IsMediaCommand(PacketHeader::Read(q.frame.data()).wCommand)) return false;
                      m_nInboundBytes -= q.frame.size();
                      return true;
                  });
}

size_t CQNInterface::InboundFrames() const
{
    std::lock_guard<std::mutex> g(m_inboundLock);
    return m_inbound.size();
}

void CQNInterface::DispatchThread()
{
    while (m_bRun && m_bRunning)
    {
        InboundFrame f;
        {
            // PushInbound signals under this lock, a stop takes it before it signals, and the
            // list is tested under it: a frame pushed just before the wait is not missed.
            std::unique_lock<std::mutex> g(m_inboundLock);
            WaitForWork(m_inboundReady, g, [this] { return !m_inbound.empty() || !m_bRun || !m_bRunning; });
            if (m_inbound.empty()) continue;
            f = std::move(m_inbound.front());
            m_inbound.pop_front();
            m_nInboundBytes -= f.frame.size();
        }
        DeliverPacket(f);
    }
}

void CQNInterface::DeliverPacket(InboundFrame& f)
{
    uint8_t* pFrame = f.frame.data();
    PacketHeader h = PacketHeader::Read(pFrame);
    uint8_t* pPayload = pFrame + kFrameHeaderSize;
    size_t nLen = f.frame.size() - kFrameHeaderSize;
    bool bRecord = !f.bPlain && IsRecordableCommand(h.wCommand);

    if (IsMediaCommand(h.wCommand) || IsBoardCommand(h.wCommand))
    {
        if (!f.bPlain) XorPayload(pPayload, nLen, pPayload);
        if (bRecord) RecordFrame(h.wCommand, pPayload, nLen, false);
        if (IsBoardCommand(h.wCommand))
            SendToOwner(kMsgBoardPacket, h.wCommand, h.wSub, pPayload, nLen);
        else if (IQNHost* pHost = Host())
            pHost->OnMediaFrame(h.wCommand, h.wSub, pPayload, nLen);
        return;
    }
    if (!f.bPlain)
    {
        std::optional<size_t> nPlain = m_codec.DecodeInbound(pFrame, f.frame.size());
        if (!nPlain) return;
        nLen = *nPlain;
    }
    m_record.Update(h.wCommand, pPayload, nLen, m_codec);
    if (bRecord) RecordFrame(h.wCommand, pPayload, nLen, false);
    SendToOwner(IsLobbyCommand(h.wCommand) ? kMsgLobbyPacket : kMsgRoomPacket, h.wCommand, h.wSub, pPayload,
                nLen);
}

void CQNInterface::SendToOwner(uint32_t nMsg, uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n)
{
    IQNOwner* pOwner = Owner();
    if (!pOwner || !m_bRun) return;
    m_wLastSub = wSub;
    QNPacketDesc desc;
    desc.dwExtra = ExtraOf(wCommand, wSub, n);
    desc.pData = n ? p : nullptr;
    desc.nLength = static_cast<uint32_t>(n);
    desc.wSub = wSub;
    pOwner->SendPacketMessage(nMsg, wCommand, &desc);
}
