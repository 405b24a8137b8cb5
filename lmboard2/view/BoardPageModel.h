// What the reader of inbound board messages needs from the board view: its page list, its
// page files and its screen. The view implements it; the tests script it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"

class IBoardPageModel
{
public:
    virtual ~IBoardPageModel() = default;
    // Posts the mode change of a code-2 message to the view (private message 2125).
    virtual void PostHostMode(int nMode, const std::u16string& modeName) = 0;
    // Ends a document conversion in progress.
    virtual void EndConversion() = 0;

    // The page list.
    virtual bool HasPage(const std::u16string& name) const = 0;
    virtual std::optional<S_BOARD_FILEHDR> ListedHeader(const std::u16string& name) const = 0;
    // The page enters the list; the view fires AddPage(0, hdr).
    virtual void AddPage(const S_BOARD_FILEHDR& hdr) = 0;
    virtual int CurrentIndex() const = 0;
    virtual size_t PageCount() const = 0;
    virtual std::u16string CurrentPageName() const = 0;
    virtual std::u16string AgendaName() const = 0;
    virtual bool IsWebMode() const = 0;
    // Selects a page (private message 2126 done at once); bSend tells the others.
    virtual void SelectPage(int nIndex, bool bSend) = 0;
    // Applies a 72-byte code-50 message to a listed page.
    virtual void ApplyPageSelection(const uint8_t* pMsg) = 0;
    virtual void EmptyUploadList() = 0;

    // Page files: the header of an existing local page file; a received page file built
    // from codes 30, 31 and 32 (the page enters the list at the end); the one being received
    // dropped with its background.
    virtual std::optional<S_BOARD_FILEHDR> LocalHeader(const std::u16string& name) = 0;
    virtual bool BeginReceive(const uint8_t* pMsg, size_t nLen) = 0;
    virtual bool ReceiveChunk(const uint8_t* pMsg, size_t nLen) = 0;
    virtual bool EndReceive(const std::u16string& name) = 0;
    virtual void CancelReceive() = 0;
    // Code 40: the page or agenda of that name leaves (files and list), DeletePage fired.
    virtual void DeletePageByName(const std::u16string& name) = 0;
    // Code 53: reorders the list by the order message; the new order, or nothing when the
    // message names no usable order. A header missing from the order is an empty slot.
    virtual std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> ApplyAgendaOrder(const uint8_t* pMsg,
                                                                                        size_t nLen) = 0;
    // Code 56: the rename block (72 bytes) applied to the named page and its files.
    virtual void RenamePages(const std::u16string& name, const uint8_t* pBlock) = 0;

    // A drawing record: kept in its page's file, drawn on the current page or without page.
    virtual void StoreRecord(const std::u16string& page, const uint8_t* pRecord, size_t nLen) = 0;
    virtual void DrawRecord(const uint8_t* pRecord, size_t nLen) = 0;
    // Code 81: the zoom from a peer, not sent on.
    virtual void SetZoomFromPeer(uint16_t nZoom) = 0;
    // Code 90: the e-book page selected.
    virtual void SelectEBookPage(const std::u16string& title, uint32_t nLevel, uint32_t nStep,
                                 uint32_t nPage) = 0;
    // Posts the queue replay to the view (private message 2131).
    virtual void PostReplay() = 0;
    // Code 80 with the count of page files received.
    virtual void SendDownloadAck(uint32_t nFiles) = 0;
};
