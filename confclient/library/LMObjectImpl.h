// The implementation base of every object: the last error code and message behind ILMObject.
#pragma once
#include "confclient/library/LMObject.h"

#include <cstdarg>
#include <cstdint>

class CLMObjectImpl : public virtual ILMObject
{
public:
    void Destroy() override;
    int32_t GetLastErrorCode() override;
    const wchar_t* GetLastErrorMessage() override;

    // Code 0: clears the code, keeps the message, returns 1. Otherwise records the code and the
    // message "0x%08x at %s:%d, " (code, source name, line) followed by the formatted text and
    // returns 0, so a failing operation can return the result directly.
    int SetError(int32_t nCode, const wchar_t* szFile, int nLine, const wchar_t* szFormat, ...);
    int SetErrorV(int32_t nCode, const wchar_t* szFile, int nLine, const wchar_t* szFormat, va_list args);
    // Records the calling thread's last Win32 error as an HRESULT with its system text, leaving
    // the thread's last error as it was; returns SetError's result.
    int SetLastWin32Error(const wchar_t* szFile, int nLine);
    // Records another object's code and message as this object's error.
    int CopyError(ILMObject& from, const wchar_t* szFile, int nLine);

protected:
    CLMObjectImpl() = default;
    virtual ~CLMObjectImpl();
    CLMObjectImpl(const CLMObjectImpl&) = delete;
    CLMObjectImpl& operator=(const CLMObjectImpl&) = delete;

private:
    int32_t m_nLastError = 0;
    wchar_t* m_szLastError = nullptr;
};
