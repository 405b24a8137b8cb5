// The board view: pages, modes, zoom, scrolling, painting and the page model of the reader.
#include "lmboard2/control/LMView.h"

#include <commdlg.h>
#include <cstring>
#include <fstream>
#include <windowsx.h>

#include "core/Utf8Text.h"
#include "lmboard2/boardbase/BoardName.h"
#include "comkit/ServerModule.h"
#include "lmboard2/control/BoardCursors.h"
#include "lmboard2/control/ClipSources.h"
#include "lmboard2/control/PageImage.h"
#include "lmboard2/control/ControlResources.h"
#include "lmboard2/gif/ClipToGif.h"
#include "lmboard2/records/DrawReplay.h"
#include "lmboard2/textfile/TextFileRead.h"
#include "lmboard2/view/AgendaOrder.h"
#include "lmboard2/view/BoardUpload.h"
#include "lmboard2/view/PrintLayout.h"

#include <objidl.h> // gdiplus.h needs PROPID, which a lean windows.h leaves out
#include <gdiplus.h>

namespace
{
constexpr int kBlankWidth = 1600;
constexpr int kBlankHeight = 1200;
constexpr int kTextBoxWidth = 240;
constexpr int kTextBoxHeight = 60;
constexpr size_t kMaxTextBoxUnits = kMaxTextUnits;

bool EndsWithNoCase(const std::u16string& s, const char16_t* szEnd)
{
    std::u16string end(szEnd);
    if (s.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); i++)
        if (towlower(s[s.size() - end.size() + i]) != towlower(end[i])) return false;
    return true;
}

// Only web addresses reach the browser: a peer must not open local files or run scheme handlers.
bool IsWebAddress(const std::u16string& address)
{
    std::u16string lower;
    for (char16_t ch : address)
        lower += static_cast<char16_t>(towlower(ch));
    return lower.rfind(u"http://", 0) == 0 || lower.rfind(u"https://", 0) == 0 ||
           lower.rfind(u"about:", 0) == 0;
}

// A picture the board can show: GDI+ reads it.
bool IsReadablePicture(const std::filesystem::path& path)
{
    if (!StartGdiPlus()) return false;
    Gdiplus::Bitmap* pPicture = Gdiplus::Bitmap::FromFile(path.wstring().c_str());
    bool bOk = pPicture && pPicture->GetLastStatus() == Gdiplus::Ok && pPicture->GetWidth() > 0 &&
               pPicture->GetHeight() > 0;
    delete pPicture;
    return bOk;
}

S_BOARD_LOGFONT DefaultTextFont(const std::u16string& face)
{
    S_BOARD_LOGFONT font;
    HDC hdc = GetDC(nullptr);
    font.lfHeight = -MulDiv(24, GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, hdc);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    S_BOARD_FILEHDR::SetText(font.lfFaceName, face);
    return font;
}
} // namespace

CLMView::CLMView(IBoardEvents& events, const std::filesystem::path& tempFolder)
    : m_events(events), m_reader(*this, events), m_input(*this), m_painter(StartGdiPlus())
{
    m_folders = BoardFolders::Make(tempFolder);
    if (m_folders)
    {
        m_store = std::make_unique<CBoardPageStore>(*m_folders, *this, AnsiDecoder{});
        m_writer = std::make_unique<CSockBoard>(*this, *m_store, m_clock, *m_folders);
    }
    m_font = DefaultTextFont(u"Arial");
    m_bitmaps.MakeBlank(kBlankWidth, kBlankHeight);
    m_input.SetPageSize(kBlankWidth, kBlankHeight);
    m_input.SetDrawMode(DRAW_SCROLL);
    m_hStamp = LoadBitmapW(ServerModuleHandle(), MAKEINTRESOURCEW(IDB_BOARD_STAMP));
}

CLMView::~CLMView()
{
    // The worker wakes from a chunk wait or its pacing on the cancel flag.
    if (m_writer) m_writer->SetUploadCancel(true);
    WaitForUpload(false);
    if (m_hUploadDone) CloseHandle(m_hUploadDone);
    m_tablet.reset();
    Destroy();
    m_writer.reset();
    if (m_hStamp) DeleteObject(m_hStamp);
}

bool CLMView::Create(HWND hParent, const RECT& rc)
{
    return CBoardWindow::Create(
        L"LMBoard2View", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL,
        0, rc, hParent, kViewPaneId);
}

void CLMView::Init(IDispatch* pBrowser, HWND hParent, bool bLobby, const std::u16string& product)
{
    if (pBrowser)
    {
        m_browser = std::make_unique<CBoardBrowser>(pBrowser);
        m_browser->SetSilent(true);
        m_browser->Navigate(u"about:blank", u"", "", u"");
        ShowBrowser(false);
    }
    m_hHost = hParent;
    m_bLobby = bLobby;
    m_strProduct = product;
    std::u16string face = m_events.GetIniString(u"IDS_DEFAULT_FONT");
    m_font = DefaultTextFont(face.empty() ? u"Arail" : face);
    std::u16string board = m_events.GetIniString(u"IDS_LMBOARD_WHITEBOARD");
    m_strMessage = board.empty() ? u"WhiteBoard" : board;
    for (const char16_t* key :
         {u"IDS_LMBOARD_CANNOT_PREVIEW_SLIDE", u"IDS_LMBOARD_ERR_NOTINTALL_PPT", u"IDS_BOARD_LOBBY_UPLOAD"})
        m_events.GetIniString(key);
    if (!bLobby)
    {
        wchar_t system[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(system, MAX_PATH);
        if (n && n < MAX_PATH) StartTablet(system);
    }
}

bool CLMView::StartTablet(const std::filesystem::path& driverFolder)
{
    m_tablet = std::make_unique<CBoardTablet>(*this, m_events);
    if (m_tablet->Start(driverFolder)) return true;
    m_tablet.reset();
    return false;
}

void CLMView::SetConfCode(const std::u16string& agenda)
{
    m_strAgenda = agenda;
    std::optional<std::u16string> first = MakePageName(agenda, 0);
    if (!first || !m_store) return;
    if (!m_store->ReadHeader(*first))
    {
        S_NEW_PAGE page;
        page.name = *first;
        page.title = m_strMessage;
        page.caption = m_strMessage;
        page.byKind = PAGE_BLANK;
        m_store->CreatePage(nullptr, page);
    }
    // A board with no page shows its first blank page, so that drawing has a page to go to.
    if (PageCount() == 0)
    {
        if (std::optional<S_BOARD_FILEHDR> hdr = m_store->ReadHeader(*first))
        {
            AddPage(*hdr);
            SelectPage(0, false);
        }
    }
}

// ---- page list

int CLMView::IndexOf(const std::u16string& name) const
{
    std::lock_guard<std::mutex> lock(m_pagesLock);
    for (size_t i = 0; i < m_pages.size(); i++)
        if (S_BOARD_FILEHDR::Text(m_pages[i].szName) == name) return static_cast<int>(i);
    return -1;
}

bool CLMView::HasPage(const std::u16string& name) const
{
    return IndexOf(name) >= 0;
}

std::optional<S_BOARD_FILEHDR> CLMView::ListedHeader(const std::u16string& name) const
{
    int n = IndexOf(name);
    std::lock_guard<std::mutex> lock(m_pagesLock);
    if (n < 0 || n >= static_cast<int>(m_pages.size())) return std::nullopt;
    return m_pages[n];
}

size_t CLMView::PageCount() const
{
    std::lock_guard<std::mutex> lock(m_pagesLock);
    return m_pages.size();
}

void CLMView::AddPage(const S_BOARD_FILEHDR& hdr)
{
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        m_pages.push_back(hdr);
    }
    m_events.AddPage(0, hdr);
}

