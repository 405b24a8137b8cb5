// The test control hosted in a program window: creation by ProgID, calls by dispid with each
// argument type and each error, events from a worker thread, FreezeEvents, and teardown.
#include "comkit/ControlHost.h"
#include "comkit/DispatchTable.h"
#include "tests/comkit/ComKitTestGuids.h"

#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace
{
// The test control's dispids: positions in its table.
enum : DISPID
{
    ID_TAKE_I2 = 1,
    ID_TAKE_I4,
    ID_TAKE_BOOL,
    ID_TAKE_BSTR,
    ID_TAKE_UI2,
    ID_TAKE_DISPATCH,
    ID_TAKE_VARREF,
    ID_TAKE_I4REF,
    ID_MIXED,
    ID_RAISE_FROM_THREAD,
    ID_SINK_COUNT,
    ID_WINDOW_HANDLE,
    ID_USER_MODE,
    ID_TAKE_LIFE_LOG,
};
enum : DISPID
{
    EV_DATA = 1,
    EV_TEXT = 2,
};

class ComKitHost : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hWndHost = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400,
                                     300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWndHost, nullptr);
        ASSERT_EQ(m_host.Create(kTestProgId, m_hWndHost, RECT{10, 10, 210, 110}, 1023), S_OK);
    }
    void TearDown() override
    {
        m_host.Destroy();
        DestroyWindow(m_hWndHost);
    }

    RECT ChildRect(HWND hWnd)
    {
        RECT rc;
        GetWindowRect(hWnd, &rc);
        MapWindowPoints(nullptr, m_hWndHost, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    long CallLong(DISPID id)
    {
        CVar result;
        EXPECT_EQ(m_host.CallMethod(id, &result), S_OK);
        long n = -1;
        EXPECT_TRUE(result.ToLong(n));
        return n;
    }

    // A pointer-sized result comes back whole, with the type the type library declares.
    INT_PTR CallIntPtr(DISPID id)
    {
        CVar result;
        EXPECT_EQ(m_host.CallMethod(id, &result), S_OK);
        EXPECT_EQ(result.Type(), kVtIntPtr);
        return GetIntPtr(result.Get());
    }

    HWND m_hWndHost = nullptr;
    CControlHost m_host;
};

// What the sink heard, from whichever thread.
struct Heard
{
    std::mutex lock;
    std::vector<std::string> data;
    std::vector<std::wstring> texts;
    std::vector<short> numbers;
    std::vector<DWORD> threads;
};

ComPtr<CEventSink> MakeSink(Heard& heard)
{
    ComPtr<CEventSink> sink;
    sink.Attach(new CEventSink(DIID_DComKitTestEvents));
    sink->On(EV_DATA,
             [&heard](const EventArgs& args)
             {
                 // The bytes are valid only during the call: copy them here.
                 const char* p = reinterpret_cast<const char*>(args.IntPtr(1));
                 std::lock_guard<std::mutex> hold(heard.lock);
                 heard.data.emplace_back(p, static_cast<size_t>(args.I4(0)));
                 heard.threads.push_back(GetCurrentThreadId());
             });
    sink->On(EV_TEXT,
             [&heard](const EventArgs& args)
             {
                 std::lock_guard<std::mutex> hold(heard.lock);
                 heard.texts.push_back(args.Str(0));
                 heard.numbers.push_back(args.I2(1));
             });
    return sink;
}

bool SameValue(const VARIANT& a, const VARIANT& b)
{
    return a.vt == b.vt &&
           VarCmp(const_cast<VARIANT*>(&a), const_cast<VARIANT*>(&b), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}
} // namespace

TEST_F(ComKitHost, CreatedByProgIdInTheHostWindow)
{
    HWND hWnd = m_host.ControlWindow();
    ASSERT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(GetParent(hWnd), m_hWndHost);
    EXPECT_EQ(GetDlgCtrlID(hWnd), 1023);
    RECT rc = ChildRect(hWnd);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 10);
    EXPECT_EQ(rc.right, 210);
    EXPECT_EQ(rc.bottom, 110);
    EXPECT_EQ(CallIntPtr(ID_WINDOW_HANDLE), reinterpret_cast<INT_PTR>(hWnd));
    // The ambient UserMode of our site reached the control.
    EXPECT_EQ(CallLong(ID_USER_MODE), -1);

    ASSERT_EQ(m_host.Resize(RECT{20, 30, 120, 80}), S_OK);
    rc = ChildRect(hWnd);
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.right, 120);
    EXPECT_EQ(rc.bottom, 80);

    EXPECT_EQ(m_host.Create(kTestProgId, m_hWndHost, RECT{0, 0, 10, 10}), E_UNEXPECTED);
}

