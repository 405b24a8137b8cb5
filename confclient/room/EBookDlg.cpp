// The e-book panel: its combos filled by the board, its choices sent to the board.
#include "confclient/room/EBookDlg.h"

#include "lmboard2/view/EBookIndex.h"
#include "winui/WideText.h"

namespace
{
constexpr int kComboIds[] = {IDC_EBOOK_TITLE, IDC_EBOOK_LEVEL, IDC_EBOOK_STEP, IDC_EBOOK_PAGE};
} // namespace

HWND CEBookDlg::Combo(int nKind) const
{
    return nKind >= 0 && nKind < 4 ? GetDlgItem(kComboIds[nKind]) : nullptr;
}

void CEBookDlg::ClearFrom(int nKind)
{
    for (int k = nKind; k < 4; ++k)
    {
        ::SendMessageW(Combo(k), CB_RESETCONTENT, 0, 0);
        if (k != 3) continue;
        ::SetWindowTextW(Combo(k), L"");
        ::EnableWindow(GetDlgItem(IDC_EBOOK_GO), FALSE);
    }
}

void CEBookDlg::Attach(CLMBoard2& board)
{
    m_pBoard = &board;
    ClearFrom(0);
    board.LoadEBook();
}

void CEBookDlg::AddEBookLine(int nKind, const std::wstring& text)
{
    if (HWND hCombo = Combo(nKind))
        ::SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CEBookDlg::EBookPageText(int nIndex) const
{
    HWND hCombo = Combo(3);
    if (nIndex < 0) return GetWindowTextString(hCombo).GetString();
    LRESULT nLen = ::SendMessageW(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLen == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(nLen) + 1, L'\0');
    ::SendMessageW(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(nLen));
    return text;
}

std::optional<int> CEBookDlg::TypedPage() const
{
    return CEBookSelection::PageOfText(U16Of(GetWindowTextString(Combo(3)).GetString()));
}

void CEBookDlg::GoToTypedPage()
{
    std::optional<int> nTyped = TypedPage();
    if (!nTyped || !m_pBoard) return;
    const auto nCount = static_cast<int>(::SendMessageW(Combo(3), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
        if (CEBookSelection::PageOfText(U16Of(EBookPageText(i))) == nTyped)
        {
            ::SendMessageW(Combo(3), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            m_pBoard->EBookPageMove(2, static_cast<short>(i));
            return;
        }
}

void CEBookDlg::OnChosen(int nKind)
{
    if (!m_pBoard) return;
    HWND hCombo = Combo(nKind);
    auto nSel = static_cast<short>(::SendMessageW(hCombo, CB_GETCURSEL, 0, 0));
    if (nSel < 0) return;
    if (nKind < 3) ClearFrom(nKind + 1);
    std::wstring text;
    if (nKind == 0)
    {
        LRESULT nLen = ::SendMessageW(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(nSel), 0);
        text.assign(static_cast<size_t>(nLen > 0 ? nLen : 0) + 1, L'\0');
        ::SendMessageW(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(nSel),
                       reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
    }
    m_pBoard->EBookSelectCombo(static_cast<short>(nKind), nSel, text);
}

void CEBookDlg::ShowEBookSelection(const std::wstring& title, long nLevel, long nStep, long nPage)
{
    // Each combo chosen in turn as if by the user, so the board fills the one below; the page
    // is only shown (it has been sent already).
    LRESULT nTitle = ::SendMessageW(Combo(0), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(title.c_str()));
    if (nTitle == CB_ERR) return;
    ::SendMessageW(Combo(0), CB_SETCURSEL, static_cast<WPARAM>(nTitle), 0);
    OnChosen(0);
    const long values[] = {nLevel, nStep};
    for (int k = 1; k <= 2; ++k)
    {
        if (::SendMessageW(Combo(k), CB_SETCURSEL, static_cast<WPARAM>(values[k - 1] - 1), 0) == CB_ERR)
            return;
        OnChosen(k);
    }
    ::SendMessageW(Combo(3), CB_SETCURSEL, static_cast<WPARAM>(nPage - 1), 0);
}

BOOL CEBookDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    for (int k = 0; k < 4; ++k)
        if (nId == kComboIds[k] && nCode == CBN_SELCHANGE)
        {
            OnChosen(k);
            return TRUE;
        }
    if (nId == IDC_EBOOK_PAGE && nCode == CBN_EDITCHANGE)
    {
        ::EnableWindow(GetDlgItem(IDC_EBOOK_GO), TypedPage().has_value());
        return TRUE;
    }
    // Enter in the page combo's edit goes to the typed page, as Go does.
    if (nId == IDOK && ::IsChild(Combo(3), ::GetFocus()))
    {
        GoToTypedPage();
        return TRUE;
    }
    if (nCode != BN_CLICKED || !m_pBoard) return CSidePanelDlg::OnCommand(wParam, lParam);
    const auto nPage = static_cast<short>(::SendMessageW(Combo(3), CB_GETCURSEL, 0, 0));
    const auto nCount = static_cast<short>(::SendMessageW(Combo(3), CB_GETCOUNT, 0, 0));
    switch (nId)
    {
    case IDC_EBOOK_GO:
        GoToTypedPage();
        return TRUE;
    case IDC_EBOOK_AGAIN:
        m_pBoard->EBookPageMove(3, 0);
        return TRUE;
    case IDC_EBOOK_PREV:
        if (nPage > 0)
        {
            ::SendMessageW(Combo(3), CB_SETCURSEL, static_cast<WPARAM>(nPage - 1), 0);
            m_pBoard->EBookPageMove(0, static_cast<short>(nPage - 1));
        }
        return TRUE;
    case IDC_EBOOK_NEXT:
        if (nPage + 1 < nCount)
        {
            ::SendMessageW(Combo(3), CB_SETCURSEL, static_cast<WPARAM>(nPage + 1), 0);
            m_pBoard->EBookPageMove(1, static_cast<short>(nPage + 1));
        }
        return TRUE;
    default:
        return CSidePanelDlg::OnCommand(wParam, lParam);
    }
}
