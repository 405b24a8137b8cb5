// Thin wrapper over the platform's web browser control: each operation is one dispatch call.
#pragma once
#include "comkit/ControlHost.h"

class CWebBrowser2
{
public:
    CWebBrowser2() = default;
    virtual ~CWebBrowser2() = default;

    // Creates the hosted browser control as child nID of hParent at rect; the class and window
    // names are not used by the control. Without WS_VISIBLE in dwStyle the control starts hidden.
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, HWND hParent,
                UINT nID);
    BOOL MoveWindow(const RECT& rect);
    void DestroyWindow();
    HWND GetSafeHwnd() const { return m_host.ControlWindow(); }

    BOOL GoBack();
    BOOL GoForward();
    BOOL GoHome();
    // Flags, target frame, post data and headers may each be null: the argument is then omitted.
    BOOL Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers);
    BOOL Stop();
    BOOL Refresh();
    // The document object with a reference for the caller, or null.
    IDispatch* GetDocument();
    // Empty when the control cannot say.
    std::wstring GetLocationURL();
    // READYSTATE_UNINITIALIZED (0) when the control cannot say.
    long GetReadyState();
    // Connects the sink to the browser's events (DWebBrowserEvents2); false when they cannot be had.
    BOOL AdviseEvents(CEventSink* pSink);

protected:
    // The class created by Create.
    virtual const CLSID& ControlClsid() const;

private:
    BOOL Call(DISPID dispid);

    CControlHost m_host;
};
