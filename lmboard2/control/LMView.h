// CLMView: the board surface and owner of the board's state: the page list, the current page,
// the board mode, the tools, the drawing surfaces, the message writer, the page store and the
// reader of inbound messages.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lmboard2/boardmsg/SockBoard.h"
#include "lmboard2/control/BoardBrowser.h"
#include "lmboard2/control/BoardBitmaps.h"
#include "lmboard2/control/BoardTablet.h"
#include "lmboard2/control/BoardWindow.h"
#include "lmboard2/control/FigurePainter.h"
#include "lmboard2/control/ImageWnd.h"
#include "lmboard2/pagefile/BoardPageStore.h"
#include "lmboard2/view/BoardEvents.h"
#include "lmboard2/view/BoardInput.h"
#include "lmboard2/view/BoardReader.h"
#include "lmboard2/view/BoardZoom.h"
#include "lmboard2/view/EBookIndex.h"

// Private messages of the view.
constexpr UINT WM_BOARD_HOST_MODE = 2125;
constexpr UINT WM_BOARD_SELECT_PAGE = 2126;
constexpr UINT WM_BOARD_REPLAY = 2131;
constexpr UINT WM_BOARD_WEB_CAPTURE = 2225;
constexpr UINT WM_BOARD_FOREGROUND = 2226;
constexpr UINT WM_BOARD_FILE_COUNT = 2140; // wParam the file going out (from 1), lParam the count
constexpr UINT WM_BOARD_UPLOAD_END = 2141; // wParam the upload's number, lParam 1 when cancelled
constexpr UINT WM_BOARD_PAGE_SENT = 2142;  // wParam the index of a page the upload added
constexpr UINT kViewPaneId = 0xE900;

enum BoardMode
{
    BOARD_BLANK = 0,
    BOARD_WEB = 1,
    BOARD_WEB_CAPTURE = 2,
    BOARD_PICTURE = 4,
    BOARD_CLIPBOARD = 5,
    BOARD_SLIDESHOW = 6,
    BOARD_CAPTURE = 7,
};

