// Frame encoding (mask, SEED, padding) and decoding, and the client key.
#include "confclient/network/QNFrameCodec.h"

#include <cstring>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"

namespace
{
// The Microsoft C runtime's rand(): the server side expects keys drawn from it,
// so the generator is reproduced here rather than taken from the host's C library.
class CrtRand
{
public:
    explicit CrtRand(uint32_t dwSeed) : m_dwState(dwSeed) {}
    uint32_t Next()
    {
        m_dwState = m_dwState * 214013u + 2531011u;
        return (m_dwState >> 16) & 0x7fff;
    }

private:
    uint32_t m_dwState;
};

constexpr size_t kRoundKeyBytes = 32 * 4;
} // namespace

void CQNFrameCodec::MakeClientKey(uint32_t dwTickCount, uint8_t key[16])
{
    CrtRand rng(dwTickCount);
    for (int w = 0; w < 4; ++w)
    {
        uint32_t v = rng.Next();
        for (int b = 0; b < 4; ++b)
            key[4 * w + b] = static_cast<uint8_t>(v >> (8 * b));
    }
}

void CQNFrameCodec::SendSeedKey(uint32_t dwTickCount)
{
    MakeClientKey(dwTickCount, m_byClientKey);
    m_clientRoundKeys = SeedCipher::KeySchedule(m_byClientKey);

    uint8_t frame[kFrameHeaderSize + kRoundKeyBytes];
    for (size_t i = 0; i < 32; ++i)
        for (int b = 0; b < 4; ++b)
            frame[kFrameHeaderSize + 4 * i + b] = static_cast<uint8_t>(m_clientRoundKeys[i] >> (8 * b));
    Log(LOG_DEBUG, "[CMD_SEED_KEY]");
    BuildPacketHeader(CMD_SEED_KEY, kRoundKeyBytes, frame, 65535);
    EncryptAndQueue(CMD_SEED_KEY, frame, kRoundKeyBytes);
}

bool CQNFrameCodec::EncryptAndQueue(uint16_t wCommand, uint8_t* pFrame, size_t nPayloadLen)
{
    IQNSession* pSession = m_pSession;
    if (!pSession) return false;

    uint8_t* pPayload = pFrame + kFrameHeaderSize;
    std::vector<uint8_t> frame;
    if (CipherOf(wCommand) == QNCipher::Mask)
    {
        std::vector<uint8_t> masked(nPayloadLen);
        XorPayload(pPayload, nPayloadLen, masked.data());
        frame = SealMaskedPayload(pFrame, masked.data(), nPayloadLen, m_clientRoundKeys);
    }
    else
    {
        XorPayload(pPayload, nPayloadLen, pPayload);
        frame = SealMaskedPayload(pFrame, pPayload, nPayloadLen, m_clientRoundKeys);
    }
    std::memcpy(pFrame, frame.data(), kFrameHeaderSize); // the caller sees padding and length

    if (pSession->IsPlayerMode() && IsRecordableCommand(wCommand)) return false;
    m_queue.QueueFrame(std::move(frame));
    return true;
}

std::optional<size_t> CQNFrameCodec::DecodeInbound(uint8_t* pFrame, size_t nFrameLen)
{
    uint16_t wCommand = nFrameLen >= kFrameHeaderSize ? PacketHeader::Read(pFrame).wCommand : 0;
    const SeedRoundKeys& rk =
        InboundTableOf(wCommand) == QNKeyTable::Server ? m_serverRoundKeys : m_clientRoundKeys;
    FrameFault fault;
    std::optional<size_t> nPlain = DecodeFrame(pFrame, nFrameLen, rk, &fault);
    if (!nPlain)
        LogF(m_pSession.load(), LOG_ERROR, "[DECODE_FAIL] CMD:%u Len:%u dropped: %s", wCommand,
             static_cast<unsigned>(nFrameLen), FrameFaultText(fault));
    return nPlain;
}

void CQNFrameCodec::SetServerRoundKeys(const uint8_t* p)
{
    for (size_t i = 0; i < 32; ++i)
        m_serverRoundKeys[i] = uint32_t(p[4 * i]) | (uint32_t(p[4 * i + 1]) << 8) |
                               (uint32_t(p[4 * i + 2]) << 16) | (uint32_t(p[4 * i + 3]) << 24);
}

void CQNFrameCodec::Log(int nLevel, const char* pszText)
{
    if (IQNSession* p = m_pSession) p->AddLog(nLevel, pszText);
}