void CLMView::SelectPage(int nIndex, bool bSend)
{
    std::optional<S_BOARD_FILEHDR> hdr;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        if (nIndex < 0 || nIndex >= static_cast<int>(m_pages.size())) return;
        hdr = m_pages[nIndex];
    }
    m_nCurrent = nIndex;
    m_events.SetCurrentPage(nIndex);
    const std::u16string name = S_BOARD_FILEHDR::Text(hdr->szName);
    std::optional<std::filesystem::path> background =
        m_folders ? m_folders->BackgroundFile(name) : std::optional<std::filesystem::path>();
    if (hdr->byKind == PAGE_BLANK || !background || !m_bitmaps.LoadPicture(*background))
    {
        m_bitmaps.MakeBlank(kBlankWidth, kBlankHeight);
        SetBoardMode(u"", BOARD_BLANK);
    }
    else
        SetBoardMode(background->u16string(), BOARD_PICTURE);
    m_input.SetPageSize(m_bitmaps.Width(), m_bitmaps.Height());
    m_pointer.reset();

    KeptViewRecords kept;
    if (m_store) m_store->ReplayPage(name, *this, kept);
    if (m_reader.IsReplaying() && !kept.zoom.empty())
        ReplayDrawRecord(kept.zoom.data(), kept.zoom.size(), true, false, *this);
    Refit();
    if (!kept.scroll.empty())
        ReplayDrawRecord(kept.scroll.data(), kept.scroll.size(), true, false, *this);
    else
        SetScrollPos(0, 0);
    if (!kept.pointer.empty()) ReplayDrawRecord(kept.pointer.data(), kept.pointer.size(), true, false, *this);

    m_strCurrent = name;
    if (m_writer)
    {
        m_writer->SetCurrentPage(name);
        if (bSend) m_writer->SendCurrentPage(hdr->byKind == PAGE_DOCUMENT ? 1 : 0);
    }
    Changed();
}

bool CLMView::SelectPageAndTell(int nIndex)
{
    if (m_hWnd)
        SendMessageW(m_hWnd, WM_BOARD_SELECT_PAGE, static_cast<WPARAM>(nIndex), 1);
    else
        SelectPage(nIndex, true);
    return true;
}

void CLMView::ApplyPageSelection(const uint8_t* pMsg)
{
    S_BOARD_MSGHDR hdr = S_BOARD_MSGHDR::Read(pMsg);
    std::optional<std::u16string> name = SafeNameFromField(hdr.szName);
    if (!name) return;
    int n = IndexOf(*name);
    if (n < 0) return;
    if (n != m_nCurrent || IsWebMode()) SelectPage(n, false);
}

void CLMView::EmptyUploadList()
{
    std::lock_guard<std::mutex> lock(m_pagesLock);
    m_uploads.clear();
}

void CLMView::SetBoardMode(const std::u16string& path, int nMode)
{
    if (m_nBoardMode == BOARD_WEB && nMode != BOARD_WEB) ShowBrowser(false);
    m_nBoardMode = nMode;
    m_events.ModeChange(path, nMode);
}

// ---- page files

std::optional<S_BOARD_FILEHDR> CLMView::LocalHeader(const std::u16string& name)
{
    return m_store ? m_store->ReadHeader(name) : std::nullopt;
}

bool CLMView::BeginReceive(const uint8_t* pMsg, size_t nLen)
{
    if (!m_store || !m_store->BeginReceive(pMsg, nLen)) return false;
    m_strReceiving = S_BOARD_FILEHDR::Text(S_BOARD_MSGHDR::Read(pMsg).szName);
    return true;
}

bool CLMView::ReceiveChunk(const uint8_t* pMsg, size_t nLen)
{
    return m_store && m_store->ReceiveChunk(pMsg, nLen);
}

bool CLMView::EndReceive(const std::u16string& name)
{
    if (name == m_strReceiving) m_strReceiving.clear();
    return m_store && m_store->EndReceive(name);
}

void CLMView::CancelReceive()
{
    if (!m_store) return;
    m_store->ClosePage();
    if (m_strReceiving.empty()) return;
    std::error_code ec;
    if (auto page = m_folders->PageFile(m_strReceiving)) std::filesystem::remove(*page, ec);
    if (auto background = m_folders->BackgroundFile(m_strReceiving)) std::filesystem::remove(*background, ec);
    m_strReceiving.clear();
}

bool CLMView::IsPresentationName(const std::u16string& name)
{
    for (const char16_t* ext : {u".ppt", u".pot", u".pps", u".pptx", u".pptm", u".ppsm", u".ppsx"})
        if (EndsWithNoCase(name, ext)) return true;
    return false;
}

void CLMView::DeleteByName(const std::u16string& name, bool bFire)
{
    if (!m_folders || !m_store) return;
    std::error_code ec;
    auto removeFiles = [&]
    {
        if (auto page = m_folders->PageFile(name)) std::filesystem::remove(*page, ec);
        if (auto background = m_folders->BackgroundFile(name)) std::filesystem::remove(*background, ec);
    };
    if (IsPresentationName(name))
    {
        removeFiles();
        return;
    }
    int nIndex = -1;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        for (auto it = m_uploads.begin(); it != m_uploads.end(); ++it)
            if (S_BOARD_FILEHDR::Text(it->szName) == name)
            {
                m_uploads.erase(it);
                break;
            }
        for (size_t i = 0; i < m_pages.size(); i++)
            if (S_BOARD_FILEHDR::Text(m_pages[i].szName) == name)
            {
                m_pages.erase(m_pages.begin() + static_cast<std::ptrdiff_t>(i));
                nIndex = static_cast<int>(i);
                break;
            }
    }
    m_store->ClosePage(&name);
    m_store->CloseAppend();
    removeFiles();
    if (nIndex < 0) return;
    if (nIndex < m_nCurrent) m_nCurrent--;
    if (nIndex == m_nCurrent) m_nCurrent = -1;
    if (bFire) m_events.DeletePage(nIndex);
}

std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> CLMView::ApplyAgendaOrder(const uint8_t* pMsg,
                                                                                     size_t nLen)
{
    std::vector<S_BOARD_FILEHDR> pages;
    std::vector<S_BOARD_FILEHDR> changed;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        std::optional<AgendaOrderResult> result = ApplyAgendaOrderTo(m_pages, pMsg, nLen);
        if (!result) return std::nullopt;
        for (size_t n : result->changed)
            changed.push_back(m_pages[n]);
        pages = m_pages;
    }
    for (const S_BOARD_FILEHDR& hdr : changed)
        WriteHeaderBack(hdr);
    // The current page keeps being current where it went.
    int nCurrent = IndexOf(m_strCurrent);
    if (nCurrent >= 0) m_nCurrent = nCurrent;
    std::vector<std::optional<S_BOARD_FILEHDR>> order(pages.begin(), pages.end());
    return order;
}

bool CLMView::WriteHeaderBack(const S_BOARD_FILEHDR& hdr)
{
    std::u16string name = S_BOARD_FILEHDR::Text(hdr.szName);
    std::optional<std::filesystem::path> page = m_folders ? m_folders->PageFile(name) : std::nullopt;
    if (!page) return false;
    m_store->CloseAppend();
    std::fstream file(*page, std::ios::binary | std::ios::in | std::ios::out);
    if (!file) return false;
    uint8_t raw[kBoardFileHeaderSize];
    hdr.Write(raw);
    return static_cast<bool>(file.write(reinterpret_cast<const char*>(raw), sizeof raw));
}

void CLMView::RenamePages(const std::u16string& name, const uint8_t* pBlock)
{
    char16_t text[32] = {};
    for (size_t i = 0; i < 31; i++)
        text[i] = static_cast<char16_t>(pBlock[2 * i] | (pBlock[2 * i + 1] << 8));
    std::u16string newName = S_BOARD_FILEHDR::Text(text);
    const uint8_t bySelector = pBlock[68];
    std::vector<S_BOARD_FILEHDR> changed;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        for (size_t i = 0; i < m_pages.size(); i++)
        {
            if (S_BOARD_FILEHDR::Text(m_pages[i].szName) != name) continue;
            if (bySelector != 1) S_BOARD_FILEHDR::SetText(m_pages[i].szTitle, newName);
            if (bySelector != 2) S_BOARD_FILEHDR::SetText(m_pages[i].szCaption, newName);
            changed.push_back(m_pages[i]);
            for (size_t j = i + 1; bySelector == 1 && j < m_pages.size() && m_pages[j].bySubPage == 2; j++)
            {
                S_BOARD_FILEHDR::SetText(m_pages[j].szCaption, newName);
                changed.push_back(m_pages[j]);
            }
            break;
        }
    }
    for (const S_BOARD_FILEHDR& hdr : changed)
        WriteHeaderBack(hdr);
}

