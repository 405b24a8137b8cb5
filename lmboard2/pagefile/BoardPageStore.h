// CBoardPageStore: the board's page files in the page folder. It creates them, appends
// drawing records, rebuilds received pages chunk by chunk (codes 30, 31, 32), turns
// old-header pages into the current form, and walks a page's records for replay.
// It keeps one file open for receiving and one for appending.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"
#include "lmboard2/boardbase/BoardFolders.h"
#include "lmboard2/boardmsg/SockBoard.h"
#include "lmboard2/pagefile/OldFileHeader.h"
#include "lmboard2/records/DrawSurface.h"

// The board view's side of the page store.
class IPageStoreOwner
{
public:
    virtual ~IPageStoreOwner() = default;
    // A received or loaded page enters the board's page list (AddPage).
    virtual void AddPage(const S_BOARD_FILEHDR& hdr) = 0;
    // Fires ErrorMessage(nErr); 0 for a damaged page file.
    virtual void ErrorMessage(int nErr) = 0;
    // True for a presentation file kept whole for the slide show rather than a page.
    virtual bool IsPresentationName(const std::u16string& name) = 0;
};

// A print or export target: it takes the drawing instead of the board's bitmaps and
// paints its own background where a page is cleared.
class IPageTarget : public IDrawSurface
{
public:
    // Draws the picture file at 0, 0 in its own size; false when it cannot be loaded.
    virtual bool DrawPicture(const std::filesystem::path& picture) = 0;
    // Fills a white rectangle from 0, 0.
    virtual void FillWhite(int nWidth, int nHeight) = 0;
};

// The last view-state records of a page (whole records), applied after its replay.
struct KeptViewRecords
{
    std::vector<uint8_t> zoom;    // 166
    std::vector<uint8_t> scroll;  // 163
    std::vector<uint8_t> pointer; // 162
};

// A new page made from a source file (a picture, a capture, a converted document page).
struct S_NEW_PAGE
{
    std::u16string name, title, caption;
    uint8_t byKind = PAGE_PICTURE;
    uint8_t bySubPage = 0;
    uint32_t dwNumber = 0; // document pages: the page within the document
};

class CBoardPageStore : public IBoardRecordStore
{
public:
    CBoardPageStore(BoardFolders folders, IPageStoreOwner& owner, AnsiDecoder decodeAnsi);
    CBoardPageStore(const CBoardPageStore&) = delete;
    CBoardPageStore& operator=(const CBoardPageStore&) = delete;

    const BoardFolders& Folders() const { return m_folders; }

    // Creates (truncates) the page file, writes the header when given and, when asked,
    // copies the page's background file behind it. False when a file cannot be opened.
    bool CreatePageFile(const std::u16string& name, const S_BOARD_FILEHDR* pHdr, bool bWithBackground);

    // Places the source (copied for pictures and document pages, else moved) in the
    // background folder under the page name and creates the page file from it. Returns
    // the header for the upload list; nothing when the page cannot be made, with
    // ErrorMessage(3) when the background could not be placed. No source: a page
    // without background.
    std::optional<S_BOARD_FILEHDR> CreatePage(const std::filesystem::path* pSource, const S_NEW_PAGE& page);

    // Appends one whole record to an existing page file. Records of type 168 and records
    // longer than one payload are not kept (true); a payload that is not exactly one
    // record is refused, as is a page whose file is gone.
    bool AppendRecord(const std::u16string& name, const uint8_t* pRecord, size_t nLen) override;

    // The first 208 bytes of the page file.
    std::optional<S_BOARD_FILEHDR> ReadHeader(const std::u16string& name);

    // Code 30: a new page file from the 208-byte header in the payload.
    bool BeginReceive(const uint8_t* pMsg, size_t nLen);
    // Code 31: the payload appended to the page file being received; dropped when the file does not exist.
    bool ReceiveChunk(const uint8_t* pMsg, size_t nLen);
    // Code 32 (and loading pages for playback): the page enters the page list unless it
    // is a presentation file, and its background is copied out unless it is blank.
    bool EndReceive(const std::u16string& name);
    bool EndReceive(const uint8_t* pMsg, size_t nLen);

    // A page file that begins with the old 112-byte header is rewritten with the current
    // header and then taken like a received page.
    bool ConvertOldPage(const std::u16string& name);

    // Replays the page's records onto the board (view state not applied but kept).
    // 0 when the page cannot be read; 1 otherwise, also after a damaged record list,
    // which stops the walk with ErrorMessage(0) and keeps what was drawn.
    int ReplayPage(const std::u16string& name, IDrawSurface& board, KeptViewRecords& kept);
    // Replays onto a target; a clear paints the picture (none: white 1600 × 1200), and
    // a picture that cannot be loaded ends the replay with 0.
    int ReplayPageTo(const std::u16string& name, IPageTarget& target, const std::filesystem::path& picture);

    // Closes the receive file when it has that name (or whatever its name, with none).
    void ClosePage(const std::u16string* pName = nullptr);
    void CloseAppend();

private:
    bool OpenReceive(const std::u16string& name);
    bool CopyBackgroundOut(const std::u16string& name, const S_BOARD_FILEHDR& hdr);

    BoardFolders m_folders;
    IPageStoreOwner& m_owner;
    AnsiDecoder m_decodeAnsi;

    std::u16string m_strReceive;
    std::fstream m_receive;
    std::u16string m_strAppend;
    std::fstream m_append;
};
