// The board's upload: file list, picture detection, page numbers and the worker's loop.
#include "lmboard2/view/BoardUpload.h"

#include <algorithm>

#include "lmboard2/boardbase/BoardName.h"

std::vector<std::u16string> SplitFileList(std::u16string_view files)
{
    std::vector<std::u16string> out;
    size_t nStart = 0;
    while (nStart <= files.size())
    {
        size_t nEnd = files.find(u'|', nStart);
        if (nEnd == std::u16string_view::npos) nEnd = files.size();
        if (nEnd > nStart) out.emplace_back(files.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return out;
}

namespace
{
std::u16string LowerExtension(std::u16string_view path)
{
    size_t nSlash = path.find_last_of(u"\\/");
    size_t nDot = path.rfind(u'.');
    if (nDot == std::u16string_view::npos || (nSlash != std::u16string_view::npos && nDot < nSlash))
        return {};
    std::u16string ext(path.substr(nDot));
    for (char16_t& c : ext)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return ext;
}
} // namespace

UploadFileKind ClassifyUploadFile(std::u16string_view path)
{
    std::u16string ext = LowerExtension(path);
    for (const char16_t* p : {u".bmp", u".dib", u".gif", u".jpg", u".jpeg", u".jpe", u".png"})
        if (ext == p) return UploadFileKind::Picture;
    for (const char16_t* p : {u".ppt", u".pot", u".pps", u".pptx", u".pptm", u".ppsm", u".ppsx"})
        if (ext == p) return UploadFileKind::Presentation;
    return UploadFileKind::Document;
}

std::u16string FileTitleOf(std::u16string_view path)
{
    size_t nSlash = path.find_last_of(u"\\/");
    std::u16string_view name = nSlash == std::u16string_view::npos ? path : path.substr(nSlash + 1);
    size_t nDot = name.rfind(u'.');
    if (nDot != std::u16string_view::npos && nDot > 0) name = name.substr(0, nDot);
    return std::u16string(name);
}

int NextPageNumber(const std::vector<std::u16string>& names)
{
    int nLast = -1;
    for (const std::u16string& name : names)
        nLast = std::max(nLast, PageNumberOfName(name));
    return nLast + 1;
}

UploadResult RunUpload(IUploadSteps& steps, const std::vector<S_BOARD_FILEHDR>& pages, int nFirstIndex)
{
    UploadResult result;
    bool bShown = false;
    const auto nTotal = static_cast<uint32_t>(pages.size());
    for (size_t i = 0; i < pages.size() && !steps.Cancelled(); ++i)
    {
        const S_BOARD_FILEHDR& hdr = pages[i];
        steps.FileCount(static_cast<uint32_t>(i + 1), nTotal);
        bool bDocument = hdr.byKind == PAGE_DOCUMENT;
        result.bDocument = result.bDocument || bDocument;
        if (!steps.SendPage(hdr)) break;
        ++result.nSent;
        // The uploader sees the first page at once; a document's first page waits for the second.
        if (!bShown && result.nSent == (bDocument ? 2u : 1u))
        {
            bShown = true;
            steps.ShowFirstPage(nFirstIndex);
        }
    }
    result.bCancelled = steps.Cancelled();
    if (result.bCancelled)
        for (size_t i = result.nSent; i < pages.size(); ++i)
            steps.DropUnsent(pages[i]);
    return result;
}
