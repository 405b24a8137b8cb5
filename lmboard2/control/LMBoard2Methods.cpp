// _DLMBoard2: the control's methods in dispid order. Each forwards to the board view; methods
// of the printed-page preview and slide shows answer E_NOTIMPL, as this board does not build
// those.
#include "lmboard2/control/LMBoard2Ctrl.h"

#include <cwctype>

namespace
{
CLMBoard2Ctrl* Self(void* p)
{
    return static_cast<CLMBoard2Ctrl*>(static_cast<CControlBase*>(p));
}

std::u16string Text(BSTR s)
{
    if (!s) return {};
    return std::u16string(s, s + SysStringLen(s));
}

// A pointer argument: an address in the caller's process.
const uint8_t* Bytes(DispCall& c, UINT i)
{
    return reinterpret_cast<const uint8_t*>(c.IntPtr(i));
}

// A VARIANT* argument's text (by reference or not); empty for anything else.
std::u16string VarText(const VARIANT* pVar)
{
    if (pVar && pVar->vt == (VT_BYREF | VT_VARIANT)) pVar = pVar->pvarVal;
    if (!pVar) return {};
    if (pVar->vt == (VT_BYREF | VT_BSTR) && pVar->pbstrVal) return Text(*pVar->pbstrVal);
    return pVar->vt == VT_BSTR ? Text(pVar->bstrVal) : std::u16string();
}

// Post data: the browser hands them as a byte array (kept as the bytes they are).
std::string VarBytes(const VARIANT* pVar)
{
    if (pVar && pVar->vt == (VT_BYREF | VT_VARIANT)) pVar = pVar->pvarVal;
    if (!pVar || (pVar->vt & ~VT_BYREF) != (VT_ARRAY | VT_UI1)) return {};
    SAFEARRAY* pArray = (pVar->vt & VT_BYREF) ? (pVar->pparray ? *pVar->pparray : nullptr) : pVar->parray;
    LONG nLow = 0, nHigh = -1;
    if (!pArray || SafeArrayGetDim(pArray) != 1 || FAILED(SafeArrayGetLBound(pArray, 1, &nLow)) ||
        FAILED(SafeArrayGetUBound(pArray, 1, &nHigh)) || nHigh < nLow)
        return {};
    void* pData = nullptr;
    if (FAILED(SafeArrayAccessData(pArray, &pData))) return {};
    std::string bytes(static_cast<const char*>(pData), static_cast<size_t>(nHigh - nLow) + 1);
    SafeArrayUnaccessData(pArray);
    return bytes;
}

HRESULT NotBuilt(void*, DispCall&)
{
    return E_NOTIMPL;
}

// RemoveMargin under the shared key; false when it cannot be written.
bool WriteRemoveMargin(DWORD dwValue)
{
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\LumoraSoft\\Common", L"RemoveMargin", REG_DWORD,
                           &dwValue, sizeof dwValue) == ERROR_SUCCESS;
}

HRESULT Load(void* p, DispCall& c)
{
    CLMBoard2Ctrl* pCtrl = Self(p);
    if (!WriteRemoveMargin(static_cast<DWORD>(pCtrl->RemoveMargin()))) return c.ReturnI2(0), S_OK;
    const short nMode = c.I2(1);
    const wchar_t* szName = nMode == 7   ? L"Capture"
                            : nMode == 2 ? L"Browser"
                            : nMode == 5 ? L"ClipBoard"
                                         : nullptr;
    if (szName)
    {
        CSockBoard& writer = pCtrl->View().Writer();
        if (!writer.IsModeSent()) writer.SendModeName(std::u16string(szName, szName + wcslen(szName)));
        return c.ReturnI2(0), S_OK;
    }
    std::u16string path = Text(c.Bstr(0));
    if (nMode == 1)
    {
        if (!pCtrl->IsOpenPreview()) pCtrl->CreateProgress(false);
        return c.ReturnI2(static_cast<short>(pCtrl->View().LoadWebPage(path))), S_OK;
    }
    if (path.find(u'.') == std::u16string::npos) return c.ReturnI2(0), S_OK;
    // A file becomes pages of the current agenda and goes out, as an upload of one file does.
    CLMView& view = pCtrl->View();
    return c.ReturnI2(view.UploadAgenda(view.AgendaName(), path) ? 1 : 0), S_OK;
}

