// The reader of inbound board messages: applies each to the page model, drives the download
// of page files from the presenter, and queues drawing for pages that have not arrived yet.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/view/BoardEvents.h"
#include "lmboard2/view/BoardPageModel.h"

class CBoardReader
{
public:
    CBoardReader(IBoardPageModel& model, IBoardEvents& events) : m_model(model), m_events(events) {}

    // One whole message as received. 1 when it was applied or ignored, 0 when it was refused
    // or queued. A message shorter than its header, longer than a board buffer or whose
    // payload runs past its end is refused, as is any name that could not be a page name.
    int Read(const uint8_t* pMsg, size_t nLen);

    // Private message 2131: DestroyProgress, then the queued messages in arrival order.
    void ReplayQueue();

    bool IsDownloading() const { return m_bDownloading; }
    bool IsReplaying() const { return m_bReplaying; }
    // Playback: messages that would change the live board are refused.
    void SetPlayerMode(bool bPlayer) { m_bPlayer = bPlayer; }
    bool IsPlayerMode() const { return m_bPlayer; }
    // Every message but a page selection marks the board modified (PlayerIsModify).
    bool IsModified() const { return m_bModified; }
    void ClearModified() { m_bModified = false; }
    // The upload of this board ended: the download flag goes with it.
    void ClearDownloading() { m_bDownloading = false; }
    size_t QueuedCount() const { return m_queue.size(); }

private:
    int ReadChecked(const uint8_t* pMsg, size_t nLen);
    int OnHostMode(const std::u16string& name);
    int OnTransferEnd();
    int OnUploadStart(const uint8_t* pMsg, const uint8_t* pPayload, size_t nPayload);
    int OnPageComplete(const std::u16string& name);
    int OnPageSelection(const uint8_t* pMsg, const std::u16string& name);
    int OnAgendaOrder(const uint8_t* pMsg, size_t nLen, size_t nPayload);
    int OnRecord(const uint8_t* pMsg, size_t nLen, const std::u16string& name, const uint8_t* pPayload,
                 size_t nPayload);
    int OnUploadCancel();
    int OnEBook(const std::u16string& name, const uint8_t* pPayload, size_t nPayload);

    int Queue(const uint8_t* pMsg, size_t nLen);
    // Announced pages whose names sort before this one (all with none) enter the list.
    void CompleteAnnounced(const std::u16string* pBefore);
    void ApplyPending();
    std::optional<std::u16string> PendingName() const;

    IBoardPageModel& m_model;
    IBoardEvents& m_events;

    bool m_bDownloading = false;
    bool m_bReplaying = false;
    bool m_bPlayer = false;
    bool m_bModified = false;
    bool m_bDocPageWait = false; // a selection of a document page waits for the last file
    uint32_t m_nExpected = 0;
    uint32_t m_nRemaining = 0;
    uint32_t m_dwNumbered = 0; // the word at 8 of the last announcement
    std::deque<std::vector<uint8_t>> m_queue;
    std::optional<std::vector<uint8_t>> m_pending; // a code-50 message for a page not listed yet
    std::vector<S_BOARD_FILEHDR> m_announced;
};
