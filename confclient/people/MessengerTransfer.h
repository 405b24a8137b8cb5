// One messenger window's file transfer with its peer: our offer and its answer, the paced send
// thread, the peer's offer, its acceptance into the download folder, cancels from either side
// and the end of each side. One transfer at a time per window.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/people/PacedSender.h"
#include "confclient/people/ReceiveNames.h"

// The messenger window and the network as the transfer sees them.
class IMessengerTransferHost
{
public:
    virtual ~IMessengerTransferHost() = default;
    // 620, 630 and 640 (from the send thread) to the peer; false without a network.
    virtual bool SendFileOffer(const std::u16string& szName, uint32_t dwSize) = 0;
    virtual bool SendFileReply(bool bAccept) = 0;
    virtual bool SendFileData(const uint8_t* p, size_t n) = 0;
    // The language table's text of a key.
    virtual std::u16string Text(const char* pszKey) const = 0;
    // A history line of the kind (MessengerLineKind).
    virtual void AddLine(int nKind, const std::u16string& szText) = 0;
    virtual void ShowBox(const std::u16string& szText) = 0;
    // Asks for OnSendEnd (bSend) or OnReceiveEnd after ms (timers 1244, 1245); any thread.
    virtual void SetEndTimer(bool bSend, uint32_t ms) = 0;
    // The progress panel: shown for a send or a receive, moved, closed.
    virtual void ShowProgress(bool bSend, const std::u16string& szName, uint32_t dwTotal) = 0;
    virtual void UpdateProgress(uint64_t nDone, uint32_t nLast) = 0;
    virtual void CloseProgress() = 0;
    // The file button, and the Cancel link's effect.
    virtual void EnableFileButton(bool bEnable) = 0;
    virtual void UnlinkCancel() = 0;
};

class CMessengerTransfer : private IBlockLink
{
public:
    static constexpr uint64_t kMaxSize = 0xFFFFFFFFull;

    CMessengerTransfer(IMessengerTransferHost& host, IDownloadFolder& folder, IPaceClock& clock,
                       uint32_t dwBytesPerSecond);
    // Ends a transfer without asking: cancels, joins the thread, deletes a partial file.
    ~CMessengerTransfer();

    // Our offer of the opened file; false when nothing was offered.
    bool OfferFile(std::unique_ptr<ISendFile> file, const std::u16string& szName, uint64_t nSize);
    // The peer's offer (622): answered "refused" while a transfer runs on this window.
    void OnOffer(const std::u16string& szName, uint32_t dwSize, const std::u16string& szPeerName);
    // The offer's Yes and No links.
    void AcceptOffer();
    void RefuseOffer();
    // The Cancel link or the window's close: ends our side at once and tells the peer.
    void Cancel();
    // The peer's answer or cancel (632).
    void OnReply(bool bAccepted);
    // A block from the peer (642).
    void OnData(const uint8_t* p, size_t n);
    // A 640 of n file bytes left the socket.
    void OnDataAck(uint32_t nBytes);
    // Timers 1244 and 1245.
    void OnSendEnd();
    void OnReceiveEnd();

    bool OfferOut() const { return m_bOfferOut; }
    bool OfferIn() const { return m_bPendingOffer; }
    bool Sending() const { return m_pSender != nullptr; }
    bool Receiving() const { return m_pReceiveFile != nullptr; }
    // Something the window's close would cut short.
    bool Running() const { return m_bOfferOut || Sending() || Receiving(); }
    uint32_t ReceivedBytes() const { return m_dwReceived; }
    const std::u16string& ReceiveName() const { return m_szReceiveName; }
    bool Complete() const { return m_bComplete; }

private:
    bool SendBlock(const uint8_t* p, size_t n) override { return m_host.SendFileData(p, n); }
    void StartSend();
    // The line of a transfer with its Cancel link.
    std::u16string TransferLine(const std::u16string& szName, uint64_t nSize) const;
    void FinishReceive(bool bComplete);
    void EndOffer();

    IMessengerTransferHost& m_host;
    IDownloadFolder& m_folder;
    IPaceClock& m_clock;
    uint32_t m_dwBytesPerSecond;

    bool m_bOfferOut = false;
    std::unique_ptr<ISendFile> m_pSendFile;
    std::u16string m_szSendName;
    uint32_t m_dwSendSize = 0;
    std::unique_ptr<CPacedSender> m_pSender;
    std::thread m_sendThread;
    std::atomic<bool> m_bSendEnded{false};
    bool m_bSendCancelled = false;

    bool m_bPendingOffer = false;
    std::u16string m_szOfferName;
    uint32_t m_dwOfferSize = 0;

    std::unique_ptr<IReceiveFile> m_pReceiveFile;
    std::u16string m_szReceiveName;
    uint32_t m_dwReceiveSize = 0;
    uint32_t m_dwReceived = 0;
    bool m_bComplete = false;
    bool m_bReceiveCancelled = false;
};