// ---- records

void CLMView::StoreRecord(const std::u16string& page, const uint8_t* pRecord, size_t nLen)
{
    if (m_store) m_store->AppendRecord(page, pRecord, nLen);
}

void CLMView::DrawRecord(const uint8_t* pRecord, size_t nLen)
{
    ReplayDrawRecord(pRecord, nLen, true, false, *this);
    Changed();
}

void CLMView::SelectEBookPage(const std::u16string& title, uint32_t nLevel, uint32_t nStep, uint32_t nPage)
{
    m_events.SelectEBookCombo(title, nLevel, nStep, nPage);
    m_lastEBook = {title, nLevel, nStep, nPage};
}

// ---- e-books

std::filesystem::path CLMView::EBookIndexPath() const
{
    std::wstring product(m_strProduct.begin(), m_strProduct.end());
    HMODULE hModule = product.empty() ? nullptr : GetModuleHandleW(product.c_str());
    wchar_t szPath[MAX_PATH] = L"";
    DWORD n = GetModuleFileNameW(hModule, szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::filesystem::path(szPath).parent_path() / L"ebook.txt";
}

void CLMView::LoadEBook()
{
    CEBookIndex index;
    std::filesystem::path path = EBookIndexPath();
    if (!path.empty())
    {
        CTextFileRead file(path);
        std::u16string line;
        while (file.ReadLine(line))
            index.AddLine(line);
    }
    m_books = index.Books();
    m_ebook.Reset();
    for (const S_BOOK& book : m_books)
        m_events.AddEbook(0, 1, book.title);
}

void CLMView::EBookSelectCombo(int nKind, int nIndex, const std::u16string& text)
{
    std::vector<EBookComboLine> lines;
    if (nKind == 0)
        lines = m_ebook.SelectTitle(text);
    else if (nKind == 1)
        lines = m_ebook.SelectLevel(nIndex);
    else if (nKind == 2)
        lines = m_ebook.SelectStep(nIndex);
    else if (nKind == 3)
        SelectEBookIndex(nIndex);
    for (const EBookComboLine& line : lines)
        m_events.AddEbook(line.nKind, 1, line.text);
}

void CLMView::SelectEBookIndex(int nIndex)
{
    std::optional<int> nPage = CEBookSelection::PageOfText(m_events.GetCurrentEBookPage(nIndex));
    if (!nPage) return;
    m_ebook.SetPage(*nPage);
    m_lastEBook = {m_ebook.Title(), static_cast<uint32_t>(m_ebook.Level()),
                   static_cast<uint32_t>(m_ebook.Step()), static_cast<uint32_t>(*nPage)};
    if (m_writer)
        m_writer->SendEBookSelection(m_lastEBook.title, m_lastEBook.nLevel, m_lastEBook.nStep,
                                     m_lastEBook.nPage);
}

void CLMView::EBookPageMove(int nKind, int nSel)
{
    if (nKind >= 0 && nKind <= 2)
    {
        SelectEBookIndex(nSel);
        return;
    }
    if (nKind != 3 || m_lastEBook.title.empty()) return;
    EBookChoice last = m_lastEBook;
    SelectEBookPage(last.title, last.nLevel, last.nStep, last.nPage);
    if (m_writer) m_writer->SendEBookSelection(last.title, last.nLevel, last.nStep, last.nPage);
}

std::u16string CLMView::EBookTitle(const std::u16string& combo) const
{
    for (const S_BOOK& book : m_books)
        if (book.name == combo || book.title == combo) return book.title;
    return combo;
}

bool CLMView::SetEBookPage(const std::u16string& title, uint32_t nLevel, uint32_t nStep, uint32_t nPage)
{
    SelectEBookPage(title, nLevel, nStep, nPage);
    if (m_writer) m_writer->SendEBookSelection(title, nLevel, nStep, nPage);
    return true;
}

void CLMView::PostReplay()
{
    if (m_hWnd)
        PostMessageW(m_hWnd, WM_BOARD_REPLAY, 0, 0);
    else
        m_reader.ReplayQueue();
}

void CLMView::SendDownloadAck(uint32_t nFiles)
{
    if (m_writer) m_writer->SendDownloadAck(nFiles);
}

void CLMView::PostHostMode(int nMode, const std::u16string& modeName)
{
    m_strModeName = modeName;
    if (m_hWnd)
        PostMessageW(m_hWnd, WM_BOARD_HOST_MODE, static_cast<WPARAM>(nMode), 0);
    else
        OnHostMode(nMode);
}

void CLMView::OnHostMode(int nMode)
{
    // Document opening belongs with page loading; the host's mode 2 outside a web page only ends
    // the transfer it announced.
    if (nMode == BOARD_WEB_CAPTURE && !IsWebMode() && m_writer) m_writer->SendTransferEnd();
    // A capture is taken only when this board asked for one (Load's mode message): a grant that
    // arrives unasked, from whoever sent it, must not publish the user's clipboard or web page.
    if (!m_writer || !m_writer->IsModeSent()) return;
    if (nMode == BOARD_CLIPBOARD || nMode == BOARD_CAPTURE) CaptureClipboard(nMode);
    if (nMode == BOARD_WEB_CAPTURE && IsWebMode())
    {
        ClearNavigation();
        if (m_hWnd)
            PostMessageW(m_hWnd, WM_BOARD_WEB_CAPTURE, 0, 0);
        else
            CaptureWebPage();
    }
}

bool CLMView::CapturePage(int nMode, uint8_t byKind, const char16_t* szPrefix,
                          const std::function<bool(const std::filesystem::path&)>& save)
{
    if (!m_store || !m_writer || !m_folders || IsUploading()) return false;
    std::vector<std::u16string> names;
    int nCaptures = 0;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        for (const S_BOARD_FILEHDR& h : m_pages)
        {
            names.push_back(S_BOARD_FILEHDR::Text(h.szName));
            nCaptures += h.byKind == byKind;
        }
    }
    std::optional<std::u16string> name = MakePageName(m_strAgenda, NextPageNumber(names));
    std::filesystem::path capture = m_folders->backgrounds / (std::u16string(szPrefix) + u".gif");
    if (!name || !save(capture))
    {
        // The peers were told of a capture that brings nothing.
        m_writer->SendTransferEnd();
        m_events.ErrorMessage(name ? 0 : 4);
        return false;
    }
    SetBoardMode(capture.u16string(), nMode);
    m_events.CreateProgress(false);
    S_NEW_PAGE page;
    page.name = *name;
    page.title = szPrefix;
    std::string number = std::to_string(nCaptures + 1);
    page.caption = page.title + u" " + std::u16string(number.begin(), number.end());
    page.byKind = byKind;
    std::optional<S_BOARD_FILEHDR> hdr = m_store->CreatePage(&capture, page);
    if (!hdr)
    {
        m_writer->SendTransferEnd();
        m_events.DestroyProgress();
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        m_uploads.push_back(*hdr);
    }
    StartUpload(hdr->dwSize + static_cast<uint32_t>(kBoardFileHeaderSize));
    return true;
}

bool CLMView::CaptureClipboard(int nMode)
{
    return CapturePage(nMode, PAGE_CAPTURE, u"Capture",
                       [&](const std::filesystem::path& gif)
                       { return SaveClipboard(m_hWnd, gif, 0, 0) != 0; });
}

bool CLMView::CaptureWebPage()
{
    return CapturePage(BOARD_WEB_CAPTURE, PAGE_WEB, u"Browser",
                       [&](const std::filesystem::path& gif)
                       {
                           std::optional<S_PICTURE24> pic =
                               m_browser ? m_browser->DrawDocument() : std::nullopt;
                           return pic && CClipToGif().SaveBits(pic->View(), gif) == 1;
                       });
}

