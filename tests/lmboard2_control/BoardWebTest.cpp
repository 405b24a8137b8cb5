// Browser mode and web capture through the host's browser. Wine's browser control has no HTML
// engine here, so the test hands the board a stand-in browser: a small COM object answering the
// browser control's dispids, with a window and a document that measures and draws itself.
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/control/LMView.h"
#include "tests/lmboard2_control/BoardTestKit.h"

#include <ocidl.h>
#include <oleidl.h>

namespace
{
constexpr long kDocWidth = 300, kDocHeight = 200;
constexpr COLORREF kInk = RGB(20, 40, 200);

std::u16string U16(const wchar_t* sz)
{
    return sz ? std::u16string(sz, sz + wcslen(sz)) : std::u16string();
}

// IDispatch without a type library: members by fixed ids; subclasses answer Invoke.
template <class... Extra> class CFakeDispatch : public IDispatch, public Extra...
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else
            *ppv = Other(riid);
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; } // owned by the test
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* p) override { return *p = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override
    {
        for (UINT i = 0; i < n; i++)
        {
            ids[i] = DISPID_UNKNOWN;
            for (size_t k = 0; k < m_names.size(); k++)
                if (_wcsicmp(names[i], m_names[k]) == 0) ids[i] = static_cast<DISPID>(k + 1);
            if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
        }
        return S_OK;
    }
    ULONG m_nRefs = 1;

protected:
    virtual void* Other(REFIID) { return nullptr; }
    std::vector<const wchar_t*> m_names;
};

// The document's body: its scroll size, and the scroll-bar setting the board switches.
class CFakeBody : public CFakeDispatch<>
{
public:
    CFakeBody() { m_names = {L"scrollWidth", L"scrollHeight", L"scroll"}; }
    std::vector<std::wstring> scrollSettings;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO*, UINT*) override
    {
        if ((id == 1 || id == 2) && (wFlags & DISPATCH_PROPERTYGET) && pResult)
        {
            pResult->vt = VT_I4;
            pResult->lVal = id == 1 ? kDocWidth : kDocHeight;
            return S_OK;
        }
        if (id == 3 && (wFlags & DISPATCH_PROPERTYPUT) && pParams->cArgs == 1 &&
            pParams->rgvarg[0].vt == VT_BSTR)
        {
            scrollSettings.emplace_back(pParams->rgvarg[0].bstrVal);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

// The document: its body, and a drawing of a box where the page's content would be.
class CFakeDocument : public CFakeDispatch<IViewObject>
{
public:
    CFakeDocument() { m_names = {L"body"}; }
    CFakeBody body;
    RECTL drawnBounds{};
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* pResult,
                                     EXCEPINFO*, UINT*) override
    {
        if (id != 1 || !(wFlags & DISPATCH_PROPERTYGET) || !pResult) return DISP_E_MEMBERNOTFOUND;
        body.AddRef();
        pResult->vt = VT_DISPATCH;
        pResult->pdispVal = &body;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL pBounds,
                                   LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        drawnBounds = *pBounds;
        RECT box{pBounds->left + 40, pBounds->top + 40, pBounds->left + 140, pBounds->top + 90};
        HBRUSH hBrush = CreateSolidBrush(kInk);
        FillRect(hdc, &box, hBrush);
        DeleteObject(hBrush);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }

protected:
    void* Other(REFIID riid) override
    {
        return riid == IID_IViewObject ? static_cast<IViewObject*>(this) : nullptr;
    }
};

// The browser: what it was asked to do, its window and its document.
class CFakeBrowser : public CFakeDispatch<IOleWindow>
{
public:
    struct Navigation
    {
        std::u16string address, frame, headers;
        std::string postData;
    };
    std::vector<Navigation> navigations;
    std::vector<long> commands; // ExecWB
    bool bSilent = false;
    int nRefreshes = 0;
    HWND hWnd = nullptr;
    CFakeDocument document;

    explicit CFakeBrowser(HWND hParent)
    {
        hWnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, hParent, nullptr, nullptr, nullptr);
    }
    ~CFakeBrowser() { DestroyWindow(hWnd); }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* p) override { return *p = hWnd, S_OK; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT* pResult,
                                     EXCEPINFO*, UINT*) override
    {
        VARIANT* a = pParams->rgvarg; // reversed
        switch (id)
        {
        case 104: // Navigate(url, flags, frame, post data, headers)
        {
            if (pParams->cArgs != 5) return DISP_E_BADPARAMCOUNT;
            Navigation n{U16(a[4].bstrVal), Text(a[2]), Text(a[0]), {}};
            const VARIANT& post = *a[1].pvarVal;
            if (post.vt == (VT_ARRAY | VT_UI1))
                n.postData.assign(static_cast<const char*>(post.parray->pvData),
                                  post.parray->rgsabound[0].cElements);
            navigations.push_back(n);
            return S_OK;
        }
        case 551:
            bSilent = a[0].boolVal != VARIANT_FALSE;
            return S_OK;
        case -550:
            return ++nRefreshes, S_OK;
        case -525:
            pResult->vt = VT_I4;
            pResult->lVal = 4;
            return S_OK;
        case 203:
            document.AddRef();
            pResult->vt = VT_DISPATCH;
            pResult->pdispVal = &document;
            return S_OK;
        case 502:
            commands.push_back(a[1].lVal);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

protected:
    void* Other(REFIID riid) override
    {
        return riid == IID_IOleWindow ? static_cast<IOleWindow*>(this) : nullptr;
    }

private:
    static std::u16string Text(const VARIANT& byRef)
    {
        const VARIANT& v = *byRef.pvarVal;
        return v.vt == VT_BSTR ? U16(v.bstrVal) : std::u16string();
    }
};

// A board whose messages are kept for its peer; a chunk counts as sent at once.
struct WebBoard : CQuietBoardEvents
{
    std::mutex lock;
    std::vector<std::vector<uint8_t>> outbox;
    std::vector<int> modes;
    int nComplete = 0;
    std::unique_ptr<CLMView> view;
    std::filesystem::path temp;

    explicit WebBoard(const char* pszName)
    {
        temp = std::filesystem::temp_directory_path() / (std::string("board-web-") + pszName);
        std::error_code ec;
        std::filesystem::remove_all(temp, ec);
        view = std::make_unique<CLMView>(*this, temp);
    }
    void SendData(const uint8_t* p, size_t n) override
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            outbox.emplace_back(p, p + n);
        }
        view->SucSendBoardData(p);
    }
    void ModeChange(const std::u16string&, int nMode) override { modes.push_back(nMode); }
    void UploadAgendaComplete() override { ++nComplete; }
    std::vector<std::vector<uint8_t>> Take()
    {
        std::lock_guard<std::mutex> hold(lock);
        return std::exchange(outbox, {});
    }
};

