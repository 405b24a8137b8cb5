// Page store: creating, appending to, receiving and converting page files.
#include "lmboard2/pagefile/BoardPageStore.h"

#include <cstdint>
#include <system_error>

#include "lmboard2/boardmsg/BoardMessage.h"

namespace
{
// Copies up to nBytes (all, with none given) in pieces of one board payload; the bytes copied.
uint64_t CopyPieces(std::istream& in, std::ostream& out, std::optional<uint64_t> nBytes)
{
    char piece[kBoardPayloadMax];
    uint64_t nDone = 0;
    while (!nBytes || nDone < *nBytes)
    {
        size_t nWant = sizeof piece;
        if (nBytes && *nBytes - nDone < nWant) nWant = static_cast<size_t>(*nBytes - nDone);
        in.read(piece, static_cast<std::streamsize>(nWant));
        size_t nGot = static_cast<size_t>(in.gcount());
        if (nGot == 0) break;
        out.write(piece, static_cast<std::streamsize>(nGot));
        nDone += nGot;
        if (nGot < nWant) break;
    }
    return nDone;
}

// A whole copy of a file (the target replaced); false when either cannot be opened or written.
bool CopyWholeFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    CopyPieces(in, out, std::nullopt);
    return !in.bad() && static_cast<bool>(out.flush());
}

bool Exists(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}
} // namespace

CBoardPageStore::CBoardPageStore(BoardFolders folders, IPageStoreOwner& owner, AnsiDecoder decodeAnsi)
    : m_folders(std::move(folders)), m_owner(owner), m_decodeAnsi(std::move(decodeAnsi))
{
}

