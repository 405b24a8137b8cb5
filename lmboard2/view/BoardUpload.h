// The board's upload: the host's '|'-separated file list, which files become picture pages,
// the next page number of a page list, and the worker's loop that sends the upload list
// page by page through the message writer.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"

// The entries of a '|'-separated list; empty entries are skipped.
std::vector<std::u16string> SplitFileList(std::u16string_view files);

enum class UploadFileKind
{
    Picture,      // BMP, GIF, JPEG or PNG: one picture page
    Presentation, // a presentation (kept whole for a slide show)
    Document,     // anything else: the document converter's
};
UploadFileKind ClassifyUploadFile(std::u16string_view path);

// The file's title: its name without folder and extension.
std::u16string FileTitleOf(std::u16string_view path);

// The number for a new page: one more than the largest number after the last '_' of the
// given names (0 when none has one).
int NextPageNumber(const std::vector<std::u16string>& names);

// What the upload loop does to the board.
class IUploadSteps
{
public:
    virtual ~IUploadSteps() = default;
    // SetFileCount(n, total) for the page about to go (n from 1).
    virtual void FileCount(uint32_t nCurrent, uint32_t nTotal) = 0;
    // Sends one page file whole; false when it could not be read or the upload was cancelled.
    virtual bool SendPage(const S_BOARD_FILEHDR& hdr) = 0;
    virtual bool Cancelled() = 0;
    // Selects (and tells) the first uploaded page so that the uploader sees it at once.
    virtual void ShowFirstPage(int nIndex) = 0;
    // A cancelled upload deletes the page and background files of a page it did not send.
    virtual void DropUnsent(const S_BOARD_FILEHDR& hdr) = 0;
};

struct UploadResult
{
    bool bCancelled = false;
    bool bDocument = false; // a document page went out
    size_t nSent = 0;
};

// The worker's loop over the upload list; nFirstIndex is the page count before the upload.
UploadResult RunUpload(IUploadSteps& steps, const std::vector<S_BOARD_FILEHDR>& pages, int nFirstIndex);
