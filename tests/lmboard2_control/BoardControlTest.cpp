// LMBoardU.ocx registered with regsvr32 and hosted in a window: its keys and type library, every
// dispid called with its declared types, and the events a container sinks.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "comkit/ControlHost.h"
#include "tests/comkit/Regsvr32.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/control/LMBoard2Guids.h"

namespace
{
bool KeyExists(const std::wstring& key)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    RegCloseKey(hKey);
    return true;
}

const std::wstring kClsidKey = L"CLSID\\{72FF67C4-F137-4337-8910-CF7378E0DE94}";

class CRegisteredBoardEnv : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + std::wstring(LMBOARD_OCX) + L"\""), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + std::wstring(LMBOARD_OCX) + L"\""), 0);
        EXPECT_FALSE(KeyExists(L"LMBOARD2.LMBoard2Ctrl.1"));
        EXPECT_FALSE(KeyExists(kClsidKey));
        CoUninitialize();
    }
};
const testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new CRegisteredBoardEnv);

TEST(BoardRegistration, ProgIdsClassAndTypeLibraryAsTheHostExpects)
{
    for (const wchar_t* key : {L"LMBOARD2.LMBoard2Ctrl.1\\CLSID", L"LMBOARD2.LMBoard2PropPage.1\\CLSID",
                               L"TypeLib\\{12630617-3A4C-4567-A2F9-2A7780420A14}\\1.0"})
        EXPECT_TRUE(KeyExists(key)) << key;
    wchar_t sz[64] = {};
    DWORD cb = sizeof sz;
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, (kClsidKey + L"\\MiscStatus\\1").c_str(), nullptr,
                           RRF_RT_REG_SZ, nullptr, sz, &cb),
              ERROR_SUCCESS);
    EXPECT_STREQ(sz, L"132241"); // 0x20491

    ITypeLib* pLib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_LMBOARD2Lib, 1, 0, 0, &pLib), S_OK);
    struct Expect
    {
        const IID* pIid;
        WORD nFuncs;
    };
    for (Expect e : {Expect{&DIID_DLMBoard2, 54}, Expect{&DIID_DLMBoard2Events, 25}})
    {
        ITypeInfo* pInfo = nullptr;
        ASSERT_EQ(pLib->GetTypeInfoOfGuid(*e.pIid, &pInfo), S_OK);
        TYPEATTR* pAttr = nullptr;
        ASSERT_EQ(pInfo->GetTypeAttr(&pAttr), S_OK);
        EXPECT_EQ(pAttr->typekind, TKIND_DISPATCH);
        EXPECT_EQ(pAttr->cFuncs, e.nFuncs);
        pInfo->ReleaseTypeAttr(pAttr);
        pInfo->Release();
    }
    // ProcessData's pointer is as wide as a pointer of this build.
    ITypeInfo* pInfo = nullptr;
    ASSERT_EQ(pLib->GetTypeInfoOfGuid(DIID_DLMBoard2, &pInfo), S_OK);
    FUNCDESC* pFunc = nullptr;
    ASSERT_EQ(pInfo->GetFuncDesc(6, &pFunc), S_OK);
    EXPECT_EQ(pFunc->memid, 7);
    ASSERT_EQ(pFunc->cParams, 2);
    EXPECT_EQ(pFunc->lprgelemdescParam[1].tdesc.vt, kVtIntPtr);
    pInfo->ReleaseFuncDesc(pFunc);
    pInfo->Release();
    pLib->Release();
}

struct Fired
{
    DISPID id;
    std::vector<std::wstring> args;
    std::vector<uint8_t> data; // SendData's message
};