// ---- browser mode

void CLMView::ClearNavigation()
{
    m_strWebFrame.clear();
    m_webPostData.clear();
    m_strWebHeaders.clear();
}

void CLMView::ShowBrowser(bool bShow)
{
    if (!m_browser) return;
    if (!bShow)
    {
        m_browser->MoveOffScreen();
        if (m_hWnd) ShowWindow(m_hWnd, SW_SHOW);
        return;
    }
    RECT rc{};
    if (m_hWnd && GetWindowRect(m_hWnd, &rc)) m_browser->PlaceOver(rc);
    if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

int CLMView::LoadWebPage(const std::u16string& address)
{
    ClearNavigation();
    m_strPeerAddress.clear();
    if (!m_browser || !IsWebAddress(address)) return 1;
    SetBoardMode(address, BOARD_WEB);
    ShowBrowser(true);
    return m_browser->Navigate(address, m_strWebFrame, m_webPostData, m_strWebHeaders) ? 0 : 1;
}

void CLMView::OnBeforeNavigate(const std::u16string& address, const std::u16string& frame,
                               const std::string& postData, const std::u16string& headers)
{
    if (address == u"about:blank") return;
    m_strWebAddress = address;
    m_strWebFrame = frame;
    m_webPostData = postData;
    m_strWebHeaders = headers;
}

void CLMView::OnNavigateComplete(const std::u16string& address)
{
    m_strWebAddress = address;
    ClearNavigation();
    // A page a peer opened is not sent back to the peers: that would echo between boards.
    const bool bFromPeer = !m_strPeerAddress.empty() && address == m_strPeerAddress;
    m_strPeerAddress.clear();
    if (IsWebMode() && m_bWebLoaded && !m_bLock && !bFromPeer && m_writer)
        m_writer->SendBrowserAddress(address);
}

void CLMView::OnDocumentComplete()
{
    if (m_browser && m_browser->ReadyState() == 4) m_bWebLoaded = true;
}

bool CLMView::SavePage(const std::filesystem::path& path, bool bGif) const
{
    S_PICTURE24 pic = m_bitmaps.DrawingBitmap().Picture24();
    if (pic.bits.empty()) return false;
    if (bGif) return CClipToGif().SaveBits(pic.View(), path) == 1;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out && WriteBmpFile(pic.View(), out);
}

bool CLMView::RenderPage(int nIndex, CPageImage& image, S_BOARD_FILEHDR& hdr)
{
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_pages.size()) return false;
        hdr = m_pages[static_cast<size_t>(nIndex)];
    }
    if (!m_store || !m_folders || hdr.byKind == PAGE_DOCUMENT) return false;
    const std::u16string name = S_BOARD_FILEHDR::Text(hdr.szName);
    std::filesystem::path picture;
    if (hdr.byKind != PAGE_BLANK)
        if (std::optional<std::filesystem::path> background = m_folders->BackgroundFile(name))
            picture = *background;
    if (picture.empty() || !image.DrawPicture(picture))
    {
        picture.clear();
        image.FillWhite(kBlankWidth, kBlankHeight);
    }
    return m_store->ReplayPageTo(name, image, picture) != 0;
}

bool CLMView::CreatePreview(HWND hParent, const RECT& rc)
{
    m_preview.Destroy();
    return m_preview.Create(L"LMBoard2Preview", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, rc, hParent, 511);
}

bool CLMView::SetPreviewSize(int cx, int cy)
{
    if (!m_preview.Hwnd()) return false;
    SetWindowPos(m_preview.Hwnd(), nullptr, 0, 0, std::max(cx, 0), std::max(cy, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_preview.Hwnd(), nullptr, FALSE);
    return true;
}

bool CLMView::SetPreviewPage(int nIndex)
{
    if (!m_preview.Hwnd()) return false;
    auto image = std::make_unique<CPageImage>(m_hStamp);
    S_BOARD_FILEHDR hdr;
    if (RenderPage(nIndex, *image, hdr))
    {
        m_preview.SetImage(std::move(image));
        return true;
    }
    if (hdr.byKind != PAGE_DOCUMENT || nIndex < 0 || static_cast<size_t>(nIndex) >= PageCount()) return false;
    // A slide is the presentation program's to draw.
    std::u16string text = m_events.GetIniString(u"IDS_LMBOARD_CANNOT_PREVIEW_SLIDE");
    m_preview.SetMessage(std::wstring(text.begin(), text.end()));
    return true;
}

bool CLMView::DrawPrintedPage(HDC hdc, int nIndex, int nPrintWidth, int nPrintHeight)
{
    CPageImage image(m_hStamp);
    S_BOARD_FILEHDR page;
    if (!RenderPage(nIndex, image, page)) return false;

    // The caption in a band a sixteenth of the paper high, the page below it.
    const int nCaption = std::max(nPrintHeight / 16, 1);
    const CSurfaceBitmap& drawing = image.Drawing();
    PrintedPageLayout l =
        LayoutPrintedPage(drawing.Width(), drawing.Height(), nPrintWidth, nPrintHeight, nCaption);
    if (l.imageWidth <= 0 || l.imageHeight <= 0) return false;
    HFONT hFont = CreateFontW(-nCaption * 2 / 3, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS,
                              0, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ hOldFont = SelectObject(hdc, hFont);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    std::u16string caption = S_BOARD_FILEHDR::Text(page.szCaption);
    std::wstring text(caption.begin(), caption.end());
    RECT band{l.captionLeft, l.captionTop, l.captionRight, l.captionBottom};
    ::DrawTextW(hdc, text.c_str(), -1, &band,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(hdc, hOldFont);
    DeleteObject(hFont);
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, nullptr);
    return StretchBlt(hdc, l.imageLeft, l.imageTop, l.imageWidth, l.imageHeight, drawing.Dc(), 0, 0,
                      drawing.Width(), drawing.Height(), SRCCOPY) != FALSE;
}

bool CLMView::Print()
{
    if (IsWebMode()) return m_browser && m_browser->Print();
    if (PageCount() == 0) return false;
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = m_hWnd;
    pd.Flags = PD_RETURNDC | PD_ALLPAGES | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    pd.nFromPage = pd.nMinPage = 1;
    pd.nToPage = pd.nMaxPage = static_cast<WORD>(std::min<size_t>(PageCount(), 0xFFFF));
    pd.nCopies = 1;
    if (!PrintDlgW(&pd) || !pd.hDC) return false;
    int nFirst = 0, nLast = static_cast<int>(PageCount()) - 1;
    if (pd.Flags & PD_PAGENUMS)
    {
        nFirst = pd.nFromPage - 1;
        nLast = std::min(nLast, pd.nToPage - 1);
    }
    int nCopies = 1;
    if (pd.hDevMode)
        if (auto* pMode = static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode)))
        {
            // The printer makes the copies itself when the driver says it can; else they are drawn.
            if (!(pd.Flags & PD_USEDEVMODECOPIESANDCOLLATE) && (pMode->dmFields & DM_COPIES))
                nCopies = std::max<int>(pMode->dmCopies, 1);
            // The virtual image printer takes pages for the document loader, not paper.
            std::wstring device(pMode->dmDeviceName);
            std::wstring product(m_strProduct.begin(), m_strProduct.end());
            bool bVirtual = device == product + L" Virtual Image Printer";
            GlobalUnlock(pd.hDevMode);
            if (bVirtual) nLast = nFirst - 1;
        }
    bool bOk = true;
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    std::wstring title(m_strAgenda.begin(), m_strAgenda.end());
    doc.lpszDocName = title.c_str();
    if (nLast >= nFirst && StartDocW(pd.hDC, &doc) > 0)
    {
        const int nWidth = GetDeviceCaps(pd.hDC, HORZRES), nHeight = GetDeviceCaps(pd.hDC, VERTRES);
        for (int i = nFirst; i <= nLast && bOk; ++i)
            for (int c = 0; c < nCopies && bOk; ++c)
            {
                bOk = StartPage(pd.hDC) > 0;
                if (bOk) DrawPrintedPage(pd.hDC, i, nWidth, nHeight);
                bOk = bOk && EndPage(pd.hDC) > 0;
            }
        bOk ? EndDoc(pd.hDC) : AbortDoc(pd.hDC);
    }
    DeleteDC(pd.hDC);
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return bOk;
}