TEST(ComKitHostCreate, UnknownProgIdCreatesNothing)
{
    HWND hWndHost = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
    CControlHost host;
    EXPECT_TRUE(FAILED(host.Create(L"ComKitTest.NoSuchCtrl.1", hWndHost, RECT{0, 0, 10, 10})));
    EXPECT_FALSE(host.IsCreated());
    EXPECT_EQ(GetWindow(hWndHost, GW_CHILD), nullptr);
    EXPECT_EQ(host.CallMethod(ID_TAKE_I4, nullptr, {CVar(1L)}), E_UNEXPECTED);
    host.Destroy();
    DestroyWindow(hWndHost);
}

TEST_F(ComKitHost, MethodsTakeEachArgumentType)
{
    struct Case
    {
        DISPID id;
        std::vector<CVar> args;
        CVar expected;
    } cases[] = {
        {ID_TAKE_I2, {CVar(short(5))}, CVar(short(6))},
        {ID_TAKE_I2, {CVar(7L)}, CVar(short(8))}, // coerced from I4
        {ID_TAKE_I4, {CVar(41L)}, CVar(42L)},
        {ID_TAKE_I4, {CVar(L"100")}, CVar(101L)}, // coerced from a string
        {ID_TAKE_BOOL, {CVar(true)}, CVar(false)},
        {ID_TAKE_BOOL, {CVar(0L)}, CVar(true)},
        {ID_TAKE_BSTR, {CVar(L"ab")}, CVar(L"<ab>")},
        {ID_TAKE_BSTR, {CVar(12L)}, CVar(L"<12>")},
        {ID_TAKE_UI2, {CVar((unsigned short)65535)}, CVar(65535L)},
        {ID_MIXED, {CVar(L"s"), CVar(short(2)), CVar(3L), CVar(true)}, CVar(L"s|2|3|true")},
        {ID_TAKE_DISPATCH, {CVar(m_host.Dispatch())}, CVar(true)},
    };
    for (const Case& c : cases)
    {
        std::vector<VARIANT> args;
        for (const CVar& a : c.args)
            args.push_back(a.Get());
        CVar result;
        EXPECT_EQ(DispInvoke(m_host.Dispatch(), c.id, DISPATCH_METHOD, result.Ptr(), args.data(),
                             static_cast<UINT>(args.size())),
                  S_OK)
            << "dispid " << c.id;
        EXPECT_TRUE(SameValue(result.Get(), c.expected.Get()))
            << "dispid " << c.id << " vt " << result.Type();
    }

    // By reference: the control writes into the caller's storage.
    CVar target(7L);
    ASSERT_EQ(m_host.CallMethod(ID_TAKE_VARREF, nullptr, {CVar::ByRef(target.Ptr())}), S_OK);
    EXPECT_TRUE(SameValue(target.Get(), CVar(42L).Get()));
    long n = 21;
    ASSERT_EQ(m_host.CallMethod(ID_TAKE_I4REF, nullptr, {CVar::ByRef(&n)}), S_OK);
    EXPECT_EQ(n, 42);

    DISPID dispid = 0;
    LPOLESTR szName = const_cast<LPOLESTR>(L"mixed");
    EXPECT_EQ(m_host.Dispatch()->GetIDsOfNames(IID_NULL, &szName, 1, 0, &dispid), S_OK);
    EXPECT_EQ(dispid, ID_MIXED);
}

TEST_F(ComKitHost, WrongCallsGetTheRightErrors)
{
    struct Case
    {
        DISPID id;
        std::vector<CVar> args;
        HRESULT hr;
    } cases[] = {
        {ID_TAKE_I4, {}, DISP_E_BADPARAMCOUNT},
        {ID_TAKE_I4, {CVar(1L), CVar(2L)}, DISP_E_BADPARAMCOUNT},
        {ID_MIXED, {CVar(L"s"), CVar(short(2)), CVar(3L)}, DISP_E_BADPARAMCOUNT},
        {ID_TAKE_I4, {CVar(L"abc")}, DISP_E_TYPEMISMATCH},
        {ID_TAKE_I2, {CVar(100000L)}, DISP_E_TYPEMISMATCH}, // out of range
        {ID_TAKE_DISPATCH, {CVar(L"x")}, DISP_E_TYPEMISMATCH},
        {ID_TAKE_I4REF, {CVar(3L)}, DISP_E_TYPEMISMATCH}, // a value where a reference is declared
        {0, {}, DISP_E_MEMBERNOTFOUND},
        {-1, {}, DISP_E_MEMBERNOTFOUND},
        {ID_TAKE_LIFE_LOG + 1, {}, DISP_E_MEMBERNOTFOUND},
        {104, {}, DISP_E_MEMBERNOTFOUND},
    };
    for (const Case& c : cases)
    {
        std::vector<VARIANT> args;
        for (const CVar& a : c.args)
            args.push_back(a.Get());
        CVar result;
        EXPECT_EQ(DispInvoke(m_host.Dispatch(), c.id, DISPATCH_METHOD, result.Ptr(), args.data(),
                             static_cast<UINT>(args.size())),
                  c.hr)
            << "dispid " << c.id << " with " << c.args.size() << " arguments";
    }

    // The argument at fault is named by its place in rgvarg (last argument first).
    CVar bad(L"not a number");
    VARIANT rgvarg[4];
    rgvarg[3].vt = VT_BSTR, rgvarg[3].bstrVal = nullptr; // a null BSTR is an empty string
    rgvarg[2].vt = VT_I2, rgvarg[2].iVal = 1;
    rgvarg[1] = bad.Get();
    rgvarg[0].vt = VT_BOOL, rgvarg[0].boolVal = VARIANT_TRUE;
    DISPPARAMS params{rgvarg, nullptr, 4, 0};
    UINT argErr = 99;
    EXPECT_EQ(
        m_host.Dispatch()->Invoke(ID_MIXED, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, &argErr),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);

    DISPID named = 0;
    DISPPARAMS withNames{rgvarg, &named, 4, 1};
    EXPECT_EQ(m_host.Dispatch()->Invoke(ID_MIXED, IID_NULL, 0, DISPATCH_METHOD, &withNames, nullptr, nullptr,
                                        nullptr),
              DISP_E_NONAMEDARGS);
}

