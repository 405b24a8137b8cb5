// CImageDataObject: a data object of one bitmap, through which a picture goes into a rich edit as
// a static (picture-only) embedded object.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <richole.h>

class CImageDataObject final : public IDataObject
{
public:
    // A new object with one reference, its creator's.
    static CImageDataObject* Create() { return new CImageDataObject(); }

    // Inserts the bitmap at the rich edit's selection. The object owns the bitmap from here on and
    // releases the one it held before. An OLE failure answers its HRESULT; nothing is inserted then.
    HRESULT InsertBitmap(IRichEditOle* pRichEditOle, HBITMAP hBitmap);
    // Holds and owns the bitmap as the data it hands out.
    void SetBitmap(HBITMAP hBitmap);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDataObject: a copy of the bitmap; the rest is not needed by a static object.
    STDMETHODIMP GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL bRelease) override;
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    CImageDataObject();
    ~CImageDataObject();
    void ReleaseHeldMedium();

    LONG m_nRefs = 1;
    bool m_bOwnsMedium = false;
    STGMEDIUM m_medium{};
    FORMATETC m_format{};
};
