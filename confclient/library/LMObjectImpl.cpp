// The last error of an object: code, heap message, and the Win32 error report.
#include "confclient/library/LMObjectImpl.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMFormat.h"
#include "confclient/library/LMPlatform.h"

#include <cstdlib>
#include <cwchar>
#include <string>

CLMObjectImpl::~CLMObjectImpl()
{
    free(m_szLastError);
}

void CLMObjectImpl::Destroy()
{
    delete this;
}

int32_t CLMObjectImpl::GetLastErrorCode()
{
    return m_nLastError;
}

const wchar_t* CLMObjectImpl::GetLastErrorMessage()
{
    return m_szLastError;
}

int CLMObjectImpl::SetError(int32_t nCode, const wchar_t* szFile, int nLine, const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    int bResult = SetErrorV(nCode, szFile, nLine, szFormat, args);
    va_end(args);
    return bResult;
}

int CLMObjectImpl::SetErrorV(int32_t nCode, const wchar_t* szFile, int nLine, const wchar_t* szFormat,
                             va_list args)
{
    m_nLastError = nCode;
    if (nCode == 0) return 1;
    std::wstring text = LMFormat(L"0x%08x at %s:%d, ", static_cast<uint32_t>(nCode), szFile, nLine);
    if (szFormat) text += LMFormatV(szFormat, args);
    free(m_szLastError);
    // Out of memory the code still tells what failed; the message is then absent.
    m_szLastError = static_cast<wchar_t*>(calloc(text.size() + 1, sizeof(wchar_t)));
    if (m_szLastError) wmemcpy(m_szLastError, text.c_str(), text.size());
    return 0;
}

int CLMObjectImpl::SetLastWin32Error(const wchar_t* szFile, int nLine)
{
    uint32_t nError = LMGetThreadError();
    int32_t nCode = LMHResultFromWin32(static_cast<int32_t>(nError));
    std::wstring text = LMErrorText(nCode);
    LMSetThreadError(nError);
    return SetError(nCode, szFile, nLine, L"%s", text.c_str());
}

int CLMObjectImpl::CopyError(ILMObject& from, const wchar_t* szFile, int nLine)
{
    const wchar_t* szMessage = from.GetLastErrorMessage();
    return SetError(from.GetLastErrorCode(), szFile, nLine, L"%s", szMessage ? szMessage : L"");
}
