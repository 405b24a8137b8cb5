// A messenger window's file transfer.
#include "confclient/people/MessengerTransfer.h"

#include <algorithm>

#include "confclient/people/FilePush.h"
#include "confclient/people/MessengerLog.h"
#include "confclient/session/texttable/TextTable.h"

CMessengerTransfer::CMessengerTransfer(IMessengerTransferHost& host, IDownloadFolder& folder,
                                       IPaceClock& clock, uint32_t dwBytesPerSecond)
    : m_host(host), m_folder(folder), m_clock(clock), m_dwBytesPerSecond(dwBytesPerSecond)
{
}

CMessengerTransfer::~CMessengerTransfer()
{
    if (m_pSender) m_pSender->Cancel();
    if (m_sendThread.joinable()) m_sendThread.join();
    if (m_pReceiveFile)
    {
        m_pReceiveFile.reset();
        m_folder.Remove(m_szReceiveName);
    }
}

std::u16string CMessengerTransfer::TransferLine(const std::u16string& szName, uint64_t nSize) const
{
    // The Cancel word at the line's end becomes its link.
    return Formatted(nullptr, m_host.Text("IDS_MSG_FILETRANSING_CANCLE"), szName, TransferKilobytes(nSize)) +
           u"   " + m_host.Text("IDS_MSG_CANCEL");
}

bool CMessengerTransfer::OfferFile(std::unique_ptr<ISendFile> file, const std::u16string& szName,
                                   uint64_t nSize)
{
    if (m_bPendingOffer)
    {
        m_host.AddLine(MSGKIND_NOTICE, m_host.Text("IDS_MSG_FILERECV_REQ"));
        return false;
    }
    if (Running()) return false;
    if (!file || nSize > kMaxSize)
    {
        m_host.ShowBox(m_host.Text("IDS_MSG_FILETRANS_OPENFAILED"));
        return false;
    }
    if (!m_host.SendFileOffer(szName, static_cast<uint32_t>(nSize))) return false;
    m_pSendFile = std::move(file);
    m_szSendName = szName;
    m_dwSendSize = static_cast<uint32_t>(nSize);
    m_bOfferOut = true;
    m_host.AddLine(MSGKIND_OFFER_SENT, TransferLine(szName, nSize));
    m_host.EnableFileButton(false);
    return true;
}

void CMessengerTransfer::OnOffer(const std::u16string& szName, uint32_t dwSize,
                                 const std::u16string& szPeerName)
{
    // A new offer during a transfer replaced the name whose file a later failure deletes.
    if (Running() || m_bPendingOffer)
    {
        m_host.SendFileReply(false);
        return;
    }
    m_bPendingOffer = true;
    m_szOfferName = SafeReceiveName(szName);
    m_dwOfferSize = dwSize;
    // The answer words at the line's end become its links.
    m_host.AddLine(MSGKIND_FILE_OFFER, szPeerName + u" " + m_host.Text("IDS_MSG_FILESEND_REQ") + u" " +
                                           m_szOfferName + u"   " + m_host.Text("IDS_MSG_YES") + u"   " +
                                           m_host.Text("IDS_MSG_NO"));
}

void CMessengerTransfer::AcceptOffer()
{
    if (!m_bPendingOffer || Running()) return;
    m_bPendingOffer = false;
    std::u16string szName = m_szOfferName;
    std::unique_ptr<IReceiveFile> file = CreateReceiveFile(m_folder, szName);
    if (!file)
    {
        // Nothing could be written: the peer hears at once instead of sending into the void.
        m_host.SendFileReply(false);
        m_host.ShowBox(m_host.Text("IDS_MSG_FILETRANS_OPENFAILED"));
        return;
    }
    m_pReceiveFile = std::move(file);
    m_szReceiveName = szName;
    m_dwReceiveSize = m_dwOfferSize;
    m_dwReceived = 0;
    m_bComplete = false;
    m_bReceiveCancelled = false;
    m_host.AddLine(MSGKIND_OFFER_TAKEN, TransferLine(szName, m_dwReceiveSize));
    m_host.SendFileReply(true);
    m_host.ShowProgress(false, szName, m_dwReceiveSize);
    m_host.EnableFileButton(false);
    if (m_dwReceiveSize == 0) FinishReceive(true);
}

void CMessengerTransfer::RefuseOffer()
{
    if (!m_bPendingOffer) return;
    m_bPendingOffer = false;
    m_host.SendFileReply(false);
    m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ME"));
}

void CMessengerTransfer::EndOffer()
{
    m_bOfferOut = false;
    m_pSendFile.reset();
    m_host.EnableFileButton(true);
}