bool PumpUntil(const std::function<bool()>& done, DWORD nMs = 20000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < nMs;)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

class BoardWeb : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr,
                                    nullptr, nullptr, nullptr);
        for (WebBoard* b : {&alice, &bob})
        {
            ASSERT_TRUE(b->view->Create(m_hParent, RECT{10, 20, 810, 620}));
            b->view->SetConfCode(u"web");
            b->view->SetLock(false);
        }
        aliceBrowser = std::make_unique<CFakeBrowser>(m_hParent);
        bobBrowser = std::make_unique<CFakeBrowser>(m_hParent);
        alice.view->Init(aliceBrowser.get(), m_hParent, true, u"Quillon");
        bob.view->Init(bobBrowser.get(), m_hParent, true, u"Quillon");
    }
    void TearDown() override
    {
        alice.view.reset();
        bob.view.reset();
        EXPECT_EQ(aliceBrowser->m_nRefs, 1u) << "the board released the browser";
        DestroyWindow(m_hParent);
    }
    // Alice's messages reach bob.
    void Deliver()
    {
        for (const auto& m : alice.Take())
            bob.view->Read(m.data(), m.size());
    }
    RECT BrowserRect(const CFakeBrowser& b)
    {
        RECT rc{};
        GetWindowRect(b.hWnd, &rc);
        return rc;
    }

    WebBoard alice{"alice"}, bob{"bob"};
    std::unique_ptr<CFakeBrowser> aliceBrowser, bobBrowser;
    HWND m_hParent = nullptr;
};