class BoardHost : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hWndHost = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640,
                                     480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWndHost, nullptr);
        ASSERT_EQ(m_host.Create(kBoardProgId, m_hWndHost, RECT{0, 0, 600, 440}, 1023), S_OK);
        CEventSink* pSink = new CEventSink(DIID_DLMBoard2Events);
        for (DISPID id :
             {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26, 27})
            pSink->On(id,
                      [this, id](const EventArgs& a)
                      {
                          Fired f{id, {}, {}};
                          for (UINT i = 0; i < a.Count(); i++)
                              f.args.push_back(a.Raw(i).vt == (VT_BYREF | VT_UI1) ? L"<buffer>" : a.Str(i));
                          if (id == 1)
                          {
                              auto* p = reinterpret_cast<const uint8_t*>(a.IntPtr(1));
                              f.data.assign(p, p + a.I4(0));
                          }
                          if (id == 14 && a.Str(0) == L"IDS_DEFAULT_FONT")
                          {
                              // A host that fills the whole buffer leaves no terminator.
                              BYTE* pBuffer = a.Raw(1).pbVal;
                              for (int i = 0; i < 260; i += 2)
                                  pBuffer[i] = 'A', pBuffer[i + 1] = 0;
                          }
                          m_fired.push_back(f);
                      });
        ASSERT_EQ(m_host.Advise(pSink), S_OK);
        pSink->Release();
    }
    void TearDown() override
    {
        m_host.Destroy();
        DestroyWindow(m_hWndHost);
    }
    HRESULT Call(DISPID id, CVar* pResult, std::initializer_list<CVar> args = {})
    {
        return m_host.CallMethod(id, pResult, args);
    }
    std::vector<Fired> Take() { return std::exchange(m_fired, {}); }
    std::vector<DISPID> Ids(const std::vector<Fired>& f)
    {
        std::vector<DISPID> ids;
        for (const Fired& x : f)
            ids.push_back(x.id);
        return ids;
    }

    HWND m_hWndHost = nullptr;
    CControlHost m_host;
    std::vector<Fired> m_fired;
};