bool CBoardPageStore::CreatePageFile(const std::u16string& name, const S_BOARD_FILEHDR* pHdr,
                                     bool bWithBackground)
{
    std::optional<std::filesystem::path> page = m_folders.PageFile(name);
    if (!page) return false;
    std::ifstream background;
    if (bWithBackground)
    {
        background.open(*m_folders.BackgroundFile(name), std::ios::binary);
        if (!background) return false;
    }
    if (m_strAppend == name) CloseAppend();
    if (m_strReceive == name) ClosePage();
    std::ofstream out(*page, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (pHdr)
    {
        uint8_t raw[kBoardFileHeaderSize];
        pHdr->Write(raw);
        out.write(reinterpret_cast<const char*>(raw), sizeof raw);
    }
    if (bWithBackground) CopyPieces(background, out, std::nullopt);
    return static_cast<bool>(out.flush());
}

std::optional<S_BOARD_FILEHDR> CBoardPageStore::CreatePage(const std::filesystem::path* pSource,
                                                           const S_NEW_PAGE& page)
{
    std::optional<std::filesystem::path> background = m_folders.BackgroundFile(page.name);
    if (!background) return std::nullopt;
    S_BOARD_FILEHDR hdr;
    hdr.byKind = page.byKind;
    hdr.bySubPage = page.bySubPage;
    S_BOARD_FILEHDR::SetText(hdr.szName, page.name);
    S_BOARD_FILEHDR::SetText(hdr.szTitle, page.title);
    S_BOARD_FILEHDR::SetText(hdr.szCaption, page.caption);
    if (page.byKind == PAGE_DOCUMENT)
    {
        hdr.dwNumber = page.dwNumber;
        if (hdr.bySubPage == 0) hdr.bySubPage = 1;
    }
    if (pSource)
    {
        bool bPlaced = false;
        std::error_code ec;
        if (std::filesystem::equivalent(*pSource, *background, ec))
        {
            bPlaced = true; // already in place: copying it over itself would empty it
        }
        else if (page.byKind == PAGE_PICTURE || page.byKind == PAGE_DOCUMENT)
        {
            bPlaced = CopyWholeFile(*pSource, *background);
        }
        else
        {
            std::filesystem::remove(*background, ec);
            std::filesystem::rename(*pSource, *background, ec);
            bPlaced = !ec;
            if (!bPlaced && CopyWholeFile(*pSource, *background)) // another volume: copy, then let it go
            {
                bPlaced = true;
                std::filesystem::remove(*pSource, ec);
            }
        }
        uintmax_t nSize = bPlaced ? std::filesystem::file_size(*background, ec) : 0;
        if (!bPlaced || ec || nSize > UINT32_MAX)
        {
            m_owner.ErrorMessage(3);
            return std::nullopt;
        }
        hdr.dwSize = static_cast<uint32_t>(nSize);
    }
    if (!CreatePageFile(page.name, &hdr, pSource != nullptr)) return std::nullopt;
    return hdr;
}

bool CBoardPageStore::AppendRecord(const std::u16string& name, const uint8_t* pRecord, size_t nLen)
{
    if (!pRecord || nLen < 2 + kMinRecordLength) return false;
    // One whole record or nothing: a stray payload would break every record after it.
    if (size_t(pRecord[0] | (pRecord[1] << 8)) + 2 != nLen) return false;
    if (pRecord[2] == REC_BROWSER || nLen > kBoardPayloadMax) return true;

    std::optional<std::filesystem::path> page = m_folders.PageFile(name);
    if (!page) return false;
    if (!Exists(*page))
    {
        if (m_strAppend == name) CloseAppend();
        return false;
    }
    if (m_strAppend != name || !m_append.is_open())
    {
        CloseAppend();
        m_append.open(*page, std::ios::binary | std::ios::in | std::ios::out);
        if (!m_append) return false;
        m_strAppend = name;
    }
    m_append.seekp(0, std::ios::end);
    if (!m_append)
    {
        CloseAppend();
        return false;
    }
    m_append.write(reinterpret_cast<const char*>(pRecord), static_cast<std::streamsize>(nLen));
    m_append.flush();
    if (!m_append)
    {
        CloseAppend();
        return false;
    }
    return true;
}

std::optional<S_BOARD_FILEHDR> CBoardPageStore::ReadHeader(const std::u16string& name)
{
    std::optional<std::filesystem::path> page = m_folders.PageFile(name);
    if (!page) return std::nullopt;
    std::ifstream in(*page, std::ios::binary);
    uint8_t raw[kBoardFileHeaderSize];
    if (!in.read(reinterpret_cast<char*>(raw), sizeof raw)) return std::nullopt;
    return S_BOARD_FILEHDR::Read(raw);
}

bool CBoardPageStore::BeginReceive(const uint8_t* pMsg, size_t nLen)
{
    ClosePage();
    CloseAppend();
    std::optional<BoardMessageView> msg = ReadBoardMessage(pMsg, nLen);
    if (!msg || msg->hdr.dwPayloadLen != kBoardFileHeaderSize) return false;
    std::optional<std::u16string> name = msg->SafeName();
    if (!name) return false;
    m_receive.open(*m_folders.PageFile(*name),
                   std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
    if (!m_receive) return false;
    m_strReceive = *name;
    m_receive.write(reinterpret_cast<const char*>(msg->pPayload), kBoardFileHeaderSize);
    return static_cast<bool>(m_receive.flush());
}

bool CBoardPageStore::OpenReceive(const std::u16string& name)
{
    if (m_strReceive == name && m_receive.is_open()) return true;
    ClosePage();
    std::optional<std::filesystem::path> page = m_folders.PageFile(name);
    if (!page || !Exists(*page)) return false;
    if (m_strAppend == name) CloseAppend();
    m_receive.open(*page, std::ios::binary | std::ios::in | std::ios::out);
    if (!m_receive) return false;
    m_strReceive = name;
    return true;
}

bool CBoardPageStore::ReceiveChunk(const uint8_t* pMsg, size_t nLen)
{
    std::optional<BoardMessageView> msg = ReadBoardMessage(pMsg, nLen);
    if (!msg) return false;
    std::optional<std::u16string> name = msg->SafeName();
    if (!name || !OpenReceive(*name)) return false;
    m_receive.seekp(0, std::ios::end);
    m_receive.write(reinterpret_cast<const char*>(msg->pPayload), msg->hdr.dwPayloadLen);
    return static_cast<bool>(m_receive.flush());
}

bool CBoardPageStore::CopyBackgroundOut(const std::u16string& name, const S_BOARD_FILEHDR& hdr)
{
    if (hdr.byKind == PAGE_BLANK) return true;
    std::ofstream out(*m_folders.BackgroundFile(name), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    m_receive.clear();
    m_receive.seekg(kBoardFileHeaderSize);
    CopyPieces(m_receive, out, hdr.dwSize);
    return static_cast<bool>(out.flush());
}

bool CBoardPageStore::EndReceive(const std::u16string& name)
{
    if (!OpenReceive(name)) return false;
    uint8_t raw[kBoardFileHeaderSize];
    m_receive.clear();
    m_receive.seekg(0);
    bool bOk = static_cast<bool>(m_receive.read(reinterpret_cast<char*>(raw), sizeof raw));
    if (bOk)
    {
        S_BOARD_FILEHDR hdr = S_BOARD_FILEHDR::Read(raw);
        // The background is out before the page is listed, so that selecting it finds the file.
        bOk = CopyBackgroundOut(name, hdr);
        if (!m_owner.IsPresentationName(name)) m_owner.AddPage(hdr);
    }
    ClosePage();
    return bOk;
}

bool CBoardPageStore::EndReceive(const uint8_t* pMsg, size_t nLen)
{
    std::optional<BoardMessageView> msg = ReadBoardMessage(pMsg, nLen);
    if (!msg) return false;
    std::optional<std::u16string> name = msg->SafeName();
    return name && EndReceive(*name);
}

bool CBoardPageStore::ConvertOldPage(const std::u16string& name)
{
    std::optional<std::filesystem::path> page = m_folders.PageFile(name);
    if (!page) return false;
    if (m_strReceive == name) ClosePage();
    if (m_strAppend == name) CloseAppend();

    // The rest of the file stays as it is behind the new header, so that replay finds
    // the records at 208 + size like in every other page file.
    // The new file is made beside the folders, where no page name can meet it.
    std::filesystem::path converted = m_folders.base / (name + u".convert");
    {
        std::ifstream in(*page, std::ios::binary);
        uint8_t raw[kOldFileHeaderSize];
        if (!in.read(reinterpret_cast<char*>(raw), sizeof raw)) return false;
        S_BOARD_FILEHDR hdr = ConvertOldFileHeader(raw, m_decodeAnsi);
        std::ofstream out(converted, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        uint8_t now[kBoardFileHeaderSize];
        hdr.Write(now);
        out.write(reinterpret_cast<const char*>(now), sizeof now);
        CopyPieces(in, out, std::nullopt);
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(converted, *page, ec);
    if (ec)
    {
        std::filesystem::remove(converted, ec);
        return false;
    }
    return EndReceive(name);
}

void CBoardPageStore::ClosePage(const std::u16string* pName)
{
    if (pName && *pName != m_strReceive) return;
    if (m_receive.is_open()) m_receive.close();
    m_receive.clear();
    m_strReceive.clear();
}

void CBoardPageStore::CloseAppend()
{
    if (m_append.is_open()) m_append.close();
    m_append.clear();
    m_strAppend.clear();
}
