// CSockBoard's file sending: a page file in chunks of one payload, each waiting for
// the host's "sent" notice, paced to the upload bandwidth; and that notice itself.
#include <fstream>

#include "lmboard2/boardmsg/SockBoard.h"

void CSockBoard::SetUploadCancel(bool bCancel)
{
    std::lock_guard<std::mutex> lock(m_evLock);
    m_bCancel = bCancel;
    m_evCv.notify_all();
}

bool CSockBoard::IsUploadCancelled() const
{
    std::lock_guard<std::mutex> lock(m_evLock);
    return m_bCancel;
}

void CSockBoard::ResetChunkSent()
{
    std::lock_guard<std::mutex> lock(m_evLock);
    m_bChunkSent = false;
}

bool CSockBoard::WaitChunkSent()
{
    // A frame the host dropped must not hang the worker: cancel and destruction wake it too.
    std::unique_lock<std::mutex> lock(m_evLock);
    m_evCv.wait(lock, [this] { return m_bChunkSent || m_bCancel || m_bClosing; });
    bool bSent = m_bChunkSent && !m_bClosing;
    m_bChunkSent = false;
    return bSent;
}

void CSockBoard::SucSendBoardData(const uint8_t* pData, size_t nLen)
{
    {
        std::lock_guard<std::mutex> lock(m_evLock);
        m_bChunkSent = true;
        m_evCv.notify_all();
    }
    std::optional<BoardMessageView> msg = ReadBoardMessage(pData, nLen);
    if (msg && msg->hdr.byCode == BMSG_PAGE_CHUNK) m_owner.ProgressChange(msg->hdr.dwPayloadLen);
}

void CSockBoard::StartPacing()
{
    m_nPaceRate = 0;
}

void CSockBoard::BeginPace(uint32_t nBandwidth)
{
    if (nBandwidth == m_nPaceRate) return;
    // A new upload, or a new rate: the schedule starts again with the chunk about to go.
    m_nPaceRate = nBandwidth;
    m_nPaceTick = m_clock.TickCount();
    m_nPaceBytes = 0;
    m_nPaceLostUs = 0;
}

void CSockBoard::Pace(size_t nSent)
{
    const uint32_t nBandwidth = m_nPaceRate;
    if (!nBandwidth) return;
    // Each chunk owns its share of time at the rate: the next goes once the bytes sent so far are
    // due, so no second carries more than the rate and the whole upload averages at most the rate.
    m_nPaceBytes += nSent;
    const uint64_t nChunkUs = nSent * 1000000ull / nBandwidth;
    const uint64_t nNowUs = static_cast<uint32_t>(m_clock.TickCount() - m_nPaceTick) * 1000ull;
    uint64_t nDueUs = m_nPaceBytes * 1000000ull / nBandwidth + m_nPaceLostUs;
    // A chunk that comes late earns at most one chunk of credit: a stall (a slow host, a coarse
    // sleep) is not made up in a burst.
    if (nNowUs > nDueUs + nChunkUs)
    {
        m_nPaceLostUs += nNowUs - nDueUs - nChunkUs;
        nDueUs = nNowUs - nChunkUs;
    }
    if (nDueUs > nNowUs) m_clock.Sleep(static_cast<uint32_t>((nDueUs - nNowUs + 999) / 1000));
}

bool CSockBoard::SendFile(const S_BOARD_FILEHDR& hdr)
{
    {
        std::lock_guard<std::mutex> lock(m_evLock);
        if (m_bClosing) return false;
        ++m_nSenders;
    }
    struct Leave
    {
        CSockBoard* p;
        ~Leave()
        {
            std::lock_guard<std::mutex> lock(p->m_evLock);
            --p->m_nSenders;
            p->m_evCv.notify_all();
        }
    } leave{this};

    std::u16string name = S_BOARD_FILEHDR::Text(hdr.szName);
    std::optional<std::filesystem::path> path = m_folders.PageFile(name);
    if (!path) return false;
    std::ifstream file(*path, std::ios::binary);
    if (!file) return false;
    file.seekg(kBoardFileHeaderSize);
    if (!file) return false;

    SendPageHeader(hdr);
    uint8_t chunk[kBoardPayloadMax];
    while (!IsUploadCancelled())
    {
        file.read(reinterpret_cast<char*>(chunk), sizeof chunk);
        size_t nRead = static_cast<size_t>(file.gcount());
        if (nRead > 0)
        {
            // The schedule spans the files of an upload, so many small pages are paced too.
            BeginPace(m_nBandwidth);
            ResetChunkSent();
            SendPageChunk(name, chunk, nRead);
            if (!WaitChunkSent()) return false; // cancelled, or the writer is going away
            Pace(nRead);
        }
        if (nRead == sizeof chunk) continue;
        file.close();
        SendPageComplete(name);
        m_owner.AddLocalPage(hdr);
        return true;
    }
    return false;
}