class CLMView final : public CBoardWindow,
                      public IBoardPageModel,
                      public IPageStoreOwner,
                      public IBoardWriterOwner,
                      public IDrawSurface,
                      public IBoardInputOwner
{
public:
    // The board's folders are made under tempFolder (the user's temporary folder).
    explicit CLMView(IBoardEvents& events, const std::filesystem::path& tempFolder = BoardTempFolder());
    ~CLMView() override;

    bool Create(HWND hParent, const RECT& rc);

    // The host's settings (Init); pBrowser is the host's web browser (its dispatch interface), or null.
    void Init(IDispatch* pBrowser, HWND hParent, bool bLobby, const std::u16string& product);
    void SetConfCode(const std::u16string& agenda);
    int Read(const uint8_t* pMsg, size_t nLen) { return m_reader.Read(pMsg, nLen); }
    int SetBandwidth(int32_t n) { return m_writer ? m_writer->SetBandwidth(n) : -1; }
    int BoardMode() const { return m_nBoardMode; }
    bool SetZoomValue(int nZoom, bool bSend, bool bMine);
    void SetDrawMode(int nMode);
    void SetLineColor(uint32_t dwColor) { m_pen.dwColor = dwColor & 0x00FFFFFF; }
    void SetLineThick(int nThick) { m_pen.byWidth = static_cast<uint8_t>(std::clamp(nThick, 1, 255)); }
    uint8_t LineThick() const { return m_pen.byWidth; }
    // The width of the next strokes and of the stroke in progress (a tablet pen's pressure).
    void SetStrokeWidth(uint8_t byWidth)
    {
        m_pen.byWidth = byWidth;
        m_input.SetStrokeWidth(byWidth);
    }
    // The left button (down, move or up) at a window point, from the mouse or a tablet pen.
    void PointerInput(UINT uMsg, int x, int y, bool bShift);
    // The pen tablet of a room board: the driver is checked against the files in driverFolder
    // (the system folder) and a context opened on this window. False when there is none.
    bool StartTablet(const std::filesystem::path& driverFolder);
    const CBoardTablet* Tablet() const { return m_tablet.get(); }
    void SetLineFluorescent(bool b) { m_pen.byFluorescent = b ? 1 : 0; }
    void ChooseTextFont();
    void SetLock(bool bLock);
    bool IsLocked() const { return m_bLock; }
    void Clear(bool bSend);
    bool SelectPageAndTell(int nIndex);
    void DeletePageCheck();
    void SendDeletePage(bool bLastFile, const std::u16string& name);
    void RequestAgendaOrder(const std::u16string& name, const uint8_t* pBuff, size_t nLen);
    void RequestAgendaName(const std::u16string& name, const uint8_t* pBuff72);
    // The pictures of a '|'-separated list become pages of the agenda and go out one by one on
    // a worker; other files are refused with ErrorMessage(1). False when nothing goes out.
    bool UploadAgenda(const std::u16string& agenda, const std::u16string& files);
    // Stops an upload: the worker ends (messages are pumped meanwhile), unsent pages are deleted,
    // DestroyProgress is fired and, when asked, code 82 sent.
    void CancelUpload(bool bSend);
    // Files dropped on the board: pictures go up as one upload (OpenPreviewResult(0) first);
    // a file of another kind answers ErrorMessage(1), a file without extension ends the list.
    // Nothing while the board is locked.
    void DropFiles(const std::vector<std::u16string>& files);
    bool IsUploading() const { return m_upload.joinable(); }
    // Save: the current page's drawing through a save dialog, as a GIF or a bitmap file.
    bool Save();
    // The current page's drawing written as a GIF (else a bitmap file); false when not written.
    bool SavePage(const std::filesystem::path& path, bool bGif) const;
    // Print: the print dialog, then the chosen pages (all, or a range) in one print job, each
    // copy of each page on a printer page of its own with its caption at the top. Document pages
    // are the presentation program's to print and are left out.
    bool Print();
    // One printed page drawn into the printable area of a device context.
    bool DrawPrintedPage(HDC hdc, int nIndex, int nPrintWidth, int nPrintHeight);
    // The page preview window (child 511) at rc in the host's window, replacing an earlier one.
    bool CreatePreview(HWND hParent, const RECT& rc);
    bool SetPreviewSize(int cx, int cy);
    // Shows page nIndex in the preview: drawn from its file, or the cannot-preview text for a
    // document page. False without a preview window or such a page.
    bool SetPreviewPage(int nIndex);
    HWND PreviewWindow() const { return m_preview.Hwnd(); }
    // Modes 5 and 7: the clipboard becomes a captured page (kind 10) that goes out at once.
    bool CaptureClipboard(int nMode);

    // Web pages through the host's browser. LoadWebPage (Load mode 1) places the browser over
    // the board and navigates it; 0 on success, 1 without a browser or for an address that is
    // not a web address.
    int LoadWebPage(const std::u16string& address);
    // The browser's notices, passed on by the host.
    void OnBeforeNavigate(const std::u16string& address, const std::u16string& frame,
                          const std::string& postData, const std::u16string& headers);
    void OnNavigateComplete(const std::u16string& address);
    void OnDocumentComplete();
    // Mode 2: the web page shown becomes a captured page (kind 9) that goes out at once.
    bool CaptureWebPage();

    // E-books: the index beside the host program, the combo selections and code 90.
    void LoadEBook();
    void EBookSelectCombo(int nKind, int nIndex, const std::u16string& text);
    void EBookPageMove(int nKind, int nSel);
    std::u16string EBookTitle(const std::u16string& combo) const;
    bool SetEBookPage(const std::u16string& title, uint32_t nLevel, uint32_t nStep, uint32_t nPage);
    // The index file read by LoadEBook: "ebook.txt" in the folder of the host's product module.
    std::filesystem::path EBookIndexPath() const;
    void SucSendBoardData(const uint8_t* pMsg);
    std::vector<uint8_t> RecordStartData() const;
    bool PlayerLoadAgenda(bool bUnicodeData);
    bool PlayerIsModify() const { return m_reader.IsModified(); }
    void PlayerCleanup();
    void SetParentActive(bool b) { m_bParentActive = b; }
    void SetTopMargin(int n) { m_nTopMargin = n; }
    int TopMargin() const { return m_nTopMargin; }
    // Re-fits the zoom and the scroll sizes after the window or page changed.
    void Refit();
    void SetAntialiased(bool b) { m_painter.SetAntialiased(b); }

    // What tests and the host read back.
    const CSurfaceBitmap& DrawingBitmap() const { return m_bitmaps.DrawingBitmap(); }
    int Zoom() const { return m_nZoom; }
    int DrawMode() const { return m_input.DrawMode(); }

    // IBoardPageModel
    void PostHostMode(int nMode, const std::u16string& modeName) override;
    void EndConversion() override {}
    bool HasPage(const std::u16string& name) const override;
    std::optional<S_BOARD_FILEHDR> ListedHeader(const std::u16string& name) const override;
    void AddPage(const S_BOARD_FILEHDR& hdr) override;
    int CurrentIndex() const override { return m_nCurrent; }
    size_t PageCount() const override;
    std::u16string CurrentPageName() const override { return m_strCurrent; }
    std::u16string AgendaName() const override { return m_strAgenda; }
    bool IsWebMode() const override { return m_nBoardMode == BOARD_WEB; }
    void SelectPage(int nIndex, bool bSend) override;
    void ApplyPageSelection(const uint8_t* pMsg) override;
    void EmptyUploadList() override;
    std::optional<S_BOARD_FILEHDR> LocalHeader(const std::u16string& name) override;
    bool BeginReceive(const uint8_t* pMsg, size_t nLen) override;
    bool ReceiveChunk(const uint8_t* pMsg, size_t nLen) override;
    bool EndReceive(const std::u16string& name) override;
    void CancelReceive() override;
    void DeletePageByName(const std::u16string& name) override { DeleteByName(name, true); }
    std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> ApplyAgendaOrder(const uint8_t* pMsg,
                                                                                size_t nLen) override;
    void RenamePages(const std::u16string& name, const uint8_t* pBlock) override;
    void StoreRecord(const std::u16string& page, const uint8_t* pRecord, size_t nLen) override;
    void DrawRecord(const uint8_t* pRecord, size_t nLen) override;
    void SetZoomFromPeer(uint16_t nZoom) override { SetZoomValue(nZoom, false, false); }
    void SelectEBookPage(const std::u16string& title, uint32_t nLevel, uint32_t nStep,
                         uint32_t nPage) override;
    void PostReplay() override;
    void SendDownloadAck(uint32_t nFiles) override;

    // IPageStoreOwner (AddPage above)
    void ErrorMessage(int nErr) override { m_events.ErrorMessage(nErr); }
    bool IsPresentationName(const std::u16string& name) override;

    // IBoardWriterOwner
    void SendData(const uint8_t* pData, size_t nLen) override { m_events.SendData(pData, nLen); }
    void ProgressChange(uint32_t nBytes) override { m_events.ProgressChange(nBytes); }
    // An uploaded page joins the list at once; the event is fired on the window's thread.
    void AddLocalPage(const S_BOARD_FILEHDR& hdr) override;

    // IDrawSurface: the drawing bitmap (the scaled copy follows at the next paint).
    void ClearToBackground() override;
    void DrawLine(const DrawStyle& style, DrawPt a, DrawPt b) override;
    void DrawRectangle(const DrawStyle& style, DrawBox box) override;
    void DrawEllipse(const DrawStyle& style, DrawBox box) override;
    void DrawTriangle(const DrawStyle& style, const std::array<DrawPt, 3>& pts) override;
    void Erase(DrawBox box) override;
    void DrawText(const ::DrawRecord& rec) override;
    void PlaceStamp(DrawPt pt) override;
    void MovePointer(DrawPt pt) override;
    void ScrollTo(DrawPt pt) override;
    void SetZoom(uint16_t nZoom) override { SetZoomValue(nZoom, false, false); }
    void OpenBrowser(const std::u16string (&strings)[4]) override;

    // IBoardInputOwner
    void DrawBand(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b) override;
    void EndBand() override;
    void DrawPreview(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b) override;
    void ErasePoint(DrawPt pt) override { Erase(EraserBox(pt)); }
    bool StampAt(DrawPt pt) override;
    void PointerAt(DrawPt pt) override { MovePointer(pt); }
    void OpenTextBox(DrawPt pt) override;
    void ScrollBy(int dx, int dy) override;
    DrawPt ScrollPosition() const override;
    void SendScrollPosition() override;
    CSockBoard& Writer() override { return *m_writer; }

protected:
    LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    void OnPaint();
    void OnScroll(int nBar, UINT nCode);
    void OnWheel(int nDelta, UINT nKeys);
    void OnMouse(UINT uMsg, LPARAM lParam, WPARAM wParam);
    void OnHostMode(int nMode);
    void StartUpload(uint32_t nTotal);
    // A capture saved by save() as "<prefix>.gif" in the background folder becomes a page of
    // that kind captioned "<prefix> <count of such pages + 1>" and goes out at once; a failure
    // ends the transfer announced to the peers.
    bool CapturePage(int nMode, uint8_t byKind, const char16_t* szPrefix,
                     const std::function<bool(const std::filesystem::path&)>& save);
    void ShowBrowser(bool bShow);
    void ClearNavigation();
    void RunUploadWorker(unsigned nUpload, std::vector<S_BOARD_FILEHDR> pages, int nFirstIndex);
    void EndUpload(unsigned nUpload, bool bCancelled);
    void WaitForUpload(bool bPump);
    // Draws page nIndex from its background and records; false when there is no such page.
    bool RenderPage(int nIndex, CPageImage& image, S_BOARD_FILEHDR& hdr);
    void SetBoardMode(const std::u16string& path, int nMode);
    void DeleteByName(const std::u16string& name, bool bFire);
    bool WriteHeaderBack(const S_BOARD_FILEHDR& hdr);
    int IndexOf(const std::u16string& name) const;
    // Window point to page point, and the page's offset in the window.
    DrawPt ToPage(int x, int y) const;
    POINT PageOrigin() const;
    void SetScrollPos(int x, int y);
    void UpdateScrollBars();
    void Changed();
    HWND HostWindow() const;

    IBoardEvents& m_events;
    std::optional<BoardFolders> m_folders;
    std::unique_ptr<CBoardPageStore> m_store;
    CSteadyBoardClock m_clock;
    std::unique_ptr<CSockBoard> m_writer;
    CBoardReader m_reader;
    CBoardInput m_input;
    CBoardBitmaps m_bitmaps;
    CFigurePainter m_painter;
    HBITMAP m_hStamp = nullptr;
    HWND m_hPointer = nullptr;
    HWND m_hTextBox = nullptr;

    // The page list is read by an upload worker too.
    mutable std::mutex m_pagesLock;
    std::vector<S_BOARD_FILEHDR> m_pages;
    std::vector<S_BOARD_FILEHDR> m_uploads;
    int m_nCurrent = -1;
    std::u16string m_strCurrent;
    std::u16string m_strAgenda;
    std::u16string m_strReceiving;
    std::u16string m_strModeName;
    std::u16string m_strMessage = u"WhiteBoard";
    S_BOARD_LOGFONT m_font;
    uint32_t m_dwTextColor = 0;

    int m_nBoardMode = BOARD_BLANK;
    BoardPen m_pen{0, 0x00D08C19, 5};
    int m_nZoom = kZoomFitWidth;
    double m_dScale = 1.0;
    POINT m_scroll{0, 0}; // scaled pixels
    std::optional<DrawPt> m_pointer;
    RECT m_rcBand{0, 0, 0, 0};
    bool m_bLock = false;
    bool m_bLobby = false;
    bool m_bParentActive = false;
    int m_nTopMargin = 41;
    HWND m_hHost = nullptr;
    std::u16string m_strProduct;

    // The e-book index, the combo selection in it and the last selection sent or received.
    void SelectEBookIndex(int nIndex);
    std::vector<S_BOOK> m_books;
    CEBookSelection m_ebook{m_books};
    struct EBookChoice
    {
        std::u16string title;
        uint32_t nLevel = 0, nStep = 0, nPage = 0;
    } m_lastEBook;

    CImageWnd m_preview;
    std::unique_ptr<CBoardTablet> m_tablet;

    // The host's browser and what its last navigation kept for browser mode.
    std::unique_ptr<CBoardBrowser> m_browser;
    std::u16string m_strWebAddress, m_strWebFrame, m_strWebHeaders;
    std::string m_webPostData;
    // Set once the browser finished a document: its first, blank page is not sent.
    bool m_bWebLoaded = false;
    // The address a peer's record opened: its navigation is not sent back.
    std::u16string m_strPeerAddress;

    // The upload worker (one at a time), its number and the event it sets when it ends.
    std::thread m_upload;
    unsigned m_nUpload = 0;
    HANDLE m_hUploadDone = nullptr;
};
