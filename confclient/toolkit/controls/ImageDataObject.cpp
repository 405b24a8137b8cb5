// CImageDataObject: the bitmap goes in through SetData and out as a copy through GetData, which is
// what OleCreateStaticFromData reads to make the picture object.
#include "confclient/toolkit/controls/ImageDataObject.h"

#include "comkit/ComPtr.h"

CImageDataObject::CImageDataObject()
{
    m_format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
}

CImageDataObject::~CImageDataObject()
{
    ReleaseHeldMedium();
}

void CImageDataObject::ReleaseHeldMedium()
{
    if (m_bOwnsMedium) ::ReleaseStgMedium(&m_medium);
    m_medium = STGMEDIUM{};
    m_bOwnsMedium = false;
}

STDMETHODIMP CImageDataObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject))
    {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CImageDataObject::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CImageDataObject::Release()
{
    const LONG n = ::InterlockedDecrement(&m_nRefs);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CImageDataObject::GetData(FORMATETC*, STGMEDIUM* pMedium)
{
    if (!pMedium) return E_POINTER;
    HANDLE hCopy = m_medium.hBitmap ? ::OleDuplicateData(m_medium.hBitmap, CF_BITMAP, 0) : nullptr;
    if (!hCopy) return E_HANDLE;
    pMedium->tymed = TYMED_GDI;
    pMedium->hBitmap = static_cast<HBITMAP>(hCopy);
    pMedium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CImageDataObject::SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL bRelease)
{
    if (!pFormat || !pMedium) return E_POINTER;
    ReleaseHeldMedium();
    m_format = *pFormat;
    m_medium = *pMedium;
    m_bOwnsMedium = bRelease != FALSE;
    return S_OK;
}

void CImageDataObject::SetBitmap(HBITMAP hBitmap)
{
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = hBitmap;
    SetData(&format, &medium, TRUE);
}

HRESULT CImageDataObject::InsertBitmap(IRichEditOle* pRichEditOle, HBITMAP hBitmap)
{
    if (!hBitmap) return E_POINTER;
    SetBitmap(hBitmap);
    if (!pRichEditOle) return E_POINTER;
    ComPtr<IOleClientSite> site;
    HRESULT hr = pRichEditOle->GetClientSite(site.Out());
    if (FAILED(hr)) return hr;
    ComPtr<ILockBytes> bytes;
    hr = ::CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Out());
    if (FAILED(hr)) return hr;
    ComPtr<IStorage> storage;
    hr = ::StgCreateDocfileOnILockBytes(bytes.Get(), STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0,
                                        storage.Out());
    if (FAILED(hr)) return hr;
    ComPtr<IOleObject> object;
    hr = ::OleCreateStaticFromData(this, IID_IOleObject, OLERENDER_FORMAT, &m_format, site.Get(),
                                   storage.Get(), object.OutVoid());
    if (FAILED(hr)) return hr;
    ::OleSetContainedObject(object.Get(), TRUE);
    REOBJECT reobject{};
    reobject.cbStruct = sizeof(reobject);
    hr = object->GetUserClassID(&reobject.clsid);
    if (FAILED(hr)) return hr;
    reobject.cp = REO_CP_SELECTION;
    reobject.dvaspect = DVASPECT_CONTENT;
    reobject.poleobj = object.Get();
    reobject.polesite = site.Get();
    reobject.pstg = storage.Get();
    return pRichEditOle->InsertObject(&reobject);
}
