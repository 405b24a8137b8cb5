// The board's calls into the host's browser and its document: every call is one dispatch call,
// so a browser without an HTML engine, or a stand-in, answers with what it has.
#include "lmboard2/control/BoardBrowser.h"

#include "comkit/DispatchTable.h"
#include "comkit/Variant.h"
#include "lmboard2/control/BoardBitmaps.h"

#include <ocidl.h>
#include <oleidl.h>

namespace
{
// The browser control's dispids.
enum : DISPID
{
    kNavigate = 104,
    kStop = 106,
    kDocument = 203,
    kExecWB = 502,
    kReadyState = -525,
    kRefresh = -550,
    kSilent = 551,
};
constexpr long kCmdSaveAs = 4, kCmdPrint = 6, kPromptUser = 1;
// The margin a web capture keeps around the document, each way.
constexpr int kCaptureMargin = 40;

HRESULT Call(IDispatch* p, DISPID id, WORD wFlags, CVar* pResult, std::initializer_list<CVar> args = {})
{
    if (!p) return E_POINTER;
    std::vector<VARIANT> shallow;
    for (const CVar& a : args)
        shallow.push_back(a.Get());
    return DispInvoke(p, id, wFlags, pResult ? pResult->Ptr() : nullptr, shallow.data(),
                      static_cast<UINT>(shallow.size()));
}

// A member of a document object by name (documents have no fixed dispids we rely on).
DISPID IdOf(IDispatch* p, const wchar_t* szName)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(szName);
    if (!p || FAILED(p->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return DISPID_UNKNOWN;
    return id;
}

bool GetNamed(IDispatch* p, const wchar_t* szName, CVar& result)
{
    DISPID id = IdOf(p, szName);
    return id != DISPID_UNKNOWN && SUCCEEDED(Call(p, id, DISPATCH_PROPERTYGET, &result));
}

bool PutNamed(IDispatch* p, const wchar_t* szName, const CVar& value)
{
    DISPID id = IdOf(p, szName);
    if (id == DISPID_UNKNOWN) return false;
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT arg = value.Get();
    DISPPARAMS params{&arg, &named, 1, 1};
    return SUCCEEDED(p->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                               nullptr, nullptr));
}

ComPtr<IDispatch> DispatchOf(const CVar& v)
{
    return v.Type() == VT_DISPATCH ? ComPtr<IDispatch>(v.Get().pdispVal) : ComPtr<IDispatch>();
}

CVar Optional(const std::u16string& s)
{
    return s.empty() ? CVar::Missing() : CVar(std::wstring(s.begin(), s.end()));
}

// Post data travel as a byte array.
CVar PostBytes(const std::string& data)
{
    if (data.empty()) return CVar::Missing();
    SAFEARRAY* pArray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(data.size()));
    if (!pArray) return CVar::Missing();
    void* pBytes = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(pArray, &pBytes)))
    {
        memcpy(pBytes, data.data(), data.size());
        SafeArrayUnaccessData(pArray);
    }
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = pArray;
    CVar result(v);
    VariantClear(&v);
    return result;
}
} // namespace

bool CBoardBrowser::Navigate(const std::u16string& address, const std::u16string& frame,
                             const std::string& postData, const std::u16string& headers)
{
    CVar flags = CVar::Missing(), target = Optional(frame), post = PostBytes(postData),
         head = Optional(headers);
    return SUCCEEDED(Call(m_pBrowser.Get(), kNavigate, DISPATCH_METHOD, nullptr,
                          {CVar(std::wstring(address.begin(), address.end())), CVar::ByRef(flags.Ptr()),
                           CVar::ByRef(target.Ptr()), CVar::ByRef(post.Ptr()), CVar::ByRef(head.Ptr())}));
}

void CBoardBrowser::SetSilent(bool bSilent)
{
    if (!m_pBrowser) return;
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT arg = CVar(bSilent).Get();
    DISPPARAMS params{&arg, &named, 1, 1};
    m_pBrowser->Invoke(kSilent, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                       nullptr, nullptr);
}

bool CBoardBrowser::Refresh()
{
    return SUCCEEDED(Call(m_pBrowser.Get(), kRefresh, DISPATCH_METHOD, nullptr));
}

