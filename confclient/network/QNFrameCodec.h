// Encoding and decoding of conference frames: the payload mask, the SEED payload
// cipher and the key exchange. Owned by the network object, which holds one set
// of key material per connection.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "confclient/network/SeedCipher.h"
#include "core/LogSink.h"

// Where finished frames go: the send lists of the transport.
class IFrameQueue
{
public:
    virtual ~IFrameQueue() = default;
    // Takes one whole frame (header and payload as sent) and owns it from then on.
    virtual void QueueFrame(std::vector<uint8_t> frame) = 0;
};

// What the codec needs of the session that owns the connection.
class IQNSession : public ILogSink
{
public:
    // True while a recording plays instead of a live conference.
    virtual bool IsPlayerMode() const = 0;
};

class CQNFrameCodec
{
public:
    CQNFrameCodec(IFrameQueue& queue, IQNSession* pSession) : m_queue(queue), m_pSession(pSession) {}

    // The session has gone (the main dialog closed the connection): nothing more is sent.
    void DetachSession() { m_pSession = nullptr; }
    IQNSession* Session() const { return m_pSession; }

    // Makes the client key from the tick count and sends it as command 20
    // (masked only, sub 65535): the first frame of every connection.
    void SendSeedKey(uint32_t dwTickCount);

    // Encodes a frame whose header is built and whose plain payload follows it,
    // and queues a fresh copy. The caller keeps its buffer (its payload is left
    // masked for ciphered commands). Returns false when nothing was queued.
    bool EncryptAndQueue(uint16_t wCommand, uint8_t* pFrame, size_t nPayloadLen);

    // Decodes one received frame of nFrameLen bytes in place: afterwards its
    // payload (from offset 10) is plain. Returns the plain payload length, or
    // nothing when the frame is malformed (logged at ERROR, to be dropped).
    std::optional<size_t> DecodeInbound(uint8_t* pFrame, size_t nFrameLen);

    // The server's round-key table from command 21: 32 little-endian words.
    void SetServerRoundKeys(const uint8_t* p128);

    const SeedRoundKeys& ClientRoundKeys() const { return m_clientRoundKeys; }
    const SeedRoundKeys& ServerRoundKeys() const { return m_serverRoundKeys; }
    const uint8_t* ClientKey() const { return m_byClientKey; }

    // The client key that SendSeedKey makes from a tick count: four draws of the
    // C runtime's generator seeded with the tick, one per little-endian word.
    static void MakeClientKey(uint32_t dwTickCount, uint8_t key[16]);

private:
    void Log(int nLevel, const char* pszText);

    IFrameQueue& m_queue;
    std::atomic<IQNSession*> m_pSession;
    uint8_t m_byClientKey[16] = {};
    SeedRoundKeys m_clientRoundKeys{};
    SeedRoundKeys m_serverRoundKeys{};
};
