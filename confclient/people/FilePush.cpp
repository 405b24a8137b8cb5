// The room's file push: send thread, receive file and their ends.
#include "confclient/people/FilePush.h"

#include <algorithm>

#include "confclient/session/texttable/TextTable.h"

namespace
{
// The chat notice kinds of the push: a plain line, and a refusal.
constexpr int kKindNotice = 0;
constexpr int kKindRefusal = 1;
} // namespace

uint32_t TransferKilobytes(uint64_t nSize)
{
    return static_cast<uint32_t>(std::max<uint64_t>(nSize / 1000, 1));
}

CFilePush::CFilePush(IFilePushHost& host, IRoomNotices& notices, IDownloadFolder& folder, IPaceClock& clock,
                     IFileSendCalOwner& progressOwner, SRemainFormats formats, uint32_t dwBytesPerSecond)
    : m_host(host), m_notices(notices), m_folder(folder), m_clock(clock),
      m_dwBytesPerSecond(dwBytesPerSecond), m_sendProgress(progressOwner, formats),
      m_receiveProgress(progressOwner, formats)
{
}

CFilePush::~CFilePush()
{
    if (m_pSender) m_pSender->Cancel();
    JoinSender();
    if (m_pReceiveFile)
    {
        m_pReceiveFile.reset();
        m_folder.Remove(m_szReceiveName);
    }
}

void CFilePush::JoinSender()
{
    if (m_sendThread.joinable()) m_sendThread.join();
}

bool CFilePush::StartPush(std::unique_ptr<ISendFile> file, const std::u16string& szName, uint64_t nSize)
{
    if (m_bBusy)
    {
        m_notices.ShowBox(m_notices.Text("IDS_MSG_PUSHRECV_ING"));
        return false;
    }
    // A size the u32 field would wrap left receivers a truncated file they took as complete.
    if (!file || nSize > kMaxSize)
    {
        m_notices.ShowBox(m_notices.Text("IDS_MSG_FILETRANS_OPENFAILED"));
        return false;
    }
    JoinSender();
    m_bSending = true;
    m_bSendEnded = false;
    m_host.UpdatePushMenu();
    m_szSendName = szName;
    m_sendProgress.Start(static_cast<uint32_t>(nSize), szName);
    m_host.SendPushFile(static_cast<uint32_t>(nSize), szName);

    m_pSendFile = std::move(file);
    m_pSender = std::make_unique<CPacedSender>(m_clock, static_cast<IBlockLink&>(*this),
                                               STransferPace{kPushBlockBytes, m_dwBytesPerSecond});
    m_sendThread = std::thread(
        [this]
        {
            const CPacedSender::Result r = m_pSender->Run(*m_pSendFile);
            m_pSendFile.reset();
            m_bSendEnded = true;
            m_host.SetPushEndTimer(r == CPacedSender::SEND_DONE ? kTransferEndAfterLast : kTransferEndSoon);
        });
    m_bBusy = true;
    m_notices.AddChatNotice(
        Formatted(nullptr, m_notices.Text("IDS_MSG_PUSHSEND_START"), szName, TransferKilobytes(nSize)),
        kKindNotice);
    return true;
}

void CFilePush::OnPushChunkSent(uint32_t nBytes)
{
    if (!m_bSending || !m_pSender || !m_pSender->OnBlockSent(nBytes)) return;
    m_sendProgress.Update(static_cast<uint32_t>(std::min<uint64_t>(m_pSender->BytesSent(), kMaxSize)));
}

void CFilePush::CancelFilePush(bool bTell)
{
    if (m_bSending && m_pSender)
    {
        if (m_pSender->Cancelled()) return;
        m_pSender->Cancel();
        if (bTell) m_host.SendPushCancel();
        m_host.EndPushProgressLine();
        return;
    }
    // A receiver's cancel is its own: telling the room in its name stopped the other receivers.
    if (m_pReceiveFile) AbortPushReceive();
}

bool CFilePush::BeginPushReceive(const std::u16string& szName, uint32_t dwSize, uint16_t wSender,
                                 const std::u16string& szSenderName)
{
    if (m_bBusy)
    {
        m_notices.AddChatNotice(szSenderName + u" " + m_notices.Text("IDS_MSG_PUSHRECV_ING"), kKindRefusal);
        return false;
    }
    std::u16string szSafe = szName;
    std::unique_ptr<IReceiveFile> file = CreateReceiveFile(m_folder, szSafe);
    if (!file)
    {
        m_host.UpdatePushMenu();
        return false;
    }
    m_pReceiveFile = std::move(file);
    m_szReceiveName = szSafe;
    m_dwExpected = dwSize;
    m_dwReceived = 0;
    m_wPushSender = wSender;
    m_bBusy = true;
    m_host.UpdatePushMenu();
    m_receiveProgress.Start(dwSize, szSafe);
    m_notices.AddChatNotice(m_notices.Text("IDS_MSG_PUSH_MAN"), kKindNotice);
    m_notices.AddChatNotice(szSenderName + u" " + m_notices.Text("IDS_MSG_PUSHRECV_START"), kKindNotice);
    // An empty file is complete as soon as it exists.
    if (dwSize == 0) FinishPushReceive(true);
    return true;
}

void CFilePush::OnPushData(uint16_t wSender, const uint8_t* p, size_t n)
{
    if (!m_pReceiveFile || wSender != m_wPushSender) return;
    // Bytes past the announced size are not the file's.
    const size_t nTake = std::min<size_t>(n, m_dwExpected - m_dwReceived);
    const size_t nWritten = nTake ? m_pReceiveFile->Write(p, nTake) : 0;
    m_dwReceived += static_cast<uint32_t>(nWritten);
    m_receiveProgress.Update(m_dwReceived);
    if (nWritten < nTake)
        FinishPushReceive(false);
    else if (m_dwReceived >= m_dwExpected)
        FinishPushReceive(true);
}

void CFilePush::FinishPushReceive(bool bOk)
{
    m_wPushSender = kNoSender;
    m_pReceiveFile.reset();
    if (!bOk)
        m_folder.Remove(m_szReceiveName);
    else
    {
        m_host.AddReceivedFile(m_folder.PathOf(m_szReceiveName));
        if (++m_nReceivedNotices == 100) m_nReceivedNotices = 0;
    }
    m_host.SetPushEndTimer(kTransferEndAfterLast);
}

void CFilePush::OnPushCancelled(uint16_t wSender, const std::u16string& szSenderName)
{
    // A stray or late 523 deleted the last complete download: only the running receive's sender
    // ends it, and only the file it created goes.
    if (!m_pReceiveFile || wSender != m_wPushSender) return;
    m_notices.AddChatNotice(m_notices.Text("IDS_MSG_PUSH_MAN") + u" " + szSenderName + u" " +
                                m_notices.Text("IDS_MSG_PUSHSEND_CANCEL"),
                            kKindNotice);
    AbortPushReceive();
}

void CFilePush::AbortPushReceive()
{
    m_pReceiveFile.reset();
    m_folder.Remove(m_szReceiveName);
    m_wPushSender = kNoSender;
    m_host.EndPushProgressLine();
    m_host.SetPushEndTimer(kTransferEndSoon);
}

void CFilePush::EndPush()
{
    // A timer left from a receive does not end a push being sent; once the thread has ended, any
    // report is stale.
    if (m_bSending && !m_bSendEnded) return;
    JoinSender();
    m_pSender.reset();
    m_bBusy = m_pReceiveFile != nullptr;
    m_bSending = false;
    m_host.UpdatePushMenu();
}