bool CLMView::Save()
{
    if (IsWebMode()) return m_browser && m_browser->SaveAs();
    // Slide shows are saved by the presentation program.
    if (m_nBoardMode == BOARD_SLIDESHOW || m_nCurrent < 0) return false;
    wchar_t szFile[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Compuserve GIF(*.gif)\0*.gif\0Windows Bitmap(*.bmp)\0*.bmp\0\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"gif";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&ofn)) return false;
    return SavePage(szFile, ofn.nFilterIndex != 2);
}

// ---- commands

bool CLMView::SetZoomValue(int nZoom, bool bSend, bool bMine)
{
    if (!IsAcceptedZoom(nZoom)) return false;
    m_nZoom = nZoom;
    Refit();
    if (bSend && m_writer) m_writer->SendZoom(static_cast<uint16_t>(nZoom));
    m_events.ResultZoom(bMine, nZoom, RealZoom(nZoom, m_dScale, m_bitmaps.Width()));
    return true;
}

void CLMView::SetDrawMode(int nMode)
{
    if (m_input.ChosenMode() == DRAW_TEXT && nMode != DRAW_TEXT && m_hTextBox)
    {
        SetWindowTextW(m_hTextBox, L"");
        ShowWindow(m_hTextBox, SW_HIDE);
    }
    m_input.SetDrawMode(static_cast<uint8_t>(nMode));
}

void CLMView::ChooseTextFont()
{
    LOGFONTW lf = LogFontOf(m_font);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = m_hWnd;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = m_dwTextColor;
    if (!ChooseFontW(&cf)) return;
    m_font = BoardFontOf(lf);
    m_dwTextColor = cf.rgbColors;
}

void CLMView::SetLock(bool bLock)
{
    m_bLock = bLock;
    if (bLock && m_hTextBox)
    {
        SetWindowTextW(m_hTextBox, L"");
        ShowWindow(m_hTextBox, SW_HIDE);
    }
}

void CLMView::Clear(bool bSend)
{
    if (IsWebMode())
    {
        if (m_browser) m_browser->Refresh();
        return;
    }
    if (bSend && !m_bLock && m_writer) m_writer->SendClear();
    if (m_nBoardMode == BOARD_BLANK)
    {
        RECT rc{0, 0, m_bitmaps.Width(), m_bitmaps.Height()};
        FillRect(m_bitmaps.Background(), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ClearToBackground();
    if (m_hTextBox)
    {
        SetWindowTextW(m_hTextBox, L"");
        ShowWindow(m_hTextBox, SW_HIDE);
    }
    Changed();
}

void CLMView::DeletePageCheck()
{
    m_strModeName = u"Edit_Del";
    if (m_writer) m_writer->SendModeName(u"Edit_Del");
}

void CLMView::SendDeletePage(bool bLastFile, const std::u16string& name)
{
    if (!m_writer || !IsSafeBoardName(name)) return;
    m_writer->SendPageDelete(name);
    DeleteByName(name, true);
    if (bLastFile) m_writer->SendTransferEnd();
}

void CLMView::RequestAgendaOrder(const std::u16string& name, const uint8_t* pBuff, size_t nLen)
{
    if (m_writer && pBuff && nLen <= kBoardPayloadMax) m_writer->SendAgendaOrder(name, pBuff, nLen);
}

void CLMView::RequestAgendaName(const std::u16string& name, const uint8_t* pBuff72)
{
    if (m_writer && pBuff72) m_writer->SendAgendaName(name, pBuff72);
}

void CLMView::SucSendBoardData(const uint8_t* pMsg)
{
    if (!m_writer || !pMsg) return;
    S_BOARD_MSGHDR hdr = S_BOARD_MSGHDR::Read(pMsg);
    m_writer->SucSendBoardData(pMsg,
                               kBoardMsgHeaderSize + std::min<size_t>(hdr.dwPayloadLen, kBoardPayloadMax));
}

// ---- upload

namespace
{
// The worker's steps: the writer sends, the window's thread hears of counts and the first page.
class CViewUploadSteps : public IUploadSteps
{
public:
    CViewUploadSteps(CSockBoard& writer, const BoardFolders& folders, HWND hView)
        : m_writer(writer), m_folders(folders), m_hView(hView)
    {
    }
    void FileCount(uint32_t nCurrent, uint32_t nTotal) override
    {
        PostMessageW(m_hView, WM_BOARD_FILE_COUNT, nCurrent, static_cast<LPARAM>(nTotal));
    }
    bool SendPage(const S_BOARD_FILEHDR& hdr) override { return m_writer.SendFile(hdr); }
    bool Cancelled() override { return m_writer.IsUploadCancelled(); }
    void ShowFirstPage(int nIndex) override
    {
        PostMessageW(m_hView, WM_BOARD_SELECT_PAGE, static_cast<WPARAM>(nIndex), 1);
    }
    void DropUnsent(const S_BOARD_FILEHDR& hdr) override
    {
        // Pages not yet sent are open nowhere: the store only opens listed and received pages.
        std::u16string name = S_BOARD_FILEHDR::Text(hdr.szName);
        std::error_code ec;
        if (auto page = m_folders.PageFile(name)) std::filesystem::remove(*page, ec);
        if (auto background = m_folders.BackgroundFile(name)) std::filesystem::remove(*background, ec);
    }

private:
    CSockBoard& m_writer;
    const BoardFolders& m_folders;
    HWND m_hView;
};
} // namespace

bool CLMView::UploadAgenda(const std::u16string& agenda, const std::u16string& files)
{
    if (!m_store || !m_writer || !m_hWnd || IsUploading()) return false;
    std::vector<std::u16string> list = SplitFileList(files);
    if (list.empty()) return false;
    if (!agenda.empty()) m_strAgenda = agenda;

    std::vector<std::u16string> names;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        for (const auto& v : {&m_pages, &m_uploads})
            for (const S_BOARD_FILEHDR& h : *v)
                names.push_back(S_BOARD_FILEHDR::Text(h.szName));
    }
    uint32_t nTotal = 0;
    std::vector<S_BOARD_FILEHDR> made;
    for (const std::u16string& file : list)
    {
        // Documents and presentations go through the document converter, which this board lacks.
        if (ClassifyUploadFile(file) != UploadFileKind::Picture)
        {
            m_events.ErrorMessage(1);
            continue;
        }
        std::filesystem::path source(file);
        if (!IsReadablePicture(source))
        {
            m_events.ErrorMessage(0);
            continue;
        }
        std::optional<std::u16string> name = MakePageName(m_strAgenda, NextPageNumber(names));
        if (!name)
        {
            m_events.ErrorMessage(4);
            break;
        }
        S_NEW_PAGE page;
        page.name = *name;
        page.title = FileTitleOf(file);
        page.caption = page.title;
        page.byKind = PAGE_PICTURE;
        std::optional<S_BOARD_FILEHDR> hdr = m_store->CreatePage(&source, page);
        if (!hdr) continue;
        names.push_back(*name);
        made.push_back(*hdr);
        nTotal += hdr->dwSize + static_cast<uint32_t>(kBoardFileHeaderSize);
    }
    if (made.empty()) return false;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        m_uploads.insert(m_uploads.end(), made.begin(), made.end());
    }
    m_events.CreateProgress(false);
    StartUpload(nTotal);
    return true;
}

