// CLMBoard2Ctrl: the whiteboard ActiveX control. A thin shell: it makes the frame that holds
// the board view, forwards its methods to the view and fires the view's events to the host.
#pragma once
#include "comkit/ControlBase.h"
#include "lmboard2/control/MainFrame.h"

class CLMBoard2Ctrl final : public CControlBase, public IBoardEvents
{
public:
    CLMBoard2Ctrl();
    ~CLMBoard2Ctrl() override;

    CLMView& View() { return m_frame.View(); }
    CMainFrame& Frame() { return m_frame; }
    int RemoveMargin() const { return m_nRemoveMargin; }
    void SetRemoveMargin(int n) { m_nRemoveMargin = n; }
    bool IsSlideShowOpening() const { return m_bSlideShowOpening; }
    void SetSlideShowOpening(bool b) { m_bSlideShowOpening = b; }
    void SetPPTPoint(bool b) { m_bPPTPoint = b; }
    void SetUseOpenPreview(bool b) { m_bOpenPreview = b; }
    bool IsOpenPreview() const { return m_bOpenPreview; }
    HWND FrameWindow() const { return m_frame.Hwnd(); }

    // IBoardEvents: each fires its event on the calling thread.
    void SendData(const uint8_t* pData, size_t nLen) override;
    void ErrorMessage(int nErr) override;
    void CreateProgress(bool bDownload) override;
    void DestroyProgress() override;
    void SetTotalSize(uint32_t dwTotal) override;
    void SetFileCount(uint32_t nCurrent, uint32_t nTotal) override;
    void ProgressChange(uint32_t nBytes) override;
    void UploadAgendaComplete() override { FireEvent(3); }
    void OpenPreviewResult(int nKind) override;
    void AddEbook(int nKind, int nAdd, const std::u16string& text) override;
    std::u16string GetCurrentEBookPage(int nIndex) override;
    void AddPage(int nPageType, const S_BOARD_FILEHDR& hdr) override;
    void DeletePage(int nIndex) override;
    void SetCurrentPage(int nIndex) override;
    void ModeChange(const std::u16string& fileName, int nMode) override;
    void DoChangeAgendaName(const uint8_t* pMsg) override;
    void ResultZoom(bool bMine, int nZoom, int nRealZoom) override;
    void ResultDrawMode(int nDrawMode) override;
    void TabletSelectButton(intptr_t hSelectWnd) override;
    void SelectEBookCombo(const std::u16string& title, uint32_t nLevel, uint32_t nStep,
                          uint32_t nPage) override;
    std::u16string GetIniString(const std::u16string& key) override;

    // ISpecifyPropertyPages: the empty page.
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

protected:
    void OnCreateWindow(HWND hWnd) override;
    LRESULT OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnDraw(HDC hdc, const RECT& rc) override;

private:
    static const ControlDescription s_desc;
    CMainFrame m_frame;
    int m_nRemoveMargin = 0;
    bool m_bSlideShowOpening = false;
    bool m_bPPTPoint = false;
    bool m_bOpenPreview = false;
};

// The dispatch table of _DLMBoard2, one entry per dispid from 1 to 54.
extern const DispEntry g_boardMethods[];
extern const size_t g_nBoardMethods;