bool CBoardBrowser::Stop()
{
    return SUCCEEDED(Call(m_pBrowser.Get(), kStop, DISPATCH_METHOD, nullptr));
}

int CBoardBrowser::ReadyState()
{
    CVar state;
    long n = -1;
    if (FAILED(Call(m_pBrowser.Get(), kReadyState, DISPATCH_PROPERTYGET, &state)) || !state.ToLong(n))
        return -1;
    return static_cast<int>(n);
}

bool CBoardBrowser::SaveAs()
{
    return SUCCEEDED(
        Call(m_pBrowser.Get(), kExecWB, DISPATCH_METHOD, nullptr, {CVar(kCmdSaveAs), CVar(kPromptUser)}));
}

bool CBoardBrowser::Print()
{
    return SUCCEEDED(
        Call(m_pBrowser.Get(), kExecWB, DISPATCH_METHOD, nullptr, {CVar(kCmdPrint), CVar(kPromptUser)}));
}

HWND CBoardBrowser::Window() const
{
    ComPtr<IOleWindow> pWindow;
    HWND hWnd = nullptr;
    if (m_pBrowser && SUCCEEDED(m_pBrowser->QueryInterface(IID_IOleWindow, pWindow.OutVoid())))
        pWindow->GetWindow(&hWnd);
    return hWnd;
}

void CBoardBrowser::PlaceOver(const RECT& rcScreen)
{
    HWND hWnd = Window();
    if (!hWnd) return;
    POINT pt{rcScreen.left, rcScreen.top};
    if (HWND hParent = GetParent(hWnd)) ScreenToClient(hParent, &pt);
    SetWindowPos(hWnd, HWND_TOP, pt.x, pt.y, rcScreen.right - rcScreen.left, rcScreen.bottom - rcScreen.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void CBoardBrowser::MoveOffScreen()
{
    if (HWND hWnd = Window())
        SetWindowPos(hWnd, nullptr, -32000, -32000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<S_PICTURE24> CBoardBrowser::DrawDocument()
{
    CVar document, body, width, height;
    if (FAILED(Call(m_pBrowser.Get(), kDocument, DISPATCH_PROPERTYGET, &document))) return std::nullopt;
    ComPtr<IDispatch> pDocument = DispatchOf(document);
    if (!GetNamed(pDocument.Get(), L"body", body)) return std::nullopt;
    ComPtr<IDispatch> pBody = DispatchOf(body);
    long cx = 0, cy = 0;
    if (!GetNamed(pBody.Get(), L"scrollWidth", width) || !GetNamed(pBody.Get(), L"scrollHeight", height) ||
        !width.ToLong(cx) || !height.ToLong(cy))
        return std::nullopt;
    // A page must stay a GIF (sides up to 65535) of a size the board can hold.
    const long long nWidth = static_cast<long long>(cx) + 2 * kCaptureMargin;
    const long long nHeight = static_cast<long long>(cy) + 2 * kCaptureMargin;
    if (cx <= 0 || cy <= 0 || nWidth > 65535 || nHeight > 65535 ||
        Dib24Stride(static_cast<int>(nWidth)) * static_cast<uint64_t>(nHeight) > kMaxBmpPictureBytes)
        return std::nullopt;
    ComPtr<IViewObject> pView;
    if (FAILED(pDocument->QueryInterface(IID_IViewObject, pView.OutVoid()))) return std::nullopt;
    CSurfaceBitmap surface;
    if (!surface.Make(static_cast<int>(nWidth), static_cast<int>(nHeight))) return std::nullopt;
    RECT rc{0, 0, static_cast<int>(nWidth), static_cast<int>(nHeight)};
    FillRect(surface.Dc(), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // Scroll bars would be drawn into the picture.
    PutNamed(pBody.Get(), L"scroll", CVar(L"no"));
    RECTL bounds{0, 0, rc.right, rc.bottom};
    HRESULT hr = pView->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, surface.Dc(), &bounds, nullptr,
                             nullptr, 0);
    PutNamed(pBody.Get(), L"scroll", CVar(L"auto"));
    if (FAILED(hr)) return std::nullopt;
    return surface.Picture24();
}
