// CEBookDlg: the e-book panel of the side panel: a book's title, level, step and page chosen
// in four combos; the board reads the index, fills the combos and sends the chosen page.
#pragma once
#include <optional>

#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/SidePanelDlg.h"
#include "resources/ResourceIds.h"

class CEBookDlg : public CSidePanelDlg, public IEBookView
{
public:
    CEBookDlg() : CSidePanelDlg(IDD_EBOOK, SIDEPANEL_EBOOK) {}
    // Ties the panel to the room's board and reads the e-book index.
    void Attach(CLMBoard2& board);

    // IEBookView
    void AddEBookLine(int nKind, const std::wstring& text) override;
    void ShowEBookSelection(const std::wstring& title, long nLevel, long nStep, long nPage) override;
    std::wstring EBookPageText(int nIndex) const override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // A choice in the combo of this kind: the combos below it are emptied, the board told.
    void OnChosen(int nKind);
    void ClearFrom(int nKind);
    // The page number typed in the page combo; the entry of that page chosen as the board's page.
    std::optional<int> TypedPage() const;
    void GoToTypedPage();
    HWND Combo(int nKind) const;

    CLMBoard2* m_pBoard = nullptr;
};