TEST_F(BoardWeb, PageOpensInTheBrowserOverTheBoardAndFollowsToPeers)
{
    // Init: silent, blank, out of sight.
    EXPECT_TRUE(aliceBrowser->bSilent);
    ASSERT_EQ(aliceBrowser->navigations.size(), 1u);
    EXPECT_EQ(aliceBrowser->navigations[0].address, u"about:blank");
    EXPECT_LT(BrowserRect(*aliceBrowser).right, 0);
    alice.view->OnDocumentComplete(); // the blank page

    // Only web addresses open.
    for (const char16_t* bad : {u"file:///C:/secret.txt", u"javascript:alert(1)", u""})
        EXPECT_EQ(alice.view->LoadWebPage(bad), 1);
    EXPECT_EQ(aliceBrowser->navigations.size(), 1u);
    EXPECT_EQ(alice.view->BoardMode(), BOARD_BLANK);

    ASSERT_EQ(alice.view->LoadWebPage(u"http://example.test/a"), 0);
    EXPECT_EQ(alice.view->BoardMode(), BOARD_WEB);
    EXPECT_EQ(aliceBrowser->navigations.back().address, u"http://example.test/a");
    RECT rcView{}, rcBrowser = BrowserRect(*aliceBrowser);
    GetWindowRect(alice.view->Hwnd(), &rcView);
    EXPECT_TRUE(EqualRect(&rcView, &rcBrowser)) << "the browser covers the board";
    EXPECT_TRUE(IsWindowVisible(aliceBrowser->hWnd));
    EXPECT_FALSE(IsWindowVisible(alice.view->Hwnd()));
    // The browser follows the board when the board is placed anew.
    SetWindowPos(alice.view->Hwnd(), nullptr, 50, 60, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(alice.view->Hwnd(), &rcView);
    rcBrowser = BrowserRect(*aliceBrowser);
    EXPECT_TRUE(EqualRect(&rcView, &rcBrowser));

    // A navigation with a frame, post data and headers: kept for the next page the board opens.
    alice.view->OnBeforeNavigate(u"http://example.test/form", u"main", "q=1&r=2", u"X-Test: 1\r\n");
    alice.Take();
    alice.view->OnNavigateComplete(u"http://example.test/form");
    std::vector<std::vector<uint8_t>> sent = alice.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], BMSG_BROWSER_RECORD);
    bob.view->Read(sent[0].data(), sent[0].size());
    EXPECT_EQ(bob.view->BoardMode(), BOARD_WEB);
    ASSERT_EQ(bobBrowser->navigations.size(), 2u);
    EXPECT_EQ(bobBrowser->navigations[1].address, u"http://example.test/form");
    // Bob's own browser completing the page a peer sent does not send it back.
    bob.view->OnDocumentComplete();
    bob.view->OnNavigateComplete(u"http://example.test/form");
    EXPECT_TRUE(bob.Take().empty());

    // The frame, post data and headers before a page opens go with it.
    alice.view->OnBeforeNavigate(u"http://example.test/post", u"main", "q=1&r=2", u"X-Test: 1\r\n");
    alice.view->OnBeforeNavigate(u"about:blank", u"", "", u""); // ignored
    ASSERT_EQ(alice.view->LoadWebPage(u"https://example.test/b"), 0);
    const CFakeBrowser::Navigation& n = aliceBrowser->navigations.back();
    EXPECT_EQ(n.address, u"https://example.test/b");
    // Load clears what an earlier navigation kept.
    EXPECT_EQ(n.frame, u"");
    EXPECT_EQ(n.postData, "");

    // A locked board does not lead the others.
    alice.view->SetLock(true);
    alice.view->OnNavigateComplete(u"http://example.test/c");
    EXPECT_TRUE(alice.Take().empty());
    alice.view->SetLock(false);

    // Clear refreshes the page; save and print go to the browser.
    alice.view->Clear(true);
    EXPECT_EQ(aliceBrowser->nRefreshes, 1);
    EXPECT_TRUE(alice.view->Save());
    EXPECT_TRUE(alice.view->Print());
    EXPECT_EQ(aliceBrowser->commands, (std::vector<long>{4, 6}));
    EXPECT_TRUE(alice.Take().empty()) << "nothing of a web page is drawn or sent by Clear";
}

TEST_F(BoardWeb, CapturedWebPageBecomesAPageAtEveryPeer)
{
    alice.view->OnDocumentComplete();
    ASSERT_EQ(alice.view->LoadWebPage(u"http://example.test/a"), 0);
    std::optional<std::vector<uint8_t>> grant = CBoardMessage(BMSG_HOST_MODE, u"Browser").Finish();
    ASSERT_TRUE(grant);

    // A grant nobody asked for captures nothing.
    alice.view->Read(grant->data(), grant->size());
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(alice.view->PageCount(), 1u);

    alice.view->Writer().SendModeName(u"Browser"); // as Load in mode 2 asks
    alice.view->Read(grant->data(), grant->size());
    ASSERT_TRUE(PumpUntil([&] { return alice.nComplete == 1; }));
    EXPECT_EQ(aliceBrowser->document.body.scrollSettings, (std::vector<std::wstring>{L"no", L"auto"}));
    EXPECT_EQ(aliceBrowser->document.drawnBounds.right, kDocWidth + 80);
    EXPECT_EQ(aliceBrowser->document.drawnBounds.bottom, kDocHeight + 80);
    // The board shows the captured page; the browser is out of sight.
    EXPECT_EQ(alice.view->BoardMode(), BOARD_PICTURE);
    EXPECT_NE(std::find(alice.modes.begin(), alice.modes.end(), BOARD_WEB_CAPTURE), alice.modes.end());
    EXPECT_TRUE(IsWindowVisible(alice.view->Hwnd()));
    EXPECT_LT(BrowserRect(*aliceBrowser).right, 0);

    Deliver();
    std::optional<S_BOARD_FILEHDR> page = bob.view->ListedHeader(u"web_001");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->byKind, PAGE_WEB);
    EXPECT_EQ(S_BOARD_FILEHDR::Text(page->szCaption), u"Browser 1");
    bob.view->SelectPage(1, false);
    const CSurfaceBitmap& drawn = bob.view->DrawingBitmap();
    ASSERT_EQ(drawn.Width(), kDocWidth + 80);
    ASSERT_EQ(drawn.Height(), kDocHeight + 80);
    EXPECT_EQ(drawn.Pixel(90, 65), kInk);
    EXPECT_EQ(drawn.Pixel(20, 20), RGB(255, 255, 255));

    // Outside a web page the grant only ends the transfer.
    alice.view->Writer().SendModeName(u"Browser");
    alice.Take();
    alice.view->Read(grant->data(), grant->size());
    PumpUntil([] { return false; }, 300);
    std::vector<std::vector<uint8_t>> sent = alice.Take();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back()[0], BMSG_TRANSFER_END);
    EXPECT_EQ(alice.view->PageCount(), 2u);
}
} // namespace
