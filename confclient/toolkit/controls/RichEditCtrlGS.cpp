// CRichEditCtrlGS: range operations of the rich edit control, its text saved as a file.
#include "confclient/toolkit/controls/RichEditCtrlGS.h"

#include <richole.h>

#include "comkit/ComPtr.h"
#include "confclient/toolkit/controls/ImageDataObject.h"

#include <richedit.h>

#include <fstream>

#include "core/TextFile.h"
#include "winui/WideText.h"

bool CRichEditCtrlGS::LoadControlLibrary()
{
    static HMODULE hLib = ::LoadLibraryW(L"Msftedit.dll");
    return hLib != nullptr;
}

LONG CRichEditCtrlGS::GetTextLength() const
{
    GETTEXTLENGTHEX len{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(::SendMessageW(m_hWnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0));
}

std::wstring CRichEditCtrlGS::GetText() const
{
    GETTEXTLENGTHEX len{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n =
        static_cast<size_t>(::SendMessageW(m_hWnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0));
    std::wstring text(n + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr, nullptr};
    text.resize(static_cast<size_t>(::SendMessageW(m_hWnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                                   reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

bool CRichEditCtrlGS::WriteTextFile(const std::wstring& szPath) const
{
    const std::string bytes = EncodeTextFile(U16Of(GetText()));
    std::ofstream file(szPath.c_str(), std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && file.flush();
}

void CRichEditCtrlGS::Select(LONG nStart, LONG nEnd) const
{
    CHARRANGE cr{nStart, nEnd};
    ::SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

HRESULT CRichEditCtrlGS::InsertPicture(LONG nPos, CImageDataObject& pictures, HBITMAP hBitmap)
{
    ComPtr<IRichEditOle> ole;
    ::SendMessageW(m_hWnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.Out()));
    Select(nPos, nPos);
    return pictures.InsertBitmap(ole.Get(), hBitmap);
}

bool CRichEditCtrlGS::SetFormat(LONG nStart, LONG nEnd, const CHARFORMAT2W& cf)
{
    Select(nStart, nEnd);
    return ::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)) != 0;
}

void CRichEditCtrlGS::InsertText(LONG nPos, const std::wstring& szText, COLORREF crColour)
{
    if (!m_hWnd || szText.empty()) return;
    LONG nEnd = GetTextLength();
    if (nPos > nEnd) nPos = nEnd;
    ::SendMessageW(m_hWnd, EM_HIDESELECTION, TRUE, 0);
    Select(nPos, nPos);
    ::SendMessageW(m_hWnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(szText.c_str()));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR | CFM_LINK;
    cf.crTextColor = crColour;
    SetFormat(nPos, nPos + static_cast<LONG>(szText.size()), cf);
    Select(-1, -1);
}

void CRichEditCtrlGS::DeleteRange(LONG nStart, LONG nEnd)
{
    if (!m_hWnd || nStart >= nEnd) return;
    Select(nStart, nEnd);
    ::SendMessageW(m_hWnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void CRichEditCtrlGS::SetLink(LONG nStart, LONG nEnd, bool bLink)
{
    if (!m_hWnd || nStart >= nEnd) return;
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_LINK;
    cf.dwEffects = bLink ? CFE_LINK : 0;
    SetFormat(nStart, nEnd, cf);
    Select(-1, -1);
}

bool CRichEditCtrlGS::IsLink(LONG nStart, LONG nEnd) const
{
    if (!m_hWnd || nStart >= nEnd) return false;
    Select(nStart, nEnd);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    Select(-1, -1);
    return (cf.dwMask & CFM_LINK) && (cf.dwEffects & CFE_LINK);
}

COLORREF CRichEditCtrlGS::ColourAt(LONG nPos) const
{
    Select(nPos, nPos + 1);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    Select(-1, -1);
    return cf.crTextColor;
}

std::wstring CRichEditCtrlGS::GetTextRange(LONG nStart, LONG nEnd) const
{
    if (!m_hWnd || nStart >= nEnd) return std::wstring();
    std::wstring text(static_cast<size_t>(nEnd - nStart) + 1, L'\0');
    TEXTRANGEW tr{{nStart, nEnd}, text.data()};
    LRESULT n = ::SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

void CRichEditCtrlGS::Clear()
{
    if (m_hWnd) ::SetWindowTextW(m_hWnd, L"");
}

void CRichEditCtrlGS::ScrollToEnd()
{
    if (!m_hWnd) return;
    LRESULT nLines = ::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0);
    ::SendMessageW(m_hWnd, EM_LINESCROLL, 0, nLines);
    ::SendMessageW(m_hWnd, WM_VSCROLL, SB_BOTTOM, 0);
    ::SendMessageW(m_hWnd, WM_VSCROLL, SB_ENDSCROLL, 0);
}
