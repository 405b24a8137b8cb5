// CSockBoard's plain messages: one per call, each in its own buffer, so that the
// upload worker's chunks and the GUI thread's messages never share one.
#include "lmboard2/boardmsg/SockBoard.h"

CSockBoard::CSockBoard(IBoardWriterOwner& owner, IBoardRecordStore& store, IBoardClock& clock,
                       BoardFolders folders)
    : m_owner(owner), m_store(store), m_clock(clock), m_folders(std::move(folders))
{
}

CSockBoard::~CSockBoard()
{
    std::unique_lock<std::mutex> lock(m_evLock);
    m_bClosing = true;
    m_evCv.notify_all();
    m_evCv.wait(lock, [this] { return m_nSenders == 0; });
}

void CSockBoard::Send(CBoardMessage& msg)
{
    std::optional<std::vector<uint8_t>> bytes = msg.Finish();
    if (bytes) m_owner.SendData(bytes->data(), bytes->size());
}

void CSockBoard::SendModeName(std::u16string_view name)
{
    CBoardMessage msg(BMSG_MODE, name);
    Send(msg);
    m_bModeSent = true;
}

void CSockBoard::SendTransferEnd()
{
    CBoardMessage msg(BMSG_TRANSFER_END);
    Send(msg);
    m_bModeSent = false;
}

void CSockBoard::SendUploadStart(uint32_t nFiles, uint32_t nTotalBytes)
{
    CBoardMessage msg(BMSG_UPLOAD_START);
    msg.PutNameU32(0, 0);
    msg.PutNameU32(4, nFiles);
    msg.PutNameU32(8, nTotalBytes);
    Send(msg);
}

void CSockBoard::SendPageHeader(const S_BOARD_FILEHDR& hdr)
{
    CBoardMessage msg(BMSG_PAGE_HEADER, S_BOARD_FILEHDR::Text(hdr.szName));
    uint8_t raw[kBoardFileHeaderSize];
    hdr.Write(raw);
    msg.AppendBytes(raw, sizeof raw);
    Send(msg);
}

void CSockBoard::SendPageChunk(std::u16string_view name, const uint8_t* pData, size_t nLen)
{
    CBoardMessage msg(BMSG_PAGE_CHUNK, name);
    msg.AppendBytes(pData, nLen);
    Send(msg);
}

void CSockBoard::SendPageComplete(std::u16string_view name)
{
    CBoardMessage msg(BMSG_PAGE_COMPLETE, name);
    Send(msg);
}

void CSockBoard::SendPageDelete(std::u16string_view name)
{
    CBoardMessage msg(BMSG_PAGE_DELETE, name);
    Send(msg);
}

void CSockBoard::SendCurrentPage(uint16_t wSlide)
{
    CBoardMessage msg(BMSG_CURRENT_PAGE, m_strPage, wSlide);
    Send(msg);
}

bool CSockBoard::SendAgendaOrder(std::u16string_view name, const uint8_t* pBuff, size_t nLen)
{
    CBoardMessage msg(BMSG_AGENDA_ORDER, name);
    msg.AppendBytes(pBuff, nLen);
    std::optional<std::vector<uint8_t>> bytes = msg.Finish();
    if (!bytes) return false;
    m_owner.SendData(bytes->data(), bytes->size());
    return true;
}

void CSockBoard::SendAgendaName(std::u16string_view name, const uint8_t* pBuff72)
{
    CBoardMessage msg(BMSG_AGENDA_NAME, name);
    msg.AppendBytes(pBuff72, 72);
    Send(msg);
}

void CSockBoard::SendDownloadAck(uint32_t nFiles)
{
    CBoardMessage msg(BMSG_DOWNLOAD_ACK);
    msg.PutNameU32(0, 1);
    msg.PutNameU32(4, nFiles);
    Send(msg);
}

void CSockBoard::SendZoom(uint16_t nZoom)
{
    CBoardMessage msg(BMSG_ZOOM);
    msg.PutNameU16(0, nZoom);
    Send(msg);
}

void CSockBoard::SendUploadCancel()
{
    CBoardMessage msg(BMSG_UPLOAD_CANCEL);
    Send(msg);
}

void CSockBoard::SendEBookSelection(std::u16string_view title, uint32_t nLevel, uint32_t nStep,
                                    uint32_t nPage)
{
    CBoardMessage msg(BMSG_EBOOK, title);
    msg.AppendU32(nLevel);
    msg.AppendU32(nStep);
    msg.AppendU32(nPage);
    msg.AppendU32(0);
    Send(msg);
}

std::vector<uint8_t> CSockBoard::RecordStartData(uint16_t wSlide, uint16_t nZoom) const
{
    std::vector<uint8_t> out;
    if (m_strPage.empty()) return out;
    CBoardMessage page(BMSG_CURRENT_PAGE, m_strPage, wSlide);
    out = *page.Finish();
    if (nZoom != 4096)
    {
        CBoardMessage zoom(BMSG_ZOOM);
        zoom.PutNameU16(0, nZoom);
        std::vector<uint8_t> z = *zoom.Finish();
        out.insert(out.end(), z.begin(), z.end());
    }
    return out;
}

int CSockBoard::SetBandwidth(int32_t nBytesPerSec)
{
    if (nBytesPerSec < 0) return -1;
    m_nBandwidth = static_cast<uint32_t>(nBytesPerSec);
    return 0;
}