void CLMView::DropFiles(const std::vector<std::u16string>& files)
{
    if (m_bLock || IsUploading()) return;
    std::u16string list;
    for (const std::u16string& file : files)
    {
        std::u16string title = FileTitleOf(file);
        const size_t nSlash = file.find_last_of(u"\\/");
        if (file.find(u'.', nSlash == std::u16string::npos ? 0 : nSlash + 1) == std::u16string::npos) break;
        if (ClassifyUploadFile(file) != UploadFileKind::Picture)
        {
            m_events.ErrorMessage(1);
            continue;
        }
        if (list.empty()) m_events.OpenPreviewResult(0);
        list += (list.empty() ? u"" : u"|") + file;
    }
    if (!list.empty()) UploadAgenda(m_strAgenda, list);
}

void CLMView::StartUpload(uint32_t nTotal)
{
    std::vector<S_BOARD_FILEHDR> pages;
    int nFirst = 0;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        pages = m_uploads;
        nFirst = static_cast<int>(m_pages.size());
    }
    m_events.SetTotalSize(nTotal);
    m_writer->SendUploadStart(static_cast<uint32_t>(pages.size()), nTotal);
    m_writer->SetUploadCancel(false);
    m_writer->StartPacing();
    if (!m_hUploadDone) m_hUploadDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(m_hUploadDone);
    unsigned nUpload = ++m_nUpload;
    m_upload = std::thread(&CLMView::RunUploadWorker, this, nUpload, std::move(pages), nFirst);
}

void CLMView::RunUploadWorker(unsigned nUpload, std::vector<S_BOARD_FILEHDR> pages, int nFirstIndex)
{
    CViewUploadSteps steps(*m_writer, *m_folders, m_hWnd);
    UploadResult result = RunUpload(steps, pages, nFirstIndex);
    PostMessageW(m_hWnd, WM_BOARD_UPLOAD_END, nUpload, result.bCancelled ? 1 : 0);
    SetEvent(m_hUploadDone);
}

void CLMView::AddLocalPage(const S_BOARD_FILEHDR& hdr)
{
    if (!m_hWnd || GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId())
    {
        AddPage(hdr);
        return;
    }
    size_t nIndex;
    {
        std::lock_guard<std::mutex> lock(m_pagesLock);
        m_pages.push_back(hdr);
        nIndex = m_pages.size() - 1;
    }
    PostMessageW(m_hWnd, WM_BOARD_PAGE_SENT, nIndex, 0);
}

void CLMView::WaitForUpload(bool bPump)
{
    if (!m_upload.joinable()) return;
    // The worker may be inside a host event that waits for this thread: messages keep moving.
    bool bQuit = false;
    WPARAM nQuit = 0;
    while (bPump &&
           MsgWaitForMultipleObjects(1, &m_hUploadDone, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                bQuit = true;
                nQuit = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (m_upload.joinable()) m_upload.join();
    if (bQuit) PostQuitMessage(static_cast<int>(nQuit));
}

void CLMView::CancelUpload(bool bSend)
{
    if (!m_writer) return;
    m_writer->SetUploadCancel(true);
    // The worker's end notice may arrive while the messages are pumped: it is this cancel's.
    ++m_nUpload;
    WaitForUpload(true);
    EmptyUploadList();
    if (m_hWnd) m_events.DestroyProgress();
    if (bSend) m_writer->SendUploadCancel();
    m_writer->SetUploadCancel(false);
}

void CLMView::EndUpload(unsigned nUpload, bool bCancelled)
{
    // An upload that was cancelled has been waited for already; its end notice comes late.
    if (nUpload != m_nUpload || !m_upload.joinable()) return;
    WaitForUpload(false);
    EmptyUploadList();
    if (bCancelled) return;
    m_writer->SendTransferEnd();
    if (HWND hHost = HostWindow()) SetForegroundWindow(hHost);
    m_events.UploadAgendaComplete();
}

std::vector<uint8_t> CLMView::RecordStartData() const
{
    if (!m_writer || m_nCurrent < 0) return {};
    return m_writer->RecordStartData(0, static_cast<uint16_t>(m_nZoom));
}

bool CLMView::PlayerLoadAgenda(bool bUnicodeData)
{
    SetZoomValue(kZoomFitWidth, false, true);
    m_reader.SetPlayerMode(true);
    if (!m_folders || !m_store) return TRUE;
    std::error_code ec;
    std::vector<std::u16string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folders->pages, ec))
    {
        std::u16string name = entry.path().filename().u16string();
        if (name.rfind(m_strAgenda, 0) == 0 && IsSafeBoardName(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::u16string& name : names)
    {
        if (HasPage(name)) continue;
        if (!bUnicodeData)
            m_store->ConvertOldPage(name);
        else if (std::optional<S_BOARD_FILEHDR> hdr = m_store->ReadHeader(name))
            AddPage(*hdr);
    }
    // The recording's files may have replaced the page shown (the first blank page is made
    // before playback starts): it is drawn again from its file.
    if (m_nCurrent >= 0) SelectPage(m_nCurrent, false);
    return true;
}

void CLMView::PlayerCleanup()
{
    m_reader.ClearModified();
    EmptyUploadList();
    m_strCurrent.clear();
    m_events.DestroyProgress();
    if (!m_store || !m_folders) return;
    m_store->ClosePage();
    m_store->CloseAppend();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_folders->base, ec))
        if (entry.is_regular_file(ec)) std::filesystem::remove(entry.path(), ec);
}

// ---- IDrawSurface

void CLMView::ClearToBackground()
{
    m_bitmaps.ClearToBackground();
    m_pointer.reset();
    if (m_hPointer) ShowWindow(m_hPointer, SW_HIDE);
}

void CLMView::DrawLine(const DrawStyle& style, DrawPt a, DrawPt b)
{
    m_painter.Line(m_bitmaps.Drawing(), style, a, b);
    m_bitmaps.MarkChanged();
}

void CLMView::DrawRectangle(const DrawStyle& style, DrawBox box)
{
    m_painter.Rectangle(m_bitmaps.Drawing(), style, box);
    m_bitmaps.MarkChanged();
}

void CLMView::DrawEllipse(const DrawStyle& style, DrawBox box)
{
    m_painter.Ellipse(m_bitmaps.Drawing(), style, box);
    m_bitmaps.MarkChanged();
}

void CLMView::DrawTriangle(const DrawStyle& style, const std::array<DrawPt, 3>& pts)
{
    m_painter.Triangle(m_bitmaps.Drawing(), style, pts);
    m_bitmaps.MarkChanged();
}

void CLMView::Erase(DrawBox box)
{
    RECT rc{box.left, box.top, box.right, box.bottom};
    m_bitmaps.RestoreBox(rc);
    if (m_hWnd) Changed();
}

void CLMView::DrawText(const ::DrawRecord& rec)
{
    CFigurePainter::Text(m_bitmaps.Drawing(), rec);
    m_bitmaps.MarkChanged();
}

bool CLMView::StampAt(DrawPt pt)
{
    BITMAP bm{};
    if (!m_hStamp || !GetObjectW(m_hStamp, sizeof bm, &bm)) return false;
    if (pt.x < 0 || pt.y < 0 || pt.x + bm.bmWidth > m_bitmaps.Width() ||
        pt.y + bm.bmHeight > m_bitmaps.Height())
        return false;
    HDC hdcStamp = CreateCompatibleDC(m_bitmaps.Drawing());
    HGDIOBJ hOld = SelectObject(hdcStamp, m_hStamp);
    // The stamp's white is its transparent part.
    TransparentBlt(m_bitmaps.Drawing(), pt.x, pt.y, bm.bmWidth, bm.bmHeight, hdcStamp, 0, 0, bm.bmWidth,
                   bm.bmHeight, RGB(255, 255, 255));
    SelectObject(hdcStamp, hOld);
    DeleteDC(hdcStamp);
    m_bitmaps.MarkChanged();
    Changed();
    return true;
}

void CLMView::PlaceStamp(DrawPt pt)
{
    StampAt(pt);
}