void CMessengerTransfer::Cancel()
{
    if (m_bPendingOffer)
    {
        RefuseOffer();
        return;
    }
    if (!Running() || (m_pSender && m_pSender->Cancelled()) || m_bReceiveCancelled) return;
    m_host.SendFileReply(false);
    m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ME"));
    if (m_bOfferOut)
    {
        EndOffer();
        m_host.UnlinkCancel();
    }
    else if (m_pSender)
    {
        m_bSendCancelled = true;
        m_pSender->Cancel();
    }
    else if (m_pReceiveFile)
    {
        m_bReceiveCancelled = true;
        FinishReceive(false);
    }
}

void CMessengerTransfer::OnReply(bool bAccepted)
{
    if (bAccepted)
    {
        // Only our outstanding offer starts a send: a late accept after a cancel re-sent the file.
        if (m_bOfferOut && !m_pSender) StartSend();
        return;
    }
    if (m_bPendingOffer)
    {
        m_bPendingOffer = false;
        m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ORDER"));
    }
    else if (m_bOfferOut)
    {
        EndOffer();
        m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ORDER"));
        m_host.UnlinkCancel();
    }
    else if (m_pSender && !m_pSender->Cancelled())
    {
        m_bSendCancelled = true;
        m_pSender->Cancel();
        m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ORDER"));
    }
    else if (m_pReceiveFile && !m_bReceiveCancelled)
    {
        // The peer's cancel ends the receive now: the next block may never come.
        m_bReceiveCancelled = true;
        m_host.AddLine(MSGKIND_FILE_CANCEL, m_host.Text("IDS_MSG_FILETRANS_CANCEL_ORDER"));
        FinishReceive(false);
    }
}

void CMessengerTransfer::StartSend()
{
    m_bOfferOut = false;
    m_bSendCancelled = false;
    m_bSendEnded = false;
    m_host.AddLine(MSGKIND_FILE_ANSWER, m_host.Text("IDS_MSG_FILETRANS_ACCEPTED"));
    m_host.ShowProgress(true, m_szSendName, m_dwSendSize);
    // A finished thread is joined before the next starts.
    if (m_sendThread.joinable()) m_sendThread.join();
    m_pSender = std::make_unique<CPacedSender>(m_clock, static_cast<IBlockLink&>(*this),
                                               STransferPace{kMessengerBlockBytes, m_dwBytesPerSecond});
    m_sendThread = std::thread(
        [this]
        {
            const CPacedSender::Result r = m_pSender->Run(*m_pSendFile);
            m_pSendFile.reset();
            m_bSendEnded = true;
            m_host.SetEndTimer(true, r == CPacedSender::SEND_DONE ? kTransferEndAfterLast : kTransferEndSoon);
        });
}

void CMessengerTransfer::OnData(const uint8_t* p, size_t n)
{
    if (!m_pReceiveFile || m_bReceiveCancelled) return;
    const size_t nTake = std::min<size_t>(n, m_dwReceiveSize - m_dwReceived);
    const size_t nWritten = nTake ? m_pReceiveFile->Write(p, nTake) : 0;
    m_dwReceived += static_cast<uint32_t>(nWritten);
    m_host.UpdateProgress(m_dwReceived, static_cast<uint32_t>(nWritten));
    if (nWritten < nTake)
        FinishReceive(false);
    else if (m_dwReceived >= m_dwReceiveSize)
        FinishReceive(true);
}

void CMessengerTransfer::OnDataAck(uint32_t nBytes)
{
    if (!m_pSender || !m_pSender->OnBlockSent(nBytes)) return;
    m_host.UpdateProgress(m_pSender->BytesSent(), nBytes);
}

void CMessengerTransfer::FinishReceive(bool bComplete)
{
    m_pReceiveFile.reset();
    m_bComplete = bComplete;
    if (!bComplete) m_folder.Remove(m_szReceiveName);
    m_host.SetEndTimer(false, bComplete ? kTransferEndAfterLast : kTransferEndSoon);
}

void CMessengerTransfer::OnSendEnd()
{
    // A stale timer while the thread still runs is not the end.
    if (!m_pSender || !m_bSendEnded) return;
    if (m_sendThread.joinable()) m_sendThread.join();
    m_pSender.reset();
    m_host.AddLine(MSGKIND_STATUS, m_bSendCancelled ? u"" : m_host.Text("IDS_MSG_FILESEND_END"));
    m_host.UnlinkCancel();
    m_host.EnableFileButton(true);
    m_host.CloseProgress();
}

void CMessengerTransfer::OnReceiveEnd()
{
    if (m_pReceiveFile) return;
    if (m_bComplete)
        m_host.AddLine(MSGKIND_STATUS, Formatted(nullptr, m_host.Text("IDS_MSG_FILERECV_END"),
                                                 m_folder.PathOf(m_szReceiveName)));
    else if (!m_bReceiveCancelled)
        m_host.AddLine(MSGKIND_STATUS, u"");
    m_dwReceived = 0;
    m_bReceiveCancelled = false;
    m_host.UnlinkCancel();
    m_host.EnableFileButton(true);
    m_host.CloseProgress();
}