HRESULT GetRecordStartData(void* p, DispCall& c)
{
    std::vector<uint8_t> data = Self(p)->View().RecordStartData();
    uint8_t* pBuff = reinterpret_cast<uint8_t*>(c.IntPtr(0));
    if (data.empty() || !pBuff) return c.ReturnBool(FALSE), S_OK;
    memcpy(pBuff, data.data(), data.size());
    return c.ReturnBool(TRUE), S_OK;
}

HRESULT SetBoardPos(void* p, DispCall& c)
{
    CLMBoard2Ctrl* pCtrl = Self(p);
    pCtrl->View().SetTopMargin(c.I2(6) != 0 ? 0 : 41);
    INT_PTR* pAfter = reinterpret_cast<INT_PTR*>(c.Var(0).byref);
    HWND hAfter = pAfter ? reinterpret_cast<HWND>(*pAfter) : nullptr;
    HWND hWnd = pCtrl->FrameWindow() ? GetParent(pCtrl->FrameWindow()) : nullptr;
    if (hWnd)
        SetWindowPos(hWnd, hAfter, c.I4(1), c.I4(2), c.I4(3), c.I4(4),
                     static_cast<UINT>(c.I4(5)) | (hAfter ? 0 : SWP_NOZORDER));
    pCtrl->View().Refit();
    return c.ReturnBool(TRUE), S_OK;
}

HRESULT UploadCancel(void* p, DispCall&)
{
    Self(p)->View().CancelUpload(true);
    return S_OK;
}

HRESULT UploadAgenda(void* p, DispCall& c)
{
    return c.ReturnBool(Self(p)->View().UploadAgenda(Text(c.Bstr(0)), Text(c.Bstr(1)))), S_OK;
}

constexpr VARTYPE I2 = VT_I2, I4 = VT_I4, BOOLT = VT_BOOL, BSTRT = VT_BSTR, PTR = kVtIntPtr,
                  DISP = VT_DISPATCH, PVAR = VT_BYREF | VT_VARIANT, UI2 = VT_UI2;
} // namespace

