// The application object: instance and current resource module, the modeless windows the main loop serves.
#pragma once
#include <vector>
#include <windows.h>

class CWnd;

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start and end of the program; InitInstance returning FALSE ends it at once.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance;

    // Modeless windows whose PreTranslateMessage sees every message of the modal loops.
    void AddModeless(CWnd* pWnd);
    void RemoveModeless(CWnd* pWnd);
    // Offers a message to the windows it is for and to the registered modeless windows; true when one took
    // it.
    BOOL PreTranslateMessage(MSG* pMsg);

private:
    std::vector<CWnd*> m_modeless;
};

// The one application object (null before it is constructed).
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// What the modal loops do with each message before dispatching it (works without an application object).
BOOL AfxPreTranslateMessage(MSG* pMsg);
// The module every template, bitmap, cursor and keyed resource is loaded from: the language library once set.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hResource);
