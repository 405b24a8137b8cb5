// CLMBoard2: the main program's wrapper of the whiteboard control. It holds no data of its
// own: each method is one dispatch call with the control's dispid and declared types.
#pragma once
#include <string>

#include "comkit/ControlHost.h"

// The control's dispids: positions in its dispatch table.
enum BoardDispid : DISPID
{
    BOARD_LOAD = 1,
    BOARD_SET_LOCK,
    BOARD_ON_DOCUMENT_COMPLETE,
    BOARD_ON_BEFORE_NAVIGATE,
    BOARD_DO_FULL_SCREEN,
    BOARD_ON_NAVIGATE_COMPLETE,
    BOARD_PROCESS_DATA,
    BOARD_SET_BANDWIDTH,
    BOARD_GET_BOARD_MODE,
    BOARD_SET_CONF_CODE,
    BOARD_INIT,
    BOARD_UPLOAD_AGENDA,
    BOARD_PLAYER_LOAD_AGENDA,
    BOARD_PLAYER_IS_MODIFY,
    BOARD_GET_RECORD_START_DATA,
    BOARD_GET_RECORD_START_DATA_SIZE,
    BOARD_PLAYER_CLEANUP,
    BOARD_SUC_SEND_BOARD_DATA,
    BOARD_SET_PPT_OPEN_MODE,
    BOARD_SAVE,
    BOARD_PRINT,
    BOARD_SET_DRAW_MODE,
    BOARD_DRAW_CLEAR,
    BOARD_SET_ZOOM,
    BOARD_SET_TEXT_FONT,
    BOARD_SET_LINE_COLOR,
    BOARD_SET_LINE_THICK,
    BOARD_SET_LINE_FLUORESCENT,
    BOARD_UPLOAD_CANCEL,
    BOARD_CREATE_PREVIEW,
    BOARD_SET_PREVIEW_SIZE,
    BOARD_SET_PREVIEW_PAGE,
    BOARD_SET_CURRENT_PAGE,
    BOARD_DELETE_PAGE_CHECK,
    BOARD_SET_PPT_POINT,
    BOARD_SET_BOARD_POS,
    BOARD_SEND_DELETE_PAGE,
    BOARD_LOAD_EBOOK,
    BOARD_EBOOK_PAGE_MOVE,
    BOARD_EBOOK_SELECT_COMBO,
    BOARD_GET_EBOOK_TITLE,
    BOARD_SET_EBOOK_PAGE,
    BOARD_ON_PRINT_DATA,
    BOARD_OPEN_PREVIEW_DRAW_PAGE,
    BOARD_END_OPEN_PREVIEW,
    BOARD_DELETE_DATA,
    BOARD_SET_USE_OPEN_PREVIEW,
    BOARD_GO_OPEN_PREVIEW_PAGE,
    BOARD_REQ_CHANGE_AGENDA_ORDER,
    BOARD_REQ_CHANGE_AGENDA_NAME,
    BOARD_BOARD_SHOW_STATE,
    BOARD_PARENT_ACTIVATE,
    BOARD_END_BOARD,
    BOARD_SET_DOC_ROTATE,
};

// The board's control id inside its hosting window.
constexpr UINT kBoardControlId = 1023;

class CLMBoard2
{
public:
    // Creates the control by its ProgID as child 1023 of hParent at rc.
    HRESULT Create(HWND hParent, const RECT& rc);
    void Destroy() { m_host.Destroy(); }
    // No board call is made on a board whose window does not exist.
    bool IsWindow() const;
    HWND Window() const { return m_host.ControlWindow(); }
    HRESULT Resize(const RECT& rc) { return m_host.Resize(rc); }
    HRESULT Advise(CEventSink* pSink) { return m_host.Advise(pSink); }

    short Load(const std::wstring& path, short nMode, short nFileCount);
    void SetLock(bool bLock);
    void OnDocumentComplete(IDispatch* pDisp, VARIANT* pUrl);
    BOOL DoFullScreen(bool bFullScreen);
    void OnNavigateComplete(IDispatch* pDisp, VARIANT* pUrl);
    short ProcessData(long lLen, const void* pData);
    short SetBandwidth(long lBytesPerSec);
    short GetBoardMode();
    void SetConfCode(const std::wstring& confCode);
    void Init(const void* pBrowser, HWND hParent, bool bLobby, const std::wstring& product);
    BOOL UploadAgenda(const std::wstring& confCode, const std::wstring& files);
    BOOL PlayerLoadAgenda(bool bUnicodeData);
    BOOL PlayerIsModify();
    BOOL GetRecordStartData(void* pBuff);
    short GetRecordStartDataSize();
    void PlayerCleanup();
    void SucSendBoardData(const void* pSendData);
    void SetPPTOpenMode(bool bSlideShow);
    BOOL Save();
    BOOL Print();
    void SetDrawMode(short nDrawMode);
    void DrawClear();
    BOOL SetZoom(short nZoom);
    void SetTextFont();
    void SetLineColor(long lColor);
    void SetLineThick(short nThick);
    void SetLineFluorescent(bool bFluorescent);
    void UploadCancel();
    BOOL CreatePreview(short nOpen, long x, long y, long cx, long cy, HWND hParent);
    BOOL SetPreviewSize(short nOpen, long cx, long cy);
    BOOL SetPreviewPage(short nPage);
    BOOL SetCurrentPage(long nIndex);
    void DeletePageCheck();
    void SetPPTPoint(bool bUsePoint);
    BOOL SetBoardPos(HWND hInsertAfter, long x, long y, long cx, long cy, long nFlags, short nFloatingTool);
    void SendDeletePage(bool bLastFile, const std::wstring& agendaFile);
    void LoadEBook();
    void EBookPageMove(short nKind, short nSel);
    void EBookSelectCombo(short nKind, short nPage, const std::wstring& combo);
    std::wstring GetEBookTitle(const std::wstring& combo);
    BOOL SetEBookPage(const std::wstring& title, long nLevel, long nStep, long nPage);
    BOOL OnPrintData(const COPYDATASTRUCT* pCopyData);
    void EndOpenPreview(bool bUpload);
    void DeleteData(bool bPageDelete);
    void SetUseOpenPreView(bool bUse);
    void GoOpenPreviewPage(short nKind, short nPage);
    void ReqChangeAgendaOrder(const std::wstring& agenda, const void* pBuff, long nLen);
    void ReqChangeAgendaName(const std::wstring& agenda, const void* pBuff);
    void BoardShowState(bool bShow);
    void ParentActivate(bool bActivate);
    void EndBoard();
    void SetDocRotate(unsigned short unType, short nAngle);

private:
    // The one call of every wrapper: the dispid and the arguments in declared order.
    CVar Invoke(BoardDispid id, std::initializer_list<CVar> args = {});
    static CVar Ptr(const void* p) { return CVar::IntPtr(reinterpret_cast<INT_PTR>(p)); }
    static short AsShort(const CVar& v);
    static BOOL AsBool(const CVar& v);

    CControlHost m_host;
};
