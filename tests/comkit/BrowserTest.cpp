// The browser wrapper's calls reach a stand-in control that answers the browser's dispids.
#include "confclient/toolkit/browser/WebBrowser2.h"
#include "tests/comkit/ComKitTestGuids.h"

#include <gtest/gtest.h>

namespace
{
class CStandInBrowser : public CWebBrowser2
{
protected:
    const CLSID& ControlClsid() const override { return CLSID_BrowserStandIn; }
};

class ComKitBrowser : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hWndHost = CreateWindowExW(0, L"STATIC", L"browser host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                     0, 765, 500, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWndHost, nullptr);
        ASSERT_TRUE(
            m_browser.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 765, 500}, m_hWndHost, 7));
    }
    void TearDown() override
    {
        m_browser.DestroyWindow();
        DestroyWindow(m_hWndHost);
    }

    // The calls the stand-in saw since the last look, read through its dispid 1.
    std::wstring TakeLog()
    {
        IDispatch* pDoc = m_browser.GetDocument(); // the stand-in is its own document
        EXPECT_NE(pDoc, nullptr);
        if (!pDoc) return L"";
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none{};
        pDoc->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
        pDoc->Release();
        std::wstring log = result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"";
        VariantClear(&result);
        // Drop the Document read that fetched the log.
        const std::wstring tail = L"Document";
        if (log.size() >= tail.size()) log.resize(log.size() - tail.size());
        if (!log.empty() && log.back() == L',') log.pop_back();
        return log;
    }

    HWND m_hWndHost = nullptr;
    CStandInBrowser m_browser;
};
} // namespace

TEST_F(ComKitBrowser, MethodsReachTheirDispids)
{
    ASSERT_TRUE(IsWindow(m_browser.GetSafeHwnd()));
    EXPECT_EQ(GetDlgCtrlID(m_browser.GetSafeHwnd()), 7);
    EXPECT_TRUE(m_browser.GoBack());
    EXPECT_TRUE(m_browser.GoForward());
    EXPECT_TRUE(m_browser.GoHome());
    EXPECT_TRUE(m_browser.Stop());
    EXPECT_TRUE(m_browser.Refresh());
    EXPECT_EQ(TakeLog(), L"GoBack,GoForward,GoHome,Stop,Refresh");
}

TEST_F(ComKitBrowser, NavigatePassesOptionalVariants)
{
    struct Case
    {
        const wchar_t* szUrl;
        CVar flags, frame, postData, headers;
        bool bFlags, bFrame, bPostData, bHeaders;
        const wchar_t* szLogged;
    } cases[] = {
        {L"http://conf/a.asp",
         {},
         {},
         {},
         {},
         false,
         false,
         false,
         false,
         L"Navigate(http://conf/a.asp|-|-|-|-)"},
        {L"about:blank",
         CVar(2L),
         CVar(L"_self"),
         {},
         CVar(L"X-Room: 5"),
         true,
         true,
         false,
         true,
         L"Navigate(about:blank|3:2|8:_self|-|8:X-Room: 5)"},
        {L"http://conf/b",
         {},
         {},
         CVar(L"k=v"),
         {},
         false,
         false,
         true,
         false,
         L"Navigate(http://conf/b|-|-|8:k=v|-)"},
    };
    for (Case& c : cases)
    {
        EXPECT_TRUE(m_browser.Navigate(
            c.szUrl, c.bFlags ? c.flags.Ptr() : nullptr, c.bFrame ? c.frame.Ptr() : nullptr,
            c.bPostData ? c.postData.Ptr() : nullptr, c.bHeaders ? c.headers.Ptr() : nullptr));
        EXPECT_EQ(TakeLog(), c.szLogged);
        EXPECT_EQ(m_browser.GetLocationURL(), c.szUrl);
        TakeLog();
    }
}

TEST_F(ComKitBrowser, PropertiesComeBackTyped)
{
    EXPECT_EQ(m_browser.GetReadyState(), 4);
    IDispatch* pDoc = m_browser.GetDocument();
    ASSERT_NE(pDoc, nullptr);
    pDoc->Release();
    EXPECT_EQ(m_browser.GetLocationURL(), L"");
    EXPECT_EQ(TakeLog(), L"ReadyState,Document,LocationURL");
}

TEST_F(ComKitBrowser, CallsAfterTeardownFailQuietly)
{
    m_browser.DestroyWindow();
    EXPECT_EQ(m_browser.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(m_browser.GoBack());
    EXPECT_FALSE(m_browser.Navigate(L"about:blank", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(m_browser.GetDocument(), nullptr);
    EXPECT_EQ(m_browser.GetLocationURL(), L"");
    EXPECT_EQ(m_browser.GetReadyState(), 0);
}
