// Any byte stream, cut into reads of any sizes, through the transport's stream
// parser: it must stay within its buffer and hand up only frames it has whole.
#include <cstring>
#include <vector>

#include "tests/network/ClockRecordOwner.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/transport/QNInterface.h"

namespace
{
class CNullOwner : public IQNOwner, public IQNHost, public CClockRecordOwner
{
public:
    void PostConnectionState(uint32_t, uint32_t) override {}
    void PostRecordStatus(uint32_t) override {}
    void SendPacketMessage(uint32_t, uint16_t, const QNPacketDesc*) override {}
    void PumpSentMessages() override {}
    void AddLog(int, const std::string&) override {}
    bool IsPlayerMode() const override { return false; }
    bool WantsBacklogNotice() override { return false; }
    void PostBacklogNotice() override {}
    void PostPushChunkSent(uint32_t) override {}
    void PostFileBlockSent(uint16_t, uint32_t) override {}
    void PostBoardDataSent(uint16_t, std::vector<uint8_t>) override {}
    void OnSoundFrame(uint16_t, uint16_t, const uint8_t* p, size_t n) override
    {
        // Touch the ends of what is handed over: a length past the frame is caught here.
        if (n) m_nSeen += p[0] + p[n - 1];
    }
    unsigned m_nSeen = 0;
    void OnMediaFrame(uint16_t, uint16_t, const uint8_t*, size_t) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) return 0;
    size_t nPiece = pData[0] % 32 + 1;
    CNullOwner owner;
    CQNInterface net(&owner, &owner);
    for (size_t nPos = 1; nPos < nSize;)
    {
        size_t n = std::min(nPiece, nSize - nPos);
        net.TakeReceived(pData + nPos, n);
        nPos += n;
        if (net.HeldBytes() >= kReceiveBufferSize) __builtin_trap();
    }
    return 0;
}
