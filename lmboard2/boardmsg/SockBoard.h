// CSockBoard: the writer of board messages. It builds every outgoing message and
// drawing record, stores records in the current page's file before they go out, and
// sends whole page files in paced chunks, one chunk per "sent" notice from the host.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"
#include "lmboard2/boardbase/BoardFolders.h"
#include "lmboard2/boardbase/BoardRecord.h"
#include "lmboard2/boardmsg/BoardClock.h"
#include "lmboard2/boardmsg/BoardMessage.h"

// The control's side of the writer.
class IBoardWriterOwner
{
public:
    virtual ~IBoardWriterOwner() = default;
    // Fires SendData with one whole message; called on the GUI thread or the upload worker.
    virtual void SendData(const uint8_t* pData, size_t nLen) = 0;
    // Fires ProgressChange for a page data chunk that has left the machine.
    virtual void ProgressChange(uint32_t nBytes) = 0;
    // Takes a page whose file has gone out whole as a finished local page (upload worker).
    virtual void AddLocalPage(const S_BOARD_FILEHDR& hdr) = 0;
};

// Where drawing records are kept before they are sent: the page store.
class IBoardRecordStore
{
public:
    virtual ~IBoardRecordStore() = default;
    // Appends one record (u16 length, type, fields, terminator) to the page's file; false when not stored.
    virtual bool AppendRecord(const std::u16string& page, const uint8_t* pRecord, size_t nLen) = 0;
};

class CSockBoard
{
public:
    CSockBoard(IBoardWriterOwner& owner, IBoardRecordStore& store, IBoardClock& clock, BoardFolders folders);
    // Wakes a file sending that waits for its chunk and waits until it has left.
    ~CSockBoard();
    CSockBoard(const CSockBoard&) = delete;
    CSockBoard& operator=(const CSockBoard&) = delete;

    // The page that drawing records and code 50 are stamped with.
    void SetCurrentPage(std::u16string name) { m_strPage = std::move(name); }
    const std::u16string& CurrentPage() const { return m_strPage; }

    // Messages (each is built in a buffer of its own and fired at once).
    void SendModeName(std::u16string_view name);
    void SendTransferEnd();
    void SendUploadStart(uint32_t nFiles, uint32_t nTotalBytes);
    void SendPageHeader(const S_BOARD_FILEHDR& hdr);
    void SendPageChunk(std::u16string_view name, const uint8_t* pData, size_t nLen);
    void SendPageComplete(std::u16string_view name);
    void SendPageDelete(std::u16string_view name);
    void SendCurrentPage(uint16_t wSlide);
    bool SendAgendaOrder(std::u16string_view name, const uint8_t* pBuff, size_t nLen);
    void SendAgendaName(std::u16string_view name, const uint8_t* pBuff72);
    void SendDownloadAck(uint32_t nFiles);
    void SendZoom(uint16_t nZoom);
    void SendUploadCancel();
    void SendEBookSelection(std::u16string_view title, uint32_t nLevel, uint32_t nStep, uint32_t nPage);

    // True once a mode name went out, until the next end of transfer.
    bool IsModeSent() const { return m_bModeSent; }

    // The messages a recording starts with: code 50 for the current page and, when the
    // zoom is not 4096, code 81; empty without a current page.
    std::vector<uint8_t> RecordStartData(uint16_t wSlide, uint16_t nZoom) const;

    // Drawing records. Each is stored in the current page's file first and sent only
    // when that succeeded (168 is never stored). Return whether the record went out.
    bool SendClear();
    bool SendPointer(uint16_t x, uint16_t y);
    bool SendScroll(uint16_t x, uint16_t y);
    bool SendStamp(uint16_t x, uint16_t y);
    bool SendText(uint32_t dwColor, uint16_t left, uint16_t top, uint16_t right, uint16_t bottom,
                  const S_BOARD_LOGFONT& font, std::u16string_view text);
    bool SendBrowserAddress(std::u16string_view address);

    // Point records: the first point begins the record with the stroke's start (x0, y0);
    // each call adds one point; a record that fills the message, or the last point, is
    // sent. A stroke that goes on in a new record starts it at the point it stopped at.
    void AddPenPoint(const BoardPen& pen, uint16_t x0, uint16_t y0, uint16_t x, uint16_t y, bool bLast);
    void AddShapePoint(const BoardPen& pen, uint8_t byKind, uint16_t x0, uint16_t y0, uint16_t x, uint16_t y,
                       bool bLast);
    void AddEraserPoint(uint16_t x, uint16_t y, bool bLast);
    // Sends the record being built, if any, as it stands.
    void FlushRecord();

    // Upload pace in bytes per second (0: none); −1 and no change for a negative value.
    int SetBandwidth(int32_t nBytesPerSec);
    // Starts the pace of an upload: the files sent after it share one schedule.
    void StartPacing();

    // Sends one page file (code 30, chunks of code 31, code 32) and hands it to the owner
    // as a local page; false when it cannot be read or the upload was cancelled.
    bool SendFile(const S_BOARD_FILEHDR& hdr);
    // The upload's cancel flag: setting it also wakes a chunk wait.
    void SetUploadCancel(bool bCancel);
    bool IsUploadCancelled() const;

    // The host's notice that a board message has left the machine.
    void SucSendBoardData(const uint8_t* pData, size_t nLen);

private:
    void Send(CBoardMessage& msg);
    void BeginRecord(uint8_t byType);
    bool FinishRecord();
    void AddPoint(uint8_t byType, const BoardPen* pPen, uint8_t byKind, uint16_t x0, uint16_t y0, uint16_t x,
                  uint16_t y, bool bLast);
    void ResetChunkSent();
    bool WaitChunkSent();

    IBoardWriterOwner& m_owner;
    IBoardRecordStore& m_store;
    IBoardClock& m_clock;
    const BoardFolders m_folders;

    std::u16string m_strPage;
    std::atomic<bool> m_bModeSent{false};
    std::atomic<uint32_t> m_nBandwidth{0};
    // The pace of an upload (the one sending thread only): its start tick, the rate it runs at,
    // the bytes sent since and the time lost to stalls, which is not made up.
    void BeginPace(uint32_t nBandwidth);
    void Pace(size_t nSent);
    uint32_t m_nPaceTick = 0;
    uint32_t m_nPaceRate = 0;
    uint64_t m_nPaceBytes = 0;
    uint64_t m_nPaceLostUs = 0;

    // The record being built (GUI thread only).
    std::optional<CBoardMessage> m_rec;
    uint8_t m_byRecType = 0;
    uint8_t m_byContinueType = 0; // a point record that filled its message goes on from m_ptLast
    uint16_t m_ptLast[2] = {0, 0};

    // The chunk-sent event and what else ends its wait.
    mutable std::mutex m_evLock;
    std::condition_variable m_evCv;
    bool m_bChunkSent = false;
    bool m_bCancel = false;
    bool m_bClosing = false;
    int m_nSenders = 0;
};