// Every dispid answers a call with its declared types: the board's own methods succeed, and
// those of page loading, previews, printing, e-books and slide shows say they are not built.
TEST_F(BoardHost, EveryDispidTakesItsDeclaredTypes)
{
    CVar url(L"about:blank"), flags(0L), frame(L""), post(L""), headers(L"");
    VARIANT_BOOL bCancel = VARIANT_FALSE;
    INT_PTR nAfter = 0;
    uint8_t buff[1304] = {};
    struct Row
    {
        DISPID id;
        std::vector<CVar> args;
        HRESULT hr;
    };
    const std::vector<Row> rows = {
        {1, {CVar(L"x"), CVar(short(2)), CVar(short(0))}, S_OK},
        {2, {CVar(true)}, S_OK},
        {3, {CVar(static_cast<IDispatch*>(nullptr)), CVar::ByRef(url.Ptr())}, S_OK},
        {4,
         {CVar(static_cast<IDispatch*>(nullptr)), CVar::ByRef(url.Ptr()), CVar::ByRef(flags.Ptr()),
          CVar::ByRef(frame.Ptr()), CVar::ByRef(post.Ptr()), CVar::ByRef(headers.Ptr()),
          CVar::ByRef(&bCancel)},
         S_OK},
        {5, {CVar(false)}, S_OK},
        {6, {CVar(static_cast<IDispatch*>(nullptr)), CVar::ByRef(url.Ptr())}, S_OK},
        {7, {CVar(0L), CVar::IntPtr(0)}, S_OK},
        {8, {CVar(0L)}, S_OK},
        {9, {}, S_OK},
        {10, {CVar(L"conf")}, S_OK},
        {11,
         {CVar::IntPtr(0), CVar::IntPtr(reinterpret_cast<INT_PTR>(m_hWndHost)), CVar(0L), CVar(L"Quillon")},
         S_OK},
        {12, {CVar(L"conf"), CVar(L"a.pdf")}, S_OK}, // a document: ErrorMessage(1), FALSE
        {13, {CVar(true)}, S_OK},
        {14, {}, S_OK},
        {15, {CVar::IntPtr(reinterpret_cast<INT_PTR>(buff))}, S_OK},
        {16, {}, S_OK},
        {17, {}, S_OK},
        {18, {CVar::IntPtr(0)}, S_OK},
        {19, {CVar(false)}, S_OK},
        // 20, Save, opens its save dialog: SavePage is tested where the board draws.
        // 21, Print, opens its print dialog: DrawPrintedPage is tested where the board draws.
        {22, {CVar(short(0))}, S_OK},
        {23, {}, S_OK},
        {24, {CVar(short(100))}, S_OK},
        {26, {CVar(0x0000FFL)}, S_OK},
        {27, {CVar(short(3))}, S_OK},
        {28, {CVar(false)}, S_OK},
        {29, {}, S_OK},
        {30, {CVar(short(1)), CVar(0L), CVar(0L), CVar(10L), CVar(10L), CVar::IntPtr(0)}, E_NOTIMPL},
        {31, {CVar(short(0)), CVar(10L), CVar(10L)}, S_OK},
        {32, {CVar(short(0))}, S_OK},
        {33, {CVar(0L)}, S_OK},
        {34, {}, S_OK},
        {35, {CVar(false)}, S_OK},
        {38, {}, S_OK},
        {39, {CVar(short(0)), CVar(short(0))}, S_OK},
        {40, {CVar(short(0)), CVar(short(0)), CVar(L"")}, S_OK},
        {41, {CVar(L"")}, S_OK},
        {42, {CVar(L""), CVar(0L), CVar(0L), CVar(0L)}, S_OK},
        {43, {CVar::IntPtr(0)}, E_NOTIMPL},
        {44, {}, E_NOTIMPL},
        {45, {CVar(false)}, E_NOTIMPL},
        {46, {CVar(false)}, E_NOTIMPL},
        {47, {CVar(false)}, S_OK},
        {48, {CVar(short(0)), CVar(short(0))}, E_NOTIMPL},
        {49, {CVar(L"conf_000"), CVar::IntPtr(reinterpret_cast<INT_PTR>(buff)), CVar(20L)}, S_OK},
        {50, {CVar(L"conf_000"), CVar::IntPtr(reinterpret_cast<INT_PTR>(buff))}, S_OK},
        {51, {CVar(true)}, E_NOTIMPL},
        {52, {CVar(true)}, S_OK},
        {53, {}, S_OK},
        {54, {CVar(static_cast<unsigned short>(3025)), CVar(short(90))}, E_NOTIMPL},
    };
    for (const Row& r : rows)
    {
        CVar result;
        HRESULT hr = E_FAIL;
        switch (r.args.size())
        {
        case 0:
            hr = Call(r.id, &result);
            break;
        case 1:
            hr = Call(r.id, &result, {r.args[0]});
            break;
        case 2:
            hr = Call(r.id, &result, {r.args[0], r.args[1]});
            break;
        case 3:
            hr = Call(r.id, &result, {r.args[0], r.args[1], r.args[2]});
            break;
        case 4:
            hr = Call(r.id, &result, {r.args[0], r.args[1], r.args[2], r.args[3]});
            break;
        case 6:
            hr = Call(r.id, &result, {r.args[0], r.args[1], r.args[2], r.args[3], r.args[4], r.args[5]});
            break;
        case 7:
            hr = Call(r.id, &result,
                      {r.args[0], r.args[1], r.args[2], r.args[3], r.args[4], r.args[5], r.args[6]});
            break;
        }
        EXPECT_EQ(hr, r.hr) << "dispid " << r.id;
    }
    // SetBoardPos takes its insert-after window as a pointer-sized reference.
    CVar result;
    EXPECT_EQ(Call(36, &result,
                   {CVar::ByRef(reinterpret_cast<long*>(&nAfter)), CVar(0L), CVar(0L), CVar(600L), CVar(440L),
                    CVar(0L), CVar(short(1))}),
              sizeof(INT_PTR) == 8 ? DISP_E_TYPEMISMATCH : S_OK);
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | kVtIntPtr;
    ref.byref = &nAfter;
    EXPECT_EQ(
        Call(36, &result, {CVar(ref), CVar(0L), CVar(0L), CVar(600L), CVar(440L), CVar(0L), CVar(short(1))}),
        S_OK);
    EXPECT_EQ(Call(25, &result, {CVar(1L)}), DISP_E_BADPARAMCOUNT) << "SetTextFont takes nothing";
    EXPECT_EQ(Call(55, &result), DISP_E_MEMBERNOTFOUND);
}

TEST_F(BoardHost, InitAsksItsTextsAndTheBoardShowsItsFirstPage)
{
    CVar result;
    ASSERT_EQ(Call(11, nullptr,
                   {CVar::IntPtr(0), CVar::IntPtr(reinterpret_cast<INT_PTR>(m_hWndHost)), CVar(0L),
                    CVar(L"Quillon")}),
              S_OK);
    std::vector<std::wstring> keys;
    for (const Fired& f : Take())
        if (f.id == 14) keys.push_back(f.args[0]);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"IDS_DEFAULT_FONT", L"IDS_LMBOARD_WHITEBOARD",
                                               L"IDS_LMBOARD_CANNOT_PREVIEW_SLIDE",
                                               L"IDS_LMBOARD_ERR_NOTINTALL_PPT", L"IDS_BOARD_LOBBY_UPLOAD"}));
    ASSERT_EQ(Call(10, nullptr, {CVar(L"h29test")}), S_OK);
    std::vector<Fired> fired = Take();
    EXPECT_EQ(Ids(fired), (std::vector<DISPID>{10, 12, 13}));
    ASSERT_EQ(Call(9, &result), S_OK);
    short nMode = -1;
    EXPECT_TRUE(result.ToShort(nMode));
    EXPECT_EQ(nMode, 0);
}