void CLMView::MovePointer(DrawPt pt)
{
    m_pointer = pt;
    if (!m_hPointer || !m_hWnd) return;
    POINT origin = PageOrigin();
    DrawPt window{origin.x + Scaled(pt.x, m_dScale), origin.y + Scaled(pt.y, m_dScale)};
    PointerPlace place =
        PlacePointer(window, Scaled(m_bitmaps.Width(), m_dScale), Scaled(m_bitmaps.Height(), m_dScale));
    SetWindowPos(m_hPointer, HWND_TOP, place.window.x, place.window.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CLMView::ScrollTo(DrawPt pt)
{
    SetScrollPos(Scaled(pt.x, m_dScale), Scaled(pt.y, m_dScale));
}

void CLMView::OpenBrowser(const std::u16string (&strings)[4])
{
    if (!m_browser || !IsWebAddress(strings[0])) return;
    m_strWebFrame = strings[1];
    m_webPostData = Utf8Of(strings[2]);
    m_strWebHeaders = strings[3];
    m_strPeerAddress = strings[0];
    SetBoardMode(strings[0], BOARD_WEB);
    ShowBrowser(true);
    m_browser->Navigate(strings[0], m_strWebFrame, m_webPostData, m_strWebHeaders);
}

// ---- IBoardInputOwner

void CLMView::DrawBand(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b)
{
    // The band is drawn on screen only: the previous one is repainted from the drawing.
    if (!m_hWnd) return;
    InvalidateRect(m_hWnd, &m_rcBand, FALSE);
    UpdateWindow(m_hWnd);
    POINT origin = PageOrigin();
    auto toWindow = [&](DrawPt p) {
        return DrawPt{origin.x + Scaled(p.x, m_dScale), origin.y + Scaled(p.y, m_dScale)};
    };
    BoardPen scaled = pen;
    scaled.byWidth = static_cast<uint8_t>(std::max(1, Scaled(pen.byWidth, m_dScale)));
    HDC hdc = GetDC(m_hWnd);
    struct WindowSurface : IDrawSurface
    {
        HDC hdc;
        const CFigurePainter& painter;
        WindowSurface(HDC h, const CFigurePainter& p) : hdc(h), painter(p) {}
        void ClearToBackground() override {}
        void DrawLine(const DrawStyle& s, DrawPt a, DrawPt b) override { painter.Line(hdc, s, a, b); }
        void DrawRectangle(const DrawStyle& s, DrawBox box) override { painter.Rectangle(hdc, s, box); }
        void DrawEllipse(const DrawStyle& s, DrawBox box) override { painter.Ellipse(hdc, s, box); }
        void DrawTriangle(const DrawStyle& s, const std::array<DrawPt, 3>& p) override
        {
            painter.Triangle(hdc, s, p);
        }
        void Erase(DrawBox) override {}
        void DrawText(const ::DrawRecord&) override {}
        void PlaceStamp(DrawPt) override {}
        void MovePointer(DrawPt) override {}
        void ScrollTo(DrawPt) override {}
        void SetZoom(uint16_t) override {}
        void OpenBrowser(const std::u16string (&)[4]) override {}
    } surface(hdc, m_painter);
    DrawPt wa = toWindow(a), wb = toWindow(b);
    DrawFigure(surface, scaled, byMode, wa, wb);
    ReleaseDC(m_hWnd, hdc);
    int m = scaled.byWidth + 2;
    DrawBox box = BoxOf(wa, wb);
    m_rcBand = RECT{box.left - m, box.top - m, box.right + m, box.bottom + m};
}

void CLMView::EndBand()
{
    if (m_hWnd) InvalidateRect(m_hWnd, &m_rcBand, FALSE);
    m_rcBand = RECT{0, 0, 0, 0};
}

void CLMView::DrawPreview(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b)
{
    DrawFigure(*this, pen, byMode, a, b);
    Changed();
}

void CLMView::OpenTextBox(DrawPt pt)
{
    if (!m_hWnd) return;
    POINT origin = PageOrigin();
    int x = origin.x + Scaled(pt.x, m_dScale), y = origin.y + Scaled(pt.y, m_dScale);
    // The box's own style: the board may sit in a window that is not shown yet.
    if (m_hTextBox && (GetWindowLongPtrW(m_hTextBox, GWL_STYLE) & WS_VISIBLE))
    {
        RECT rc;
        GetWindowRect(m_hTextBox, &rc);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        POINT click{x, y};
        if (PtInRect(&rc, click)) return;
        // A click outside the open box commits it: drawn and sent as a text record.
        int n = GetWindowTextLengthW(m_hTextBox);
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        GetWindowTextW(m_hTextBox, text.data(), n + 1);
        text.resize(std::min<size_t>(static_cast<size_t>(n), kMaxTextBoxUnits));
        ShowWindow(m_hTextBox, SW_HIDE);
        SetWindowTextW(m_hTextBox, L"");
        if (text.empty() || m_bLock || !m_writer) return;
        DrawPt tl = ToPage(rc.left, rc.top), br = ToPage(rc.right, rc.bottom);
        std::u16string u16(text.begin(), text.end());
        if (m_writer->SendText(m_dwTextColor, static_cast<uint16_t>(tl.x), static_cast<uint16_t>(tl.y),
                               static_cast<uint16_t>(br.x), static_cast<uint16_t>(br.y), m_font, u16))
        {
            ::DrawRecord rec;
            rec.byType = REC_TEXT;
            rec.dwTextColor = m_dwTextColor;
            rec.rcText[0] = static_cast<uint16_t>(tl.x);
            rec.rcText[1] = static_cast<uint16_t>(tl.y);
            rec.rcText[2] = static_cast<uint16_t>(br.x);
            rec.rcText[3] = static_cast<uint16_t>(br.y);
            rec.font = m_font;
            rec.text = u16;
            DrawText(rec);
            Changed();
        }
        return;
    }
    if (!m_hTextBox)
    {
        m_hTextBox = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
            kTextBoxWidth, kTextBoxHeight, m_hWnd, nullptr, ServerModuleHandle(), nullptr);
        SendMessageW(m_hTextBox, EM_LIMITTEXT, kMaxTextBoxUnits, 0);
    }
    LOGFONTW lf = LogFontOf(m_font);
    HFONT hFont = CreateFontIndirectW(&lf);
    HFONT hOld = reinterpret_cast<HFONT>(SendMessageW(m_hTextBox, WM_GETFONT, 0, 0));
    SendMessageW(m_hTextBox, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
    if (hOld) DeleteObject(hOld);
    SetWindowPos(m_hTextBox, HWND_TOP, x, y, kTextBoxWidth, kTextBoxHeight, SWP_SHOWWINDOW);
    SetFocus(m_hTextBox);
}

void CLMView::ScrollBy(int dx, int dy)
{
    SetScrollPos(m_scroll.x + dx, m_scroll.y + dy);
}

DrawPt CLMView::ScrollPosition() const
{
    return DrawPt{m_scroll.x, m_scroll.y};
}

void CLMView::SendScrollPosition()
{
    if (m_bLock || !m_writer || m_dScale <= 0) return;
    m_writer->SendScroll(static_cast<uint16_t>(m_scroll.x / m_dScale),
                         static_cast<uint16_t>(m_scroll.y / m_dScale));
}

// ---- geometry, scrolling and painting

HWND CLMView::HostWindow() const
{
    return m_hHost ? GetAncestor(m_hHost, GA_ROOT) : nullptr;
}

POINT CLMView::PageOrigin() const
{
    RECT rc{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &rc);
    int cx = Scaled(m_bitmaps.Width(), m_dScale), cy = Scaled(m_bitmaps.Height(), m_dScale);
    POINT origin{-m_scroll.x, -m_scroll.y};
    if (cx < rc.right) origin.x = (rc.right - cx) / 2;
    if (cy < rc.bottom) origin.y = (rc.bottom - cy) / 2;
    return origin;
}

DrawPt CLMView::ToPage(int x, int y) const
{
    POINT origin = PageOrigin();
    if (m_dScale <= 0) return {0, 0};
    return DrawPt{static_cast<int>((x - origin.x) / m_dScale), static_cast<int>((y - origin.y) / m_dScale)};
}

void CLMView::Refit()
{
    // A web page's browser follows the board wherever it goes.
    if (IsWebMode()) ShowBrowser(true);
    RECT rc{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &rc);
    ZoomViewport view;
    view.nWindowWidth = rc.right;
    view.nWindowHeight = rc.bottom;
    view.nPageWidth = m_bitmaps.Width();
    view.nPageHeight = m_bitmaps.Height();
    view.nScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    view.bSlideShow = m_nBoardMode == BOARD_SLIDESHOW;
    m_dScale = m_hWnd ? ZoomScale(m_nZoom, view) : 1.0;
    if (m_dScale <= 0) m_dScale = 1.0;
    UpdateScrollBars();
    if (m_pointer) MovePointer(*m_pointer);
    Changed();
}

void CLMView::UpdateScrollBars()
{
    if (!m_hWnd) return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int cx = Scaled(m_bitmaps.Width(), m_dScale), cy = Scaled(m_bitmaps.Height(), m_dScale);
    m_scroll.x = std::clamp<LONG>(m_scroll.x, 0, std::max<LONG>(0, cx - rc.right));
    m_scroll.y = std::clamp<LONG>(m_scroll.y, 0, std::max<LONG>(0, cy - rc.bottom));
    SCROLLINFO si{sizeof si,
                  SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                  0,
                  cx - 1,
                  static_cast<UINT>(rc.right),
                  m_scroll.x,
                  0};
    SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    si.nMax = cy - 1;
    si.nPage = static_cast<UINT>(rc.bottom);
    si.nPos = m_scroll.y;
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
}

void CLMView::SetScrollPos(int x, int y)
{
    // Each axis moves only where the window is smaller than the page.
    RECT rc{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &rc);
    int cx = Scaled(m_bitmaps.Width(), m_dScale), cy = Scaled(m_bitmaps.Height(), m_dScale);
    if (cx > rc.right) m_scroll.x = std::clamp(x, 0, cx - static_cast<int>(rc.right));
    if (cy > rc.bottom) m_scroll.y = std::clamp(y, 0, cy - static_cast<int>(rc.bottom));
    UpdateScrollBars();
    if (m_pointer) MovePointer(*m_pointer);
    Changed();
}

void CLMView::Changed()
{
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CLMView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    HBRUSH hBack = CreateSolidBrush(GetSysColor(COLOR_APPWORKSPACE));
    if (m_nCurrent < 0)
    {
        FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        std::wstring text(m_strMessage.begin(), m_strMessage.end());
        ::DrawTextW(hdc, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    else if (m_nBoardMode != BOARD_SLIDESHOW)
    {
        POINT origin = PageOrigin();
        int cx = Scaled(m_bitmaps.Width(), m_dScale), cy = Scaled(m_bitmaps.Height(), m_dScale);
        HDC hdcSource = cx == m_bitmaps.Width() && cy == m_bitmaps.Height() ? m_bitmaps.Drawing()
                                                                            : m_bitmaps.Scaled(cx, cy);
        if (hdcSource) BitBlt(hdc, origin.x, origin.y, cx, cy, hdcSource, 0, 0, SRCCOPY);
        // Around a page smaller than the window.
        ExcludeClipRect(hdc, origin.x, origin.y, origin.x + cx, origin.y + cy);
        FillRect(hdc, &rc, hBack);
    }
    DeleteObject(hBack);
    EndPaint(m_hWnd, &ps);
}

void CLMView::OnScroll(int nBar, UINT nCode)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(m_hWnd, nBar, &si);
    int nPos = si.nPos;
    switch (nCode)
    {
    case SB_LINEUP:
        nPos -= 20;
        break;
    case SB_LINEDOWN:
        nPos += 20;
        break;
    case SB_PAGEUP:
        nPos -= static_cast<int>(si.nPage);
        break;
    case SB_PAGEDOWN:
        nPos += static_cast<int>(si.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        nPos = si.nTrackPos;
        break;
    case SB_ENDSCROLL:
        SendScrollPosition();
        return;
    default:
        return;
    }
    if (nBar == SB_HORZ)
        SetScrollPos(nPos, m_scroll.y);
    else
        SetScrollPos(m_scroll.x, nPos);
}

void CLMView::OnWheel(int nDelta, UINT nKeys)
{
    int nNotches = nDelta / WHEEL_DELTA;
    if (nNotches == 0) return;
    if (nKeys & MK_CONTROL)
    {
        int nFrom = RealZoom(m_nZoom, m_dScale, m_bitmaps.Width());
        SetZoomValue(std::clamp(nFrom + nNotches, kZoomMin, kZoomMax), true, true);
        return;
    }
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (nKeys & MK_SHIFT)
        SetScrollPos(m_scroll.x - nNotches * rc.right, m_scroll.y);
    else
        SetScrollPos(m_scroll.x, m_scroll.y - nNotches * rc.bottom);
    SendScrollPosition();
}

void CLMView::OnMouse(UINT uMsg, LPARAM lParam, WPARAM wParam)
{
    PointerInput(uMsg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
}

void CLMView::PointerInput(UINT uMsg, int x, int y, bool bShift)
{
    if (m_bLock && m_input.DrawMode() != DRAW_SCROLL) return;
    DrawPt page = ToPage(x, y);
    DrawPt window{x, y};
    if (uMsg == WM_LBUTTONDOWN)
    {
        POINT origin = PageOrigin();
        RECT rcPage{origin.x, origin.y, origin.x + Scaled(m_bitmaps.Width(), m_dScale),
                    origin.y + Scaled(m_bitmaps.Height(), m_dScale)};
        POINT pt{x, y};
        bool bInPage = m_nCurrent >= 0 && PtInRect(&rcPage, pt);
        if (m_writer) m_writer->SetCurrentPage(m_strCurrent);
        m_input.ButtonDown(m_pen, page, window, bInPage);
        if (m_input.IsPressed()) SetCapture(m_hWnd);
    }
    else if (uMsg == WM_MOUSEMOVE)
        m_input.Move(page, window, bShift);
    else if (uMsg == WM_LBUTTONUP)
    {
        if (GetCapture() == m_hWnd) ReleaseCapture();
        m_input.ButtonUp(page, window, bShift);
    }
}

LRESULT CLMView::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = true;
    switch (uMsg)
    {
    case WM_CREATE:
        m_hPointer = CreatePointerWindow(m_hWnd);
        Refit();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Refit();
        if (m_tablet) m_tablet->Resize();
        return 0;
    case WT_PACKET:
        if (m_tablet) m_tablet->OnPacket(wParam, lParam);
        return 0;
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        OnMouse(uMsg, lParam, wParam);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !(lParam & (1 << 30))) m_input.SpaceDown();
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) m_input.SpaceUp();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        SetCursor(CursorForMode(m_input.DrawMode(), m_input.IsPressed(), m_dScale));
        return TRUE;
    case WM_BOARD_HOST_MODE:
        OnHostMode(static_cast<int>(wParam));
        return 0;
    case WM_BOARD_SELECT_PAGE:
        SelectPage(static_cast<int>(wParam), lParam != 0);
        return 0;
    case WM_BOARD_REPLAY:
        m_reader.ReplayQueue();
        return 0;
    case WM_BOARD_WEB_CAPTURE:
        CaptureWebPage();
        return 0;
    case WM_BOARD_FOREGROUND:
        if (HWND hHost = HostWindow()) SetForegroundWindow(hHost);
        return 0;
    case WM_BOARD_FILE_COUNT:
        m_events.SetFileCount(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    case WM_BOARD_PAGE_SENT:
    {
        std::optional<S_BOARD_FILEHDR> hdr;
        {
            std::lock_guard<std::mutex> lock(m_pagesLock);
            if (wParam < m_pages.size()) hdr = m_pages[wParam];
        }
        if (hdr) m_events.AddPage(0, *hdr);
        return 0;
    }
    case WM_BOARD_UPLOAD_END:
        EndUpload(static_cast<unsigned>(wParam), lParam != 0);
        return 0;
    default:
        break;
    }
    bHandled = false;
    return 0;
}
