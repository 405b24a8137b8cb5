// The host's web browser as the board drives it: the browser control's dispatch interface (its
// own dispids), its window, and its document drawn into a picture for a web capture.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "comkit/ComPtr.h"
#include "lmboard2/gif/BmpFile.h"

class CBoardBrowser
{
public:
    // Holds a reference on the browser.
    explicit CBoardBrowser(IDispatch* pBrowser) : m_pBrowser(pBrowser) {}

    // Navigate: the target frame, post data (sent as bytes) and headers only when not empty.
    bool Navigate(const std::u16string& address, const std::u16string& frame, const std::string& postData,
                  const std::u16string& headers);
    void SetSilent(bool bSilent);
    bool Refresh();
    bool Stop();
    // The document's ready state (4: complete); -1 when the browser cannot say.
    int ReadyState();
    // The browser's save and print commands (ExecWB), which show their own dialogs.
    bool SaveAs();
    bool Print();
    // The browser's window (through IOleWindow); null when it has none.
    HWND Window() const;
    // Moves the window to rc in its parent's client area (screen rectangle given) and shows
    // it above the others, or moves it off-screen.
    void PlaceOver(const RECT& rcScreen);
    void MoveOffScreen();
    // The document as large as its body plus 40 pixels each way, drawn on white with the body's
    // scroll bars switched off meanwhile; none when the document cannot be measured or drawn,
    // or would be too large for a page.
    std::optional<S_PICTURE24> DrawDocument();

private:
    ComPtr<IDispatch> m_pBrowser;
};
