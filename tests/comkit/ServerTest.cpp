// The test control library as a server: undecorated exports, class factory and unload count,
// the embedded type library against the dispatch table, and the enumerations a container may ask.
#include "comkit/ComPtr.h"
#include "comkit/EventSink.h"
#include "tests/comkit/ComKitTestEnv.h"
#include "tests/comkit/ComKitTestGuids.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

TEST(ComKitServer, ExportsClassFactoryAndUnloadCount)
{
    HMODULE hLib = LoadLibraryW((TestFolder() + L"\\ComKitTestU.ocx").c_str());
    ASSERT_NE(hLib, nullptr);
    using GetClassFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using NoArgFn = HRESULT(WINAPI*)();
    auto pfnGetClass =
        reinterpret_cast<GetClassFn>(reinterpret_cast<void*>(GetProcAddress(hLib, "DllGetClassObject")));
    auto pfnCanUnload =
        reinterpret_cast<NoArgFn>(reinterpret_cast<void*>(GetProcAddress(hLib, "DllCanUnloadNow")));
    ASSERT_NE(pfnGetClass, nullptr);
    ASSERT_NE(pfnCanUnload, nullptr);
    EXPECT_NE(GetProcAddress(hLib, "DllRegisterServer"), nullptr);
    EXPECT_NE(GetProcAddress(hLib, "DllUnregisterServer"), nullptr);

    EXPECT_EQ(pfnCanUnload(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(pfnGetClass(CLSID_ComKitTest, IID_IClassFactory, factory.OutVoid()), S_OK);
    EXPECT_EQ(pfnCanUnload(), S_FALSE);

    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown, object.OutVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(object);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.OutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(pfnCanUnload(), S_FALSE); // the object still lives
    object.Reset();
    EXPECT_EQ(pfnCanUnload(), S_OK);

    ASSERT_EQ(pfnGetClass(CLSID_BrowserStandIn, IID_IClassFactory, factory.OutVoid()), S_OK);
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(pfnCanUnload(), S_FALSE);
    ASSERT_EQ(pfnGetClass(CLSID_BrowserStandIn, IID_IClassFactory, factory.OutVoid()), S_OK);
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(pfnCanUnload(), S_OK);

    EXPECT_EQ(pfnGetClass(DIID_DComKitTest, IID_IClassFactory, factory.OutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    FreeLibrary(hLib);
}

TEST(ComKitServer, TypeLibraryMatchesTheDispatchTable)
{
    ComPtr<IDispatch> control;
    ASSERT_EQ(
        CoCreateInstance(CLSID_ComKitTest, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.OutVoid()),
        S_OK);
    UINT nInfo = 0;
    ASSERT_EQ(control->GetTypeInfoCount(&nInfo), S_OK);
    EXPECT_EQ(nInfo, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, 0, info.Out()), S_OK);
    TYPEATTR* pAttr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&pAttr), S_OK);
    EXPECT_TRUE(IsEqualGUID(pAttr->guid, DIID_DComKitTest));
    EXPECT_EQ(pAttr->typekind, TKIND_DISPATCH);
    info->ReleaseTypeAttr(pAttr);

    // Every method the library names answers, by that name, at the library's dispid.
    int nMethods = 0;
    for (DISPID id = 1; id <= 64; id++)
    {
        BSTR name = nullptr;
        UINT n = 0;
        if (FAILED(info->GetNames(id, &name, 1, &n)) || n == 0) continue;
        nMethods++;
        DISPID found = DISPID_UNKNOWN;
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, 0, &found), S_OK) << id;
        EXPECT_EQ(found, id);
        SysFreeString(name);
    }
    EXPECT_EQ(nMethods, 14);

    ComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(control.As(classInfo), S_OK);
    GUID events{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID_DComKitTestEvents));
    ASSERT_EQ(classInfo->GetClassInfo(info.Out()), S_OK);
    ASSERT_EQ(info->GetTypeAttr(&pAttr), S_OK);
    EXPECT_TRUE(IsEqualGUID(pAttr->guid, CLSID_ComKitTest));
    EXPECT_EQ(pAttr->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(pAttr);

    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_EQ(control.As(pages), S_OK);
    CAUUID cauuid{5, nullptr};
    ASSERT_EQ(pages->GetPages(&cauuid), S_OK);
    EXPECT_EQ(cauuid.cElems, 0u);
}

TEST(ComKitServer, ConnectionPointsAndConnectionsEnumerate)
{
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(CoCreateInstance(CLSID_ComKitTest, nullptr, CLSCTX_INPROC_SERVER, IID_IConnectionPointContainer,
                               container.OutVoid()),
              S_OK);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Out()), S_OK);
    IConnectionPoint* fetched[2] = {};
    ULONG nFetched = 0;
    EXPECT_EQ(points->Next(2, fetched, &nFetched), S_FALSE);
    ASSERT_EQ(nFetched, 1u);
    ComPtr<IConnectionPoint> point;
    point.Attach(fetched[0]);
    IID iid{};
    ASSERT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualGUID(iid, DIID_DComKitTestEvents));
    EXPECT_EQ(container->FindConnectionPoint(DIID_DComKitTest, point.Out()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID_DComKitTestEvents, point.Out()), S_OK);

    ComPtr<CEventSink> sink;
    sink.Attach(new CEventSink(DIID_DComKitTestEvents));
    DWORD dwCookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &dwCookie), S_OK);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Out()), S_OK);
    CONNECTDATA cd{};
    ASSERT_EQ(connections->Next(1, &cd, nullptr), S_OK);
    EXPECT_EQ(cd.dwCookie, dwCookie);
    EXPECT_EQ(cd.pUnk, static_cast<IUnknown*>(sink.Get()));
    cd.pUnk->Release();
    EXPECT_EQ(connections->Next(1, &cd, nullptr), S_FALSE);

    EXPECT_EQ(point->Unadvise(dwCookie), S_OK);
    EXPECT_EQ(point->Unadvise(dwCookie), CONNECT_E_NOCONNECTION);
}
