// CMemoDlg: the participant's private note pad during a room: a small skinned window over a
// rich edit, with a menu to start a new memo, open a text file and save the memo. Nothing of it
// leaves the computer. The control bar makes it on first use and shows or hides it after.
#pragma once
#include <windows.h>

#include <string>

#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/room/MemoModel.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"
#include "winui/Dialog.h"

// What the memo asks of its owner and the session.
class IMemoHost
{
public:
    virtual ~IMemoHost() = default;
    virtual INoticeHost& MemoNotices() = 0;
    // Shows (and restores) or hides the memo: the owner keeps its menu item's check in step.
    virtual void ShowMemo(bool bShow) = 0;
    // Saves the rich edit's text as a text file the user names; true when written.
    virtual bool SaveChatToFile(HWND hRichEdit, HWND hParent) = 0;
    // Where the file dialogs start.
    virtual std::wstring SaveFolder() const = 0;
    // The room's area on the screen: the memo opens at its top right.
    virtual RECT RoomAreaRect() const = 0;
    // Whether the room's main window still exists (the close button hides the memo only then).
    virtual bool RoomMainWindowExists() const = 0;
};

class CMemoDlg : public CDialog
{
public:
    explicit CMemoDlg(IMemoHost& host);
    // Makes the window (hidden until the owner shows it); false when it could not be made.
    bool Create(CWnd* pParent);

    bool IsModified() const { return m_model.IsModified(); }
    // Whether a command that would drop unsaved text may go on (asks the save question).
    bool ConfirmSave();
    void NewMemo();
    void OpenMemo();
    void SaveMemo();
    // Replaces the text with a text file's; false (and a notice) when it cannot be read or is too long.
    bool LoadMemoFile(const std::wstring& szPath);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override { m_host.ShowMemo(false); }

private:
    void Layout(int cx, int cy);
    void ShowMenu();
    void Tell(const char* pszKey);

    IMemoHost& m_host;
    CMemoModel m_model;
    CTitleBand m_title;
    CRichEditCtrlGS m_text;
    CHBitmapButton m_menuButton;
    CHBitmapButton m_minimize;
    CHBitmapButton m_close;
    HICON m_hIcon = nullptr;
};
