// Inbound board messages, one case per code.
#include "lmboard2/view/BoardReader.h"

#include "lmboard2/boardbase/BoardName.h"
#include "lmboard2/boardmsg/BoardMessage.h"

namespace
{
uint16_t U16At(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32At(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

constexpr size_t kRenameBlockSize = 72;
constexpr size_t kEBookPayload = 16; // level, step, page, size
constexpr size_t kOrderItemSize = 12;
constexpr size_t kOrderItemsOffset = 8; // in the payload: count (at 76), operation, side, then items
} // namespace

int CBoardReader::Read(const uint8_t* pMsg, size_t nLen)
{
    if (!pMsg || nLen < kBoardMsgHeaderSize || nLen > kBoardMsgBuffer) return 0;
    return ReadChecked(pMsg, nLen);
}

int CBoardReader::ReadChecked(const uint8_t* pMsg, size_t nLen)
{
    std::optional<BoardMessageView> msg = ReadBoardMessage(pMsg, nLen);
    if (!msg) return 0;
    const uint8_t byCode = msg->hdr.byCode;
    const uint8_t* pPayload = msg->pPayload;
    const size_t nPayload = msg->hdr.dwPayloadLen;
    if (byCode != BMSG_CURRENT_PAGE) m_bModified = true;

    // Codes whose name becomes a file or list name take it only when it is a safe page name.
    auto name = [&] { return msg->SafeName(); };
    switch (byCode)
    {
    case BMSG_HOST_MODE:
    {
        if (m_bPlayer) return 0;
        std::u16string text = S_BOARD_FILEHDR::Text(msg->hdr.szName);
        return OnHostMode(text);
    }
    case BMSG_END_CONVERSION:
        if (m_bPlayer) return 0;
        m_model.EndConversion();
        m_events.ErrorMessage(2);
        return 1;
    case BMSG_TRANSFER_END:
        return OnTransferEnd();
    case BMSG_UPLOAD_START:
        return OnUploadStart(pMsg, pPayload, nPayload);
    case BMSG_PAGE_HEADER:
    {
        std::optional<std::u16string> page = name();
        if (nPayload != kBoardFileHeaderSize || !page) return 0;
        CompleteAnnounced(&*page);
        m_model.BeginReceive(pMsg, nLen);
        return 1;
    }
    case BMSG_PAGE_CHUNK:
        m_events.ProgressChange(static_cast<uint32_t>(nPayload));
        m_model.ReceiveChunk(pMsg, nLen);
        return 1;
    case BMSG_PAGE_COMPLETE:
    {
        std::optional<std::u16string> page = name();
        return page ? OnPageComplete(*page) : 0;
    }
    case BMSG_PAGE_DELETE:
    {
        std::optional<std::u16string> page = name();
        if (!page) return 0;
        m_model.DeletePageByName(*page);
        return 1;
    }
    case BMSG_CURRENT_PAGE:
    {
        std::optional<std::u16string> page = name();
        return page ? OnPageSelection(pMsg, *page) : 0;
    }
    case BMSG_AGENDA_ORDER:
        return OnAgendaOrder(pMsg, nLen, nPayload);
    case BMSG_ERROR7:
        m_events.ErrorMessage(7);
        return 1;
    case BMSG_AGENDA_NAME:
    {
        std::optional<std::u16string> page = name();
        if (!page || nPayload < kRenameBlockSize) return 0;
        m_model.RenamePages(*page, pPayload);
        m_events.DoChangeAgendaName(pMsg);
        return 1;
    }
    case BMSG_ERROR8:
        m_events.ErrorMessage(8);
        return 1;
    case BMSG_RECORD:
    {
        std::optional<std::u16string> page = name();
        return page ? OnRecord(pMsg, nLen, *page, pPayload, nPayload) : 0;
    }
    case BMSG_BROWSER_RECORD:
        if (m_bDownloading) return Queue(pMsg, nLen);
        m_model.DrawRecord(pPayload, nPayload);
        return 1;
    case BMSG_ZOOM:
        m_model.SetZoomFromPeer(U16At(pMsg + 8));
        return 1;
    case BMSG_UPLOAD_CANCEL:
        return OnUploadCancel();
    case BMSG_EBOOK:
    {
        std::optional<std::u16string> title = name();
        return title ? OnEBook(*title, pPayload, nPayload) : 0;
    }
    case BMSG_ERROR0:
        if (m_bPlayer) return 0;
        m_events.ErrorMessage(0);
        return 1;
    default:
        return 1;
    }
}

int CBoardReader::OnHostMode(const std::u16string& name)
{
    int nMode = 4;
    if (name == u"Capture")
        nMode = 7;
    else if (name == u"Browser")
        nMode = 2;
    else if (name == u"ClipBoard")
        nMode = 5;
    else if (name == u"Edit_Del")
    {
        m_events.DeletePage(0);
        return 1;
    }
    m_model.PostHostMode(nMode, name);
    return 1;
}

int CBoardReader::OnTransferEnd()
{
    std::optional<std::u16string> pending = PendingName();
    bool bPendingAnnounced = false;
    for (const S_BOARD_FILEHDR& hdr : m_announced)
    {
        std::u16string page = S_BOARD_FILEHDR::Text(hdr.szName);
        if (pending && *pending == page) bPendingAnnounced = true;
        if (!m_model.HasPage(page)) m_model.AddPage(hdr);
    }
    m_announced.clear();
    if (bPendingAnnounced) ApplyPending();
    m_model.PostReplay();
    if (m_nExpected > 0 && m_nRemaining == 0 && m_dwNumbered == 0)
    {
        m_model.SendDownloadAck(m_nExpected);
        m_nExpected = 0;
        m_nRemaining = 0;
    }
    return 1;
}

int CBoardReader::OnUploadStart(const uint8_t* pMsg, const uint8_t* pPayload, size_t nPayload)
{
    m_bDownloading = true;
    m_bDocPageWait = false;
    m_model.EmptyUploadList();
    m_dwNumbered = U32At(pMsg + 8);
    const uint32_t nCount = U32At(pMsg + 12);
    m_nExpected += nCount;
    m_nRemaining += nCount;
    if (m_dwNumbered == 0 || nCount != 0) m_events.CreateProgress(true);
    m_events.SetTotalSize(U32At(pMsg + 16));
    m_events.SetFileCount(m_nExpected - m_nRemaining + 1, m_nExpected);
    if (m_dwNumbered == 0) return 1;

    // The presenter names pages that this board may already hold: those are taken from here.
    const std::u16string agenda = m_model.AgendaName();
    for (size_t i = 0; i + 2 <= nPayload; i += 2)
    {
        std::optional<std::u16string> page = MakePageName(agenda, U16At(pPayload + i));
        if (!page) continue;
        std::optional<S_BOARD_FILEHDR> hdr = m_model.LocalHeader(*page);
        if (!hdr) continue;
        if (m_nExpected > 0)
            m_announced.push_back(*hdr);
        else
            m_model.AddPage(*hdr);
    }
    return 1;
}

int CBoardReader::OnPageComplete(const std::u16string& name)
{
    CompleteAnnounced(&name);
    m_model.EndReceive(name);
    if (m_nRemaining > 0) m_nRemaining--;
    if (m_nRemaining > 0) m_events.SetFileCount(m_nExpected - m_nRemaining + 1, m_nExpected);

    std::optional<std::u16string> pending = PendingName();
    if (pending && *pending == name)
    {
        std::optional<S_BOARD_FILEHDR> hdr = m_model.ListedHeader(name);
        if (hdr && hdr->byKind == PAGE_DOCUMENT)
            m_bDocPageWait = true;
        else
            ApplyPending();
    }
    if (m_bDocPageWait && m_nRemaining == 0 && m_pending)
    {
        m_bDocPageWait = false;
        ApplyPending();
    }
    return 1;
}

int CBoardReader::OnPageSelection(const uint8_t* pMsg, const std::u16string& name)
{
    if (m_model.HasPage(name))
    {
        m_pending.reset();
        m_model.ApplyPageSelection(pMsg);
        return 1;
    }
    m_pending.emplace(pMsg, pMsg + kBoardMsgHeaderSize);
    return 1;
}

int CBoardReader::OnAgendaOrder(const uint8_t* pMsg, size_t nLen, size_t nPayload)
{
    // The count at 76 (in the payload) and the items it counts must lie within the payload.
    if (nPayload < kOrderItemsOffset) return 0;
    size_t nItems = U16At(pMsg + 76);
    if ((nPayload - kOrderItemsOffset) / kOrderItemSize < nItems) return 0;
    auto order = m_model.ApplyAgendaOrder(pMsg, nLen);
    if (!order) return 0;
    const size_t n = order->size();
    for (size_t i = 0; i < n; i++)
    {
        if (!(*order)[i]) return 0;
        int nType = i == n - 1 ? 2 : (i == 0 ? 1 : 0);
        m_events.AddPage(nType, *(*order)[i]);
    }
    return 1;
}

int CBoardReader::OnRecord(const uint8_t* pMsg, size_t nLen, const std::u16string& name,
                           const uint8_t* pPayload, size_t nPayload)
{
    // Once something waits, everything after it waits too, so that order is kept.
    if (m_bDownloading && (!m_queue.empty() || !m_model.HasPage(name))) return Queue(pMsg, nLen);
    m_model.StoreRecord(name, pPayload, nPayload);
    if (name == m_model.CurrentPageName()) m_model.DrawRecord(pPayload, nPayload);
    return 1;
}

int CBoardReader::OnUploadCancel()
{
    m_events.DestroyProgress();
    m_nExpected = 0;
    m_nRemaining = 0;
    if (m_bDownloading)
    {
        m_bDownloading = false;
        m_model.CancelReceive();
    }
    return 1;
}

int CBoardReader::OnEBook(const std::u16string& title, const uint8_t* pPayload, size_t nPayload)
{
    if (nPayload < kEBookPayload) return 0;
    const uint32_t dwSize = U32At(pPayload + 12);
    if (dwSize != 0)
    {
        m_nExpected++;
        m_nRemaining++;
        m_bDownloading = true;
        m_events.SetTotalSize(dwSize);
    }
    m_model.SelectEBookPage(title, U32At(pPayload), U32At(pPayload + 4), U32At(pPayload + 8));
    return 1;
}

int CBoardReader::Queue(const uint8_t* pMsg, size_t nLen)
{
    m_queue.emplace_back(pMsg, pMsg + nLen);
    return 0;
}

void CBoardReader::CompleteAnnounced(const std::u16string* pBefore)
{
    std::vector<S_BOARD_FILEHDR> later;
    for (const S_BOARD_FILEHDR& hdr : m_announced)
    {
        std::u16string page = S_BOARD_FILEHDR::Text(hdr.szName);
        if (pBefore && !(page < *pBefore))
        {
            later.push_back(hdr);
            continue;
        }
        if (!m_model.HasPage(page)) m_model.AddPage(hdr);
    }
    m_announced = std::move(later);
}

std::optional<std::u16string> CBoardReader::PendingName() const
{
    if (!m_pending) return std::nullopt;
    return SafeNameFromField(S_BOARD_MSGHDR::Read(m_pending->data()).szName);
}

void CBoardReader::ApplyPending()
{
    std::vector<uint8_t> msg = std::move(*m_pending);
    m_pending.reset();
    m_model.ApplyPageSelection(msg.data());
}

void CBoardReader::ReplayQueue()
{
    m_events.DestroyProgress();
    m_bReplaying = true;
    m_bDownloading = false;
    while (!m_queue.empty())
    {
        std::vector<uint8_t> msg = std::move(m_queue.front());
        m_queue.pop_front();
        ReadChecked(msg.data(), msg.size());
    }
    if (m_model.CurrentIndex() == 0 && m_model.PageCount() == 1 && !m_model.IsWebMode())
        m_model.SelectPage(0, false);
    m_bReplaying = false;
}
