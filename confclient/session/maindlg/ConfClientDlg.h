// The program's one top-level window: a modal dialog that owns the session. Its
// message map routes the network's, the recorder's and outside programs'
// messages to the session; its face is the lobby's rooms and users.
#pragma once
#include <string>

#include "confclient/session/maindlg/IConfDlg.h"
#include "winui/Dialog.h"

class CConfClientDlg : public CDialog, public IConfDlg
{
public:
    CConfClientDlg();

    // What start-up could not do, as a text key ("IDS_MUTEX", ...), told at the session's start.
    void SetStartError(const std::wstring& szKey) { m_szStartErrorKey = szKey; }
    // Lines start-up wants in the log once the writer runs.
    void AddStartNote(const std::wstring& szNote) { m_startNotes.push_back(szNote); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The registered message by which other programs drive the main program.
    static UINT AgentMessage();

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnCopyData(HWND hSender, COPYDATASTRUCT* pData) override;
    void OnOK() override {}
    void OnCancel() override;

    HWND MainWnd() const override { return m_hWnd; }
    void OnLobbyChanged() override;
    void OnCountdown(int nSecondsLeft) override;
    void QuitProgram() override;
    void OnPrepareRoom() override;

private:
    // The teardown that message 4025 and closing run before the window goes.
    void DestroyMainDialog();
    void OnRecorderStatus(WPARAM wCode);
    void OnSecondStart(const std::u16string& text);
    void OpenRoom();
    void JoinSelectedRoom();
    void ShowStatus();

    std::wstring m_szStartErrorKey;
    std::vector<std::wstring> m_startNotes;
    int m_nCountdown = 0;
};