const DispEntry g_boardMethods[] = {
    {L"Load", DISP_KIND_METHOD, &Load, {BSTRT, I2, I2}, 0},
    {L"SetLock",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetLock(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    {L"OnDocumentComplete",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().OnDocumentComplete(), S_OK; },
     {DISP, PVAR},
     0},
    {L"OnBeforeNavigate",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         Self(p)->View().OnBeforeNavigate(VarText(c.VarRef(1)), VarText(c.VarRef(3)), VarBytes(c.VarRef(4)),
                                          VarText(c.VarRef(5)));
         return S_OK;
     },
     {DISP, PVAR, PVAR, PVAR, PVAR, PVAR, VT_BYREF | VT_BOOL},
     0},
    {L"DoFullScreen",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         if (HWND hFrame = Self(p)->FrameWindow()) PostMessageW(hFrame, WM_BOARD_FULL_SCREEN, c.Bool(0), 0);
         return c.ReturnBool(TRUE), S_OK;
     },
     {BOOLT},
     0},
    {L"OnNavigateComplete",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().OnNavigateComplete(VarText(c.VarRef(1))), S_OK; },
     {DISP, PVAR},
     0},
    {L"ProcessData",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         long lLen = c.I4(0);
         const uint8_t* pData = Bytes(c, 1);
         short n = lLen > 0 && pData
                       ? static_cast<short>(Self(p)->View().Read(pData, static_cast<size_t>(lLen)))
                       : 0;
         return c.ReturnI2(n), S_OK;
     },
     {I4, PTR},
     0},
    {L"SetBandwidth",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return c.ReturnI2(static_cast<short>(Self(p)->View().SetBandwidth(c.I4(0)))), S_OK; },
     {I4},
     0},
    {L"GetBoardMode",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnI2(static_cast<short>(Self(p)->View().BoardMode())), S_OK; },
     {},
     0},
    {L"SetConfCode",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetConfCode(Text(c.Bstr(0))), S_OK; },
     {BSTRT},
     0},
    {L"Init",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         // The browser is the host's browser control, passed by the address of its dispatch interface.
         Self(p)->View().Init(reinterpret_cast<IDispatch*>(c.IntPtr(0)), reinterpret_cast<HWND>(c.IntPtr(1)),
                              c.I4(2) != 0, Text(c.Bstr(3)));
         return S_OK;
     },
     {PTR, PTR, I4, BSTRT},
     0},
    {L"UploadAgenda", DISP_KIND_METHOD, &UploadAgenda, {BSTRT, BSTRT}, 0},
    {L"PlayerLoadAgenda",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().PlayerLoadAgenda(c.Bool(0))), S_OK; },
     {BOOLT},
     0},
    {L"PlayerIsModify",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().PlayerIsModify()), S_OK; },
     {},
     0},
    {L"GetRecordStartData", DISP_KIND_METHOD, &GetRecordStartData, {PTR}, 0},
    {L"GetRecordStartDataSize",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return c.ReturnI2(static_cast<short>(Self(p)->View().RecordStartData().size())), S_OK; },
     {},
     0},
    {L"PlayerCleanup",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().PlayerCleanup(), S_OK; },
     {},
     0},
    {L"SucSendBoardData",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SucSendBoardData(Bytes(c, 0)), S_OK; },
     {PTR},
     0},
    {L"SetPPTOpenMode",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->SetSlideShowOpening(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    {L"Save",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().Save()), S_OK; },
     {},
     0},
    {L"Print",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().Print()), S_OK; },
     {},
     0},
    {L"SetDrawMode",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetDrawMode(c.I2(0)), S_OK; },
     {I2},
     0},
    {L"DrawClear",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().Clear(true), S_OK; },
     {},
     0},
    {L"SetZoom",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return c.ReturnBool(Self(p)->View().SetZoomValue(c.I2(0), true, true)), S_OK; },
     {I2},
     0},
    {L"SetTextFont",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().ChooseTextFont(), S_OK; },
     {},
     0},
    {L"SetLineColor",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetLineColor(static_cast<uint32_t>(c.I4(0))), S_OK; },
     {I4},
     0},
    {L"SetLineThick",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetLineThick(c.I2(0)), S_OK; },
     {I2},
     0},
    {L"SetLineFluorescent",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetLineFluorescent(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    {L"UploadCancel", DISP_KIND_METHOD, &UploadCancel, {}, 0},
    {L"CreatePreview",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         // The printed-page preview (nOpen not 0) belongs with the virtual printer.
         if (c.I2(0) != 0) return E_NOTIMPL;
         RECT rc{c.I4(1), c.I4(2), c.I4(1) + c.I4(3), c.I4(2) + c.I4(4)};
         bool bOk = Self(p)->View().CreatePreview(reinterpret_cast<HWND>(c.IntPtr(5)), rc);
         return c.ReturnBool(bOk), S_OK;
     },
     {I2, I4, I4, I4, I4, PTR},
     0},
    {L"SetPreviewSize",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return c.ReturnBool(c.I2(0) == 0 && Self(p)->View().SetPreviewSize(c.I4(1), c.I4(2))), S_OK; },
     {I2, I4, I4},
     0},
    {L"SetPreviewPage",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().SetPreviewPage(c.I2(0))), S_OK; },
     {I2},
     0},
    {L"SetCurrentPage",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->View().SelectPageAndTell(c.I4(0))), S_OK; },
     {I4},
     0},
    {L"DeletePageCheck",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().DeletePageCheck(), S_OK; },
     {},
     0},
    {L"SetPPTPoint",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->SetPPTPoint(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    {L"SetBoardPos", DISP_KIND_METHOD, &SetBoardPos, {VT_BYREF | kVtIntPtr, I4, I4, I4, I4, I4, I2}, 0},
    {L"SendDeletePage",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SendDeletePage(c.I4(0) != 0, Text(c.Bstr(1))), S_OK; },
     {I4, BSTRT},
     0},
    {L"LoadEBook",
     DISP_KIND_METHOD,
     [](void* p, DispCall&) { return Self(p)->View().LoadEBook(), S_OK; },
     {},
     0},
    {L"EBookPageMove",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().EBookPageMove(c.I2(0), c.I2(1)), S_OK; },
     {I2, I2},
     0},
    {L"EBookSelectCombo",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return Self(p)->View().EBookSelectCombo(c.I2(0), c.I2(1), Text(c.Bstr(2))), S_OK; },
     {I2, I2, BSTRT},
     0},
    {L"GetEBookTitle",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         std::u16string title = Self(p)->View().EBookTitle(Text(c.Bstr(0)));
         return c.ReturnBstr(std::wstring(title.begin(), title.end()).c_str()), S_OK;
     },
     {BSTRT},
     0},
    {L"SetEBookPage",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         bool bOk =
             Self(p)->View().SetEBookPage(Text(c.Bstr(0)), static_cast<uint32_t>(c.I4(1)),
                                          static_cast<uint32_t>(c.I4(2)), static_cast<uint32_t>(c.I4(3)));
         return c.ReturnBool(bOk), S_OK;
     },
     {BSTRT, I4, I4, I4},
     0},
    {L"OnPrintData", DISP_KIND_METHOD, &NotBuilt, {PTR}, 0},
    {L"OpenPreviewDrawPage", DISP_KIND_METHOD, &NotBuilt, {}, 0},
    {L"EndOpenPreview", DISP_KIND_METHOD, &NotBuilt, {BOOLT}, 0},
    {L"DeleteData", DISP_KIND_METHOD, &NotBuilt, {BOOLT}, 0},
    {L"SetUseOpenPreView",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->SetUseOpenPreview(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    {L"GoOpenPreviewPage", DISP_KIND_METHOD, &NotBuilt, {I2, I2}, 0},
    {L"ReqChangeAgendaOrder",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         long nLen = c.I4(2);
         if (nLen < 0 || nLen > static_cast<long>(kBoardPayloadMax)) return S_OK;
         Self(p)->View().RequestAgendaOrder(Text(c.Bstr(0)), Bytes(c, 1), static_cast<size_t>(nLen));
         return S_OK;
     },
     {BSTRT, PTR, I4},
     0},
    {L"ReqChangeAgendaName",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return Self(p)->View().RequestAgendaName(Text(c.Bstr(0)), Bytes(c, 1)), S_OK; },
     {BSTRT, PTR},
     0},
    {L"BoardShowState", DISP_KIND_METHOD, &NotBuilt, {BOOLT}, 0},
    {L"ParentActivate",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->View().SetParentActive(c.Bool(0)), S_OK; },
     {BOOLT},
     0},
    // Without a slide show there is no slide-show window to hide.
    {L"EndBoard", DISP_KIND_METHOD, [](void*, DispCall&) { return S_OK; }, {}, 0},
    {L"SetDocRotate", DISP_KIND_METHOD, &NotBuilt, {UI2, I2}, 0},
};
const size_t g_nBoardMethods = sizeof g_boardMethods / sizeof g_boardMethods[0];
static_assert(sizeof g_boardMethods / sizeof g_boardMethods[0] == 54, "dispids 1 to 54");
