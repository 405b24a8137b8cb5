// A client of the loopback server written from the protocol document, for tests and
// benchmarks: whole frames out, whole frames in, over a blocking socket.
#pragma once
#include <optional>
#include <vector>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/SeedCipher.h"
#include "confclient/network/transport/NetPlatform.h"

struct RawFrame
{
    uint16_t wCommand;
    uint16_t wSub;
    std::vector<uint8_t> payload;
};

// One connection to the loopback server.
class CRawClient
{
public:
    explicit CRawClient(uint16_t wPort)
    {
        const uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        m_keys = SeedCipher::KeySchedule(key);
        int nErr = 0;
        m_s = NetOpenTcp(&nErr);
        uint32_t dwAddr = 0;
        m_bConnected =
            m_s != kNoSocket && NetResolve("127.0.0.1", &dwAddr) && NetConnect(m_s, dwAddr, wPort, &nErr);
        if (m_bConnected) NetSetNoDelay(m_s);
    }
    ~CRawClient()
    {
        if (m_s != kNoSocket) NetShutdownClose(m_s);
    }
    bool Connected() const { return m_bConnected; }

    // False when the connection took less than the whole frame.
    bool Send(uint16_t wCommand, const std::vector<uint8_t>& payload)
    {
        std::vector<uint8_t> frame = EncodeFrame(wCommand, 0, payload.data(), payload.size(), m_keys);
        return NetSend(m_s, frame.data(), frame.size()) == static_cast<int>(frame.size());
    }
    bool SendKey(size_t nBytes)
    {
        std::vector<uint8_t> table(nBytes, 0x5A);
        for (size_t i = 0; i < m_keys.size() && 4 * i + 3 < nBytes; ++i)
            for (int b = 0; b < 4; ++b)
                table[4 * i + b] = static_cast<uint8_t>(m_keys[i] >> (8 * b));
        return Send(CMD_SEED_KEY, table);
    }
    // The next frame, or nothing once the server has closed the connection.
    std::optional<RawFrame> Receive()
    {
        std::vector<uint8_t> frame(kFrameHeaderSize);
        if (!ReadAll(frame.data(), kFrameHeaderSize)) return std::nullopt;
        PacketHeader h = PacketHeader::Read(frame.data());
        if (h.dwTotalLength < kFrameHeaderSize || h.dwTotalLength > kMaxFrameLength) return std::nullopt;
        frame.resize(h.dwTotalLength);
        if (!ReadAll(frame.data() + kFrameHeaderSize, frame.size() - kFrameHeaderSize)) return std::nullopt;
        std::optional<size_t> n = DecodeFrame(frame.data(), frame.size(), m_keys);
        if (!n) return std::nullopt;
        return RawFrame{
            h.wCommand, h.wSub,
            std::vector<uint8_t>(frame.begin() + kFrameHeaderSize, frame.begin() + kFrameHeaderSize + *n)};
    }

private:
    bool ReadAll(uint8_t* p, size_t n)
    {
        while (n > 0)
        {
            int r = NetRecv(m_s, p, n);
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    }

    SeedRoundKeys m_keys{};
    NetSocket m_s = kNoSocket;
    bool m_bConnected = false;
};
