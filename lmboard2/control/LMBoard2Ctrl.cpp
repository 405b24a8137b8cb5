// The control shell: window creation, design-mode drawing and the events.
#include "lmboard2/control/LMBoard2Ctrl.h"

#include "lmboard2/control/LMBoard2Guids.h"

namespace
{
// The event arguments of one call, held until it returns.
class EventArgsList
{
public:
    EventArgsList(std::initializer_list<CVar> args) : m_args(args)
    {
        for (const CVar& v : m_args)
            m_raw.push_back(v.Get());
    }
    const VARIANT* Data() const { return m_raw.empty() ? nullptr : m_raw.data(); }
    UINT Count() const { return static_cast<UINT>(m_raw.size()); }

private:
    std::vector<CVar> m_args;
    std::vector<VARIANT> m_raw; // shallow: m_args owns the values
};

std::wstring Wide(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}

constexpr size_t kIniBufferBytes = 260;
} // namespace

const ControlDescription CLMBoard2Ctrl::s_desc = {&CLSID_LMBoard2, &DIID_DLMBoard2, &DIID_DLMBoard2Events,
                                                  g_boardMethods,  g_nBoardMethods, kBoardMiscStatus};

CLMBoard2Ctrl::CLMBoard2Ctrl() : CControlBase(s_desc), m_frame(*this) {}

CLMBoard2Ctrl::~CLMBoard2Ctrl()
{
    m_frame.Destroy();
}

HRESULT CLMBoard2Ctrl::GetPages(CAUUID* pPages)
{
    if (!pPages) return E_POINTER;
    pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pPages->pElems) return E_OUTOFMEMORY;
    pPages->pElems[0] = CLSID_LMBoard2PropPage;
    pPages->cElems = 1;
    return S_OK;
}

void CLMBoard2Ctrl::OnCreateWindow(HWND hWnd)
{
    if (!IsUserMode()) return;
    RECT rc;
    GetClientRect(hWnd, &rc);
    m_frame.Create(hWnd, rc);
}