TEST_F(ComKitHost, EventsFromAWorkerThreadReachTheSink)
{
    Heard heard;
    ComPtr<CEventSink> sink = MakeSink(heard);
    ASSERT_EQ(m_host.Advise(sink.Get()), S_OK);
    EXPECT_EQ(sink->On(EV_DATA, nullptr), E_UNEXPECTED); // the map is fixed once connected
    EXPECT_EQ(CallLong(ID_SINK_COUNT), 1);

    ASSERT_EQ(m_host.CallMethod(ID_RAISE_FROM_THREAD, nullptr, {CVar(3L)}), S_OK);
    std::lock_guard<std::mutex> hold(heard.lock);
    EXPECT_EQ(heard.data, (std::vector<std::string>{"chunk 0", "chunk 1", "chunk 2"}));
    EXPECT_EQ(heard.texts, (std::vector<std::wstring>{L"tick 0", L"tick 1", L"tick 2"}));
    EXPECT_EQ(heard.numbers, (std::vector<short>{0, 1, 2}));
    for (DWORD id : heard.threads)
        EXPECT_NE(id, GetCurrentThreadId());
}

TEST_F(ComKitHost, FrozenEventsAreDropped)
{
    Heard heard;
    ComPtr<CEventSink> sink = MakeSink(heard);
    ASSERT_EQ(m_host.Advise(sink.Get()), S_OK);

    ASSERT_EQ(m_host.FreezeEvents(TRUE), S_OK);
    ASSERT_EQ(m_host.CallMethod(ID_RAISE_FROM_THREAD, nullptr, {CVar(2L)}), S_OK);
    EXPECT_TRUE(heard.data.empty());
    EXPECT_TRUE(heard.texts.empty());

    ASSERT_EQ(m_host.FreezeEvents(FALSE), S_OK);
    ASSERT_EQ(m_host.CallMethod(ID_RAISE_FROM_THREAD, nullptr, {CVar(1L)}), S_OK);
    EXPECT_EQ(heard.data, (std::vector<std::string>{"chunk 0"}));
    EXPECT_EQ(heard.texts, (std::vector<std::wstring>{L"tick 0"}));
}

TEST_F(ComKitHost, TeardownLeavesNoSinkAndNoWindow)
{
    Heard heard;
    ComPtr<CEventSink> sink = MakeSink(heard);
    ASSERT_EQ(m_host.Advise(sink.Get()), S_OK);
    ComPtr<IDispatch> control = m_host.Dispatch(); // outlives the host's references
    HWND hWnd = m_host.ControlWindow();
    ASSERT_TRUE(IsWindow(hWnd));

    m_host.Destroy();
    EXPECT_FALSE(m_host.IsCreated());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(GetWindow(m_hWndHost, GW_CHILD), nullptr);

    CVar count;
    ASSERT_EQ(DispInvoke(control.Get(), ID_SINK_COUNT, DISPATCH_METHOD, count.Ptr(), nullptr, 0), S_OK);
    EXPECT_EQ(count.Get().lVal, 0);
    CVar one(1L);
    ASSERT_EQ(DispInvoke(control.Get(), ID_RAISE_FROM_THREAD, DISPATCH_METHOD, nullptr, &one.Get(), 1), S_OK);
    EXPECT_TRUE(heard.data.empty());
    // The host unadvised before deactivating, then closed and took its site back.
    CVar life;
    ASSERT_EQ(DispInvoke(control.Get(), ID_TAKE_LIFE_LOG, DISPATCH_METHOD, life.Ptr(), nullptr, 0), S_OK);
    EXPECT_STREQ(life.Get().bstrVal,
                 L"SetClientSite(site),InitNew,DoVerb(-5),InPlaceDeactivate(sinks=0),Close,"
                 L"SetClientSite(null)");
    // The control let go of our site.
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(object), S_OK);
    ComPtr<IOleClientSite> site;
    EXPECT_EQ(object->GetClientSite(site.Out()), S_OK);
    EXPECT_FALSE(site);

    m_host.Destroy(); // a second teardown is harmless
}
