// One dispatch call per method of the whiteboard control.
#include "confclient/boardhost/LMBoard2.h"

HRESULT CLMBoard2::Create(HWND hParent, const RECT& rc)
{
    return m_host.Create(L"LMBOARD2.LMBoard2Ctrl.1", hParent, rc, kBoardControlId);
}

bool CLMBoard2::IsWindow() const
{
    HWND hWnd = m_host.ControlWindow();
    return hWnd && ::IsWindow(hWnd);
}

CVar CLMBoard2::Invoke(BoardDispid id, std::initializer_list<CVar> args)
{
    CVar result;
    if (m_host.IsCreated()) m_host.CallMethod(id, &result, args);
    return result;
}

short CLMBoard2::AsShort(const CVar& v)
{
    short n = 0;
    return v.ToShort(n) ? n : 0;
}

BOOL CLMBoard2::AsBool(const CVar& v)
{
    bool b = false;
    return v.ToBool(b) && b ? TRUE : FALSE;
}

short CLMBoard2::Load(const std::wstring& path, short nMode, short nFileCount)
{
    return AsShort(Invoke(BOARD_LOAD, {CVar(path), CVar(nMode), CVar(nFileCount)}));
}
void CLMBoard2::SetLock(bool bLock)
{
    Invoke(BOARD_SET_LOCK, {CVar(bLock)});
}
void CLMBoard2::OnDocumentComplete(IDispatch* pDisp, VARIANT* pUrl)
{
    Invoke(BOARD_ON_DOCUMENT_COMPLETE, {CVar(pDisp), CVar::ByRef(pUrl)});
}
BOOL CLMBoard2::DoFullScreen(bool bFullScreen)
{
    return AsBool(Invoke(BOARD_DO_FULL_SCREEN, {CVar(bFullScreen)}));
}
void CLMBoard2::OnNavigateComplete(IDispatch* pDisp, VARIANT* pUrl)
{
    Invoke(BOARD_ON_NAVIGATE_COMPLETE, {CVar(pDisp), CVar::ByRef(pUrl)});
}
short CLMBoard2::ProcessData(long lLen, const void* pData)
{
    return AsShort(Invoke(BOARD_PROCESS_DATA, {CVar(lLen), Ptr(pData)}));
}
short CLMBoard2::SetBandwidth(long lBytesPerSec)
{
    return AsShort(Invoke(BOARD_SET_BANDWIDTH, {CVar(lBytesPerSec)}));
}
short CLMBoard2::GetBoardMode()
{
    return AsShort(Invoke(BOARD_GET_BOARD_MODE));
}
void CLMBoard2::SetConfCode(const std::wstring& confCode)
{
    Invoke(BOARD_SET_CONF_CODE, {CVar(confCode)});
}
void CLMBoard2::Init(const void* pBrowser, HWND hParent, bool bLobby, const std::wstring& product)
{
    Invoke(BOARD_INIT, {Ptr(pBrowser), Ptr(hParent), CVar(bLobby ? 1L : 0L), CVar(product)});
}
BOOL CLMBoard2::UploadAgenda(const std::wstring& confCode, const std::wstring& files)
{
    return AsBool(Invoke(BOARD_UPLOAD_AGENDA, {CVar(confCode), CVar(files)}));
}
BOOL CLMBoard2::PlayerLoadAgenda(bool bUnicodeData)
{
    return AsBool(Invoke(BOARD_PLAYER_LOAD_AGENDA, {CVar(bUnicodeData)}));
}
BOOL CLMBoard2::PlayerIsModify()
{
    return AsBool(Invoke(BOARD_PLAYER_IS_MODIFY));
}
BOOL CLMBoard2::GetRecordStartData(void* pBuff)
{
    return AsBool(Invoke(BOARD_GET_RECORD_START_DATA, {Ptr(pBuff)}));
}
short CLMBoard2::GetRecordStartDataSize()
{
    return AsShort(Invoke(BOARD_GET_RECORD_START_DATA_SIZE));
}
void CLMBoard2::PlayerCleanup()
{
    Invoke(BOARD_PLAYER_CLEANUP);
}
void CLMBoard2::SucSendBoardData(const void* pSendData)
{
    Invoke(BOARD_SUC_SEND_BOARD_DATA, {Ptr(pSendData)});
}
void CLMBoard2::SetPPTOpenMode(bool bSlideShow)
{
    Invoke(BOARD_SET_PPT_OPEN_MODE, {CVar(bSlideShow)});
}
BOOL CLMBoard2::Save()
{
    return AsBool(Invoke(BOARD_SAVE));
}
BOOL CLMBoard2::Print()
{
    return AsBool(Invoke(BOARD_PRINT));
}
void CLMBoard2::SetDrawMode(short nDrawMode)
{
    Invoke(BOARD_SET_DRAW_MODE, {CVar(nDrawMode)});
}
void CLMBoard2::DrawClear()
{
    Invoke(BOARD_DRAW_CLEAR);
}
BOOL CLMBoard2::SetZoom(short nZoom)
{
    return AsBool(Invoke(BOARD_SET_ZOOM, {CVar(nZoom)}));
}
void CLMBoard2::SetTextFont()
{
    Invoke(BOARD_SET_TEXT_FONT);
}
void CLMBoard2::SetLineColor(long lColor)
{
    Invoke(BOARD_SET_LINE_COLOR, {CVar(lColor)});
}
void CLMBoard2::SetLineThick(short nThick)
{
    Invoke(BOARD_SET_LINE_THICK, {CVar(nThick)});
}
void CLMBoard2::SetLineFluorescent(bool bFluorescent)
{
    Invoke(BOARD_SET_LINE_FLUORESCENT, {CVar(bFluorescent)});
}
void CLMBoard2::UploadCancel()
{
    Invoke(BOARD_UPLOAD_CANCEL);
}
BOOL CLMBoard2::CreatePreview(short nOpen, long x, long y, long cx, long cy, HWND hParent)
{
    return AsBool(
        Invoke(BOARD_CREATE_PREVIEW, {CVar(nOpen), CVar(x), CVar(y), CVar(cx), CVar(cy), Ptr(hParent)}));
}
BOOL CLMBoard2::SetPreviewSize(short nOpen, long cx, long cy)
{
    return AsBool(Invoke(BOARD_SET_PREVIEW_SIZE, {CVar(nOpen), CVar(cx), CVar(cy)}));
}
BOOL CLMBoard2::SetPreviewPage(short nPage)
{
    return AsBool(Invoke(BOARD_SET_PREVIEW_PAGE, {CVar(nPage)}));
}
BOOL CLMBoard2::SetCurrentPage(long nIndex)
{
    return AsBool(Invoke(BOARD_SET_CURRENT_PAGE, {CVar(nIndex)}));
}
void CLMBoard2::DeletePageCheck()
{
    Invoke(BOARD_DELETE_PAGE_CHECK);
}
void CLMBoard2::SetPPTPoint(bool bUsePoint)
{
    Invoke(BOARD_SET_PPT_POINT, {CVar(bUsePoint)});
}
BOOL CLMBoard2::SetBoardPos(HWND hInsertAfter, long x, long y, long cx, long cy, long nFlags,
                            short nFloatingTool)
{
    INT_PTR nAfter = reinterpret_cast<INT_PTR>(hInsertAfter);
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | kVtIntPtr;
    ref.byref = &nAfter;
    return AsBool(Invoke(BOARD_SET_BOARD_POS, {CVar(ref), CVar(x), CVar(y), CVar(cx), CVar(cy), CVar(nFlags),
                                               CVar(nFloatingTool)}));
}
void CLMBoard2::SendDeletePage(bool bLastFile, const std::wstring& agendaFile)
{
    Invoke(BOARD_SEND_DELETE_PAGE, {CVar(bLastFile ? 1L : 0L), CVar(agendaFile)});
}
void CLMBoard2::LoadEBook()
{
    Invoke(BOARD_LOAD_EBOOK);
}
void CLMBoard2::EBookPageMove(short nKind, short nSel)
{
    Invoke(BOARD_EBOOK_PAGE_MOVE, {CVar(nKind), CVar(nSel)});
}
void CLMBoard2::EBookSelectCombo(short nKind, short nPage, const std::wstring& combo)
{
    Invoke(BOARD_EBOOK_SELECT_COMBO, {CVar(nKind), CVar(nPage), CVar(combo)});
}
std::wstring CLMBoard2::GetEBookTitle(const std::wstring& combo)
{
    std::wstring title;
    Invoke(BOARD_GET_EBOOK_TITLE, {CVar(combo)}).ToString(title);
    return title;
}
BOOL CLMBoard2::SetEBookPage(const std::wstring& title, long nLevel, long nStep, long nPage)
{
    return AsBool(Invoke(BOARD_SET_EBOOK_PAGE, {CVar(title), CVar(nLevel), CVar(nStep), CVar(nPage)}));
}
BOOL CLMBoard2::OnPrintData(const COPYDATASTRUCT* pCopyData)
{
    return AsBool(Invoke(BOARD_ON_PRINT_DATA, {Ptr(pCopyData)}));
}
void CLMBoard2::EndOpenPreview(bool bUpload)
{
    Invoke(BOARD_END_OPEN_PREVIEW, {CVar(bUpload)});
}
void CLMBoard2::DeleteData(bool bPageDelete)
{
    Invoke(BOARD_DELETE_DATA, {CVar(bPageDelete)});
}
void CLMBoard2::SetUseOpenPreView(bool bUse)
{
    Invoke(BOARD_SET_USE_OPEN_PREVIEW, {CVar(bUse)});
}
void CLMBoard2::GoOpenPreviewPage(short nKind, short nPage)
{
    Invoke(BOARD_GO_OPEN_PREVIEW_PAGE, {CVar(nKind), CVar(nPage)});
}
void CLMBoard2::ReqChangeAgendaOrder(const std::wstring& agenda, const void* pBuff, long nLen)
{
    Invoke(BOARD_REQ_CHANGE_AGENDA_ORDER, {CVar(agenda), Ptr(pBuff), CVar(nLen)});
}
void CLMBoard2::ReqChangeAgendaName(const std::wstring& agenda, const void* pBuff)
{
    Invoke(BOARD_REQ_CHANGE_AGENDA_NAME, {CVar(agenda), Ptr(pBuff)});
}
void CLMBoard2::BoardShowState(bool bShow)
{
    Invoke(BOARD_BOARD_SHOW_STATE, {CVar(bShow)});
}
void CLMBoard2::ParentActivate(bool bActivate)
{
    Invoke(BOARD_PARENT_ACTIVATE, {CVar(bActivate)});
}
void CLMBoard2::EndBoard()
{
    Invoke(BOARD_END_BOARD);
}
void CLMBoard2::SetDocRotate(unsigned short unType, short nAngle)
{
    Invoke(BOARD_SET_DOC_ROTATE, {CVar(unType), CVar(nAngle)});
}