LRESULT CLMBoard2Ctrl::OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (uMsg == WM_SIZE && m_frame.Hwnd())
        MoveWindow(m_frame.Hwnd(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    if (uMsg == WM_ERASEBKGND && m_frame.Hwnd())
    {
        bHandled = true;
        return 1;
    }
    return CControlBase::OnWindowMessage(uMsg, wParam, lParam, bHandled);
}

void CLMBoard2Ctrl::OnDraw(HDC hdc, const RECT& rc)
{
    if (IsUserMode()) return;
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT text = rc;
    SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, L"LMBoard ver 2.0", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CLMBoard2Ctrl::SendData(const uint8_t* pData, size_t nLen)
{
    EventArgsList a{CVar(static_cast<long>(nLen)), CVar::IntPtr(reinterpret_cast<INT_PTR>(pData))};
    FireEvent(1, a.Data(), a.Count());
}

void CLMBoard2Ctrl::ErrorMessage(int nErr)
{
    EventArgsList a{CVar(static_cast<short>(nErr))};
    FireEvent(4, a.Data(), a.Count());
}

void CLMBoard2Ctrl::CreateProgress(bool bDownload)
{
    EventArgsList a{CVar(bDownload)};
    FireEvent(5, a.Data(), a.Count());
}

void CLMBoard2Ctrl::DestroyProgress()
{
    FireEvent(6);
}

void CLMBoard2Ctrl::SetTotalSize(uint32_t dwTotal)
{
    EventArgsList a{CVar(static_cast<long>(dwTotal))};
    FireEvent(7, a.Data(), a.Count());
}

void CLMBoard2Ctrl::SetFileCount(uint32_t nCurrent, uint32_t nTotal)
{
    EventArgsList a{CVar(static_cast<long>(nCurrent)), CVar(static_cast<long>(nTotal))};
    FireEvent(8, a.Data(), a.Count());
}

void CLMBoard2Ctrl::ProgressChange(uint32_t nBytes)
{
    EventArgsList a{CVar(static_cast<long>(nBytes))};
    FireEvent(9, a.Data(), a.Count());
}

void CLMBoard2Ctrl::AddPage(int nPageType, const S_BOARD_FILEHDR& hdr)
{
    uint8_t raw[kBoardFileHeaderSize];
    hdr.Write(raw);
    EventArgsList a{CVar(static_cast<short>(nPageType)), CVar::IntPtr(reinterpret_cast<INT_PTR>(raw))};
    FireEvent(10, a.Data(), a.Count());
}

void CLMBoard2Ctrl::DeletePage(int nIndex)
{
    EventArgsList a{CVar(static_cast<long>(nIndex))};
    FireEvent(11, a.Data(), a.Count());
}

void CLMBoard2Ctrl::SetCurrentPage(int nIndex)
{
    EventArgsList a{CVar(static_cast<long>(nIndex))};
    FireEvent(12, a.Data(), a.Count());
}

void CLMBoard2Ctrl::ModeChange(const std::u16string& fileName, int nMode)
{
    EventArgsList a{CVar(Wide(fileName)), CVar(static_cast<short>(nMode))};
    FireEvent(13, a.Data(), a.Count());
}

void CLMBoard2Ctrl::DoChangeAgendaName(const uint8_t* pMsg)
{
    EventArgsList a{CVar::IntPtr(reinterpret_cast<INT_PTR>(pMsg))};
    FireEvent(22, a.Data(), a.Count());
}

void CLMBoard2Ctrl::ResultZoom(bool bMine, int nZoom, int nRealZoom)
{
    EventArgsList a{CVar(bMine), CVar(static_cast<short>(nZoom)), CVar(static_cast<short>(nRealZoom))};
    FireEvent(23, a.Data(), a.Count());
}

void CLMBoard2Ctrl::ResultDrawMode(int nDrawMode)
{
    EventArgsList a{CVar(static_cast<short>(nDrawMode))};
    FireEvent(24, a.Data(), a.Count());
}

void CLMBoard2Ctrl::TabletSelectButton(intptr_t hSelectWnd)
{
    EventArgsList a{CVar::IntPtr(hSelectWnd)};
    FireEvent(27, a.Data(), a.Count());
}

void CLMBoard2Ctrl::SelectEBookCombo(const std::u16string& title, uint32_t nLevel, uint32_t nStep,
                                     uint32_t nPage)
{
    EventArgsList a{CVar(Wide(title)), CVar(static_cast<long>(nLevel)), CVar(static_cast<long>(nStep)),
                    CVar(static_cast<long>(nPage))};
    FireEvent(17, a.Data(), a.Count());
}

void CLMBoard2Ctrl::OpenPreviewResult(int nKind)
{
    EventArgsList a{CVar(static_cast<short>(nKind))};
    FireEvent(20, a.Data(), a.Count());
}

void CLMBoard2Ctrl::AddEbook(int nKind, int nAdd, const std::u16string& text)
{
    EventArgsList a{CVar(static_cast<short>(nKind)), CVar(static_cast<short>(nAdd)), CVar(Wide(text))};
    FireEvent(16, a.Data(), a.Count());
}

std::u16string CLMBoard2Ctrl::GetCurrentEBookPage(int nIndex)
{
    // As GetIniString: the host's text ends within the zeroed buffer, whatever it writes.
    BYTE buffer[kIniBufferBytes] = {};
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_UI1;
    ref.pbVal = buffer;
    CVar indexArg(static_cast<short>(nIndex));
    VARIANT args[2] = {indexArg.Get(), ref};
    FireEvent(15, args, 2);
    std::u16string text;
    for (size_t i = 0; i < kIniBufferBytes / 2 - 1; i++)
    {
        char16_t ch = static_cast<char16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
        if (!ch) break;
        text += ch;
    }
    return text;
}

std::u16string CLMBoard2Ctrl::GetIniString(const std::u16string& key)
{
    // The host writes UTF-16 into a zeroed buffer that the variant refers to; whatever it
    // writes, the text ends within the buffer.
    BYTE buffer[kIniBufferBytes] = {};
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_UI1;
    ref.pbVal = buffer;
    CVar keyArg(Wide(key));
    VARIANT args[2] = {keyArg.Get(), ref};
    FireEvent(14, args, 2);
    std::u16string text;
    for (size_t i = 0; i < kIniBufferBytes / 2 - 1; i++)
    {
        char16_t ch = static_cast<char16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
        if (!ch) break;
        text += ch;
    }
    return text;
}
