// The holder that loads a library by name, calls its factory and keeps the object as interface I.
#pragma once
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMObject.h"
#include "confclient/library/LMPlatform.h"

#include <cwchar>

// Longest name a holder keeps, with its terminator; longer names are refused.
inline constexpr size_t LM_MAX_NAME = 260;

template <class I> class CLMObjectPtr
{
public:
    // With bCreate nonzero, creates the object at once (the result is ignored: an empty holder
    // says so); otherwise only keeps the names given. A null loader means the platform's.
    CLMObjectPtr(int bCreate = 0, const wchar_t* szLibrary = nullptr, const wchar_t* szFactory = nullptr,
                 ILMLibraryLoader* pLoader = nullptr)
        : m_pLoader(pLoader ? pLoader : &LMDefaultLoader())
    {
        if (bCreate)
            Create(szLibrary, szFactory);
        else
            SetNames(szLibrary, szFactory);
    }
    virtual ~CLMObjectPtr() { DestroyHeld(); }
    CLMObjectPtr(const CLMObjectPtr&) = delete;
    CLMObjectPtr& operator=(const CLMObjectPtr&) = delete;

    // Loads the library, calls the factory and keeps its object as I. Nonzero on success; on
    // failure the thread's last error says why and the holder stays empty. A holding holder
    // answers 1 to a null library or to its own names, and fails with 1626 for other names.
    int Create(const wchar_t* szLibrary, const wchar_t* szFactory)
    {
        if (m_pObject)
        {
            if (!szLibrary) return 1;
            if (szFactory && (wcscmp(szLibrary, m_szLibrary) != 0 || wcscmp(szFactory, m_szFactory) != 0))
                return Fail(LM_ERROR_FUNCTION_NOT_CALLED);
            return 1;
        }
        if (!SetNames(szLibrary, szFactory)) return 0;
        void* hLibrary = m_pLoader->LoadLibraryByName(m_szLibrary);
        if (!hLibrary) return 0;
        LMFactoryFunction pFactory = m_pLoader->FindFactory(hLibrary, m_szFactory);
        if (!pFactory) return 0;
        ILMObject* pObject = pFactory();
        if (!pObject) return Fail(LM_ERROR_FUNCTION_FAILED);
        m_pObject = dynamic_cast<I*>(pObject);
        if (!m_pObject)
        {
            // An object of another interface is of no use to anyone: free it here.
            pObject->Destroy();
            return Fail(LM_ERROR_FUNCTION_FAILED);
        }
        return 1;
    }

    // Destroys a held object and forgets both names; an empty holder is left alone.
    void Release()
    {
        if (!m_pObject) return;
        DestroyHeld();
        wmemset(m_szLibrary, 0, LM_MAX_NAME);
        wmemset(m_szFactory, 0, LM_MAX_NAME);
    }

    // Keeps each non-null name; creates nothing. A name of LM_MAX_NAME characters or more is
    // refused (0, thread error 206) and neither name changes.
    int SetNames(const wchar_t* szLibrary, const wchar_t* szFactory)
    {
        if ((szLibrary && wcslen(szLibrary) >= LM_MAX_NAME) ||
            (szFactory && wcslen(szFactory) >= LM_MAX_NAME))
            return Fail(LM_ERROR_FILENAME_EXCED_RANGE);
        if (szLibrary) wcscpy(m_szLibrary, szLibrary);
        if (szFactory) wcscpy(m_szFactory, szFactory);
        return 1;
    }

    I* Get() const { return m_pObject; }
    I* operator->() const { return m_pObject; }
    explicit operator bool() const { return m_pObject != nullptr; }
    const wchar_t* GetLibraryName() const { return m_szLibrary; }
    const wchar_t* GetFactoryName() const { return m_szFactory; }

private:
    static int Fail(uint32_t nError)
    {
        LMSetThreadError(nError);
        return 0;
    }
    void DestroyHeld()
    {
        if (!m_pObject) return;
        ILMObject* pObject = m_pObject;
        m_pObject = nullptr;
        pObject->Destroy();
    }

    I* m_pObject = nullptr;
    wchar_t m_szLibrary[LM_MAX_NAME] = {};
    wchar_t m_szFactory[LM_MAX_NAME] = {};
    ILMLibraryLoader* m_pLoader;
};
