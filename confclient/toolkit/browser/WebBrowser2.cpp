// Web browser wrapper: the browser's dispids, called through our control host.
#include "confclient/toolkit/browser/WebBrowser2.h"

#include <exdisp.h>

namespace
{
// The browser control's dispids.
enum : DISPID
{
    kGoBack = 100,
    kGoForward = 101,
    kGoHome = 102,
    kNavigate = 104,
    kStop = 106,
    kRefresh = -550,
    kDocument = 203,
    kLocationURL = 211,
    kReadyState = -525,
};

CVar OptionalRef(VARIANT* p)
{
    return p ? CVar::ByRef(p) : CVar::Missing();
}
} // namespace

const CLSID& CWebBrowser2::ControlClsid() const
{
    return CLSID_WebBrowser;
}

BOOL CWebBrowser2::Create(LPCWSTR, LPCWSTR, DWORD dwStyle, const RECT& rect, HWND hParent, UINT nID)
{
    if (FAILED(m_host.Create(ControlClsid(), hParent, rect, nID))) return FALSE;
    if (!(dwStyle & WS_VISIBLE) && GetSafeHwnd()) ShowWindow(GetSafeHwnd(), SW_HIDE);
    return TRUE;
}

BOOL CWebBrowser2::MoveWindow(const RECT& rect)
{
    return SUCCEEDED(m_host.Resize(rect));
}

void CWebBrowser2::DestroyWindow()
{
    m_host.Destroy();
}

BOOL CWebBrowser2::Call(DISPID dispid)
{
    return SUCCEEDED(m_host.CallMethod(dispid));
}

BOOL CWebBrowser2::GoBack()
{
    return Call(kGoBack);
}

BOOL CWebBrowser2::GoForward()
{
    return Call(kGoForward);
}

BOOL CWebBrowser2::GoHome()
{
    return Call(kGoHome);
}

BOOL CWebBrowser2::Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                            VARIANT* Headers)
{
    return SUCCEEDED(m_host.CallMethod(kNavigate, nullptr,
                                       {CVar(URL), OptionalRef(Flags), OptionalRef(TargetFrameName),
                                        OptionalRef(PostData), OptionalRef(Headers)}));
}

BOOL CWebBrowser2::Stop()
{
    return Call(kStop);
}

BOOL CWebBrowser2::Refresh()
{
    return Call(kRefresh);
}

IDispatch* CWebBrowser2::GetDocument()
{
    CVar result;
    if (FAILED(m_host.GetProperty(kDocument, result)) || result.Type() != VT_DISPATCH) return nullptr;
    IDispatch* p = result.Get().pdispVal;
    if (p) p->AddRef();
    return p;
}

std::wstring CWebBrowser2::GetLocationURL()
{
    CVar result; // frees the returned BSTR
    std::wstring url;
    if (FAILED(m_host.GetProperty(kLocationURL, result)) || !result.ToString(url)) return std::wstring();
    return url;
}

long CWebBrowser2::GetReadyState()
{
    CVar result;
    long n = 0;
    if (FAILED(m_host.GetProperty(kReadyState, result)) || !result.ToLong(n)) return 0;
    return n;
}

BOOL CWebBrowser2::AdviseEvents(CEventSink* pSink)
{
    return SUCCEEDED(m_host.Advise(pSink));
}