TEST_F(BoardHost, DrawingGoesOutAsSendDataAndZoomIsReported)
{
    CVar result;
    ASSERT_EQ(Call(10, nullptr, {CVar(L"h29zoom")}), S_OK);
    Take();
    ASSERT_EQ(Call(2, nullptr, {CVar(false)}), S_OK);
    ASSERT_EQ(Call(23, nullptr), S_OK);
    std::vector<Fired> fired = Take();
    ASSERT_EQ(Ids(fired), (std::vector<DISPID>{1}));
    ASSERT_EQ(fired[0].data.size(), kBoardMsgHeaderSize + 4);
    EXPECT_EQ(fired[0].data[0], BMSG_RECORD);
    EXPECT_EQ(fired[0].data[kBoardMsgHeaderSize + 2], 161);

    // Start data: 72 bytes at fit width, 144 with a zoom message otherwise.
    ASSERT_EQ(Call(16, &result), S_OK);
    short nSize = 0;
    ASSERT_TRUE(result.ToShort(nSize));
    EXPECT_EQ(nSize, 72);
    for (short nBad : {short(310), short(5)})
    {
        ASSERT_EQ(Call(24, &result, {CVar(nBad)}), S_OK);
        bool b = true;
        EXPECT_TRUE(result.ToBool(b));
        EXPECT_FALSE(b) << nBad;
    }
    EXPECT_TRUE(Take().empty());
    ASSERT_EQ(Call(24, &result, {CVar(short(150))}), S_OK);
    fired = Take();
    ASSERT_EQ(Ids(fired), (std::vector<DISPID>{1, 23}));
    EXPECT_EQ(fired[0].data[0], BMSG_ZOOM);
    EXPECT_EQ(fired[1].args, (std::vector<std::wstring>{L"-1", L"150", L"150"}));
    ASSERT_EQ(Call(16, &result), S_OK);
    ASSERT_TRUE(result.ToShort(nSize));
    EXPECT_EQ(nSize, 144);
    std::vector<uint8_t> start(144, 0xEE);
    ASSERT_EQ(Call(15, &result, {CVar::IntPtr(reinterpret_cast<INT_PTR>(start.data()))}), S_OK);
    EXPECT_EQ(start[0], BMSG_CURRENT_PAGE);
    EXPECT_EQ(start[72], BMSG_ZOOM);
    EXPECT_EQ(start[72 + 8], 150);

    // A zoom from a peer is reported as not ours.
    CBoardMessage zoom(BMSG_ZOOM);
    zoom.PutNameU16(0, 4096);
    std::vector<uint8_t> msg = *zoom.Finish();
    ASSERT_EQ(
        Call(7, &result,
             {CVar(static_cast<long>(msg.size())), CVar::IntPtr(reinterpret_cast<INT_PTR>(msg.data()))}),
        S_OK);
    fired = Take();
    ASSERT_EQ(Ids(fired), (std::vector<DISPID>{23}));
    EXPECT_EQ(fired[0].args[0], L"0") << "not set here";
    EXPECT_EQ(fired[0].args[1], L"4096");
}

TEST_F(BoardHost, ProcessDataRefusesWhatIsNotAWholeMessage)
{
    CVar result;
    std::vector<uint8_t> msg = *CBoardMessage(BMSG_ERROR7).Finish();
    struct Row
    {
        long lLen;
        const uint8_t* p;
        short nExpected;
    };
    for (Row r : {Row{static_cast<long>(msg.size()), msg.data(), 1}, Row{71, msg.data(), 0},
                  Row{0, msg.data(), 0}, Row{-5, msg.data(), 0}, Row{72, nullptr, 0}})
    {
        ASSERT_EQ(Call(7, &result, {CVar(r.lLen), CVar::IntPtr(reinterpret_cast<INT_PTR>(r.p))}), S_OK);
        short n = -1;
        ASSERT_TRUE(result.ToShort(n));
        EXPECT_EQ(n, r.nExpected) << r.lLen;
    }
    EXPECT_EQ(Ids(Take()), (std::vector<DISPID>{4})) << "only the whole message raised its error";
}
} // namespace
