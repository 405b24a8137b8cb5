// The control's events as the board view raises them; the control fires them to its host.
#pragma once
#include <cstdint>
#include <string>

#include "lmboard2/boardbase/BoardFileHeader.h"

class IBoardEvents
{
public:
    virtual ~IBoardEvents() = default;
    // SendData: one whole outgoing board message.
    virtual void SendData(const uint8_t* pData, size_t nLen) = 0;
    // ErrorMessage: a failure the host shows by code.
    virtual void ErrorMessage(int nErr) = 0;
    // CreateProgress / DestroyProgress: a transfer's progress window opens or closes.
    virtual void CreateProgress(bool bDownload) = 0;
    virtual void DestroyProgress() = 0;
    // SetTotalSize, SetFileCount, ProgressChange: a transfer's size, file position and bytes.
    virtual void SetTotalSize(uint32_t dwTotal) = 0;
    virtual void SetFileCount(uint32_t nCurrent, uint32_t nTotal) = 0;
    virtual void ProgressChange(uint32_t nBytes) = 0;
    // AddPage: a page enters the list (type 0) or an agenda order lists it (1 first, 0 middle, 2 last).
    virtual void AddPage(int nPageType, const S_BOARD_FILEHDR& hdr) = 0;
    // DeletePage: a page left the list (its former index; 0 for "Edit_Del").
    virtual void DeletePage(int nIndex) = 0;
    // SetCurrentPage: a page was selected.
    virtual void SetCurrentPage(int nIndex) = 0;
    // ModeChange: the board mode changed.
    virtual void ModeChange(const std::u16string& fileName, int nMode) = 0;
    // DoChangeAgendaName: an agenda was renamed; pMsg is the whole code-56 message.
    virtual void DoChangeAgendaName(const uint8_t* pMsg) = 0;
    // ResultZoom: after every zoom change; bMine when this board set it.
    virtual void ResultZoom(bool bMine, int nZoom, int nRealZoom) = 0;
    // ResultDrawMode: the control changed the tool itself.
    virtual void ResultDrawMode(int nDrawMode) = 0;
    // SelectEBookCombo: an e-book page was selected.
    virtual void SelectEBookCombo(const std::u16string& title, uint32_t nLevel, uint32_t nStep,
                                  uint32_t nPage) = 0;
    // GetIniString: the host's text for a key; empty means the default.
    virtual std::u16string GetIniString(const std::u16string& key) = 0;
    // UploadAgendaComplete: every page of an upload went out (hosts that show no progress ignore it).
    virtual void UploadAgendaComplete() {}
    // AddEbook: a line for an e-book combo box (kind 0 titles, 1 levels, 2 steps, 3 pages).
    virtual void AddEbook(int nKind, int nAdd, const std::u16string& text) {}
    // GetCurrentEBookPage: the host's text of the page combo's entry; empty when there is none.
    virtual std::u16string GetCurrentEBookPage(int nIndex) { return {}; }
    // TabletSelectButton: a tablet pen was pressed over another window (its handle).
    virtual void TabletSelectButton(intptr_t hSelectWnd) {}
    // OpenPreviewResult: files dropped on the board are being loaded (kind 0).
    virtual void OpenPreviewResult(int nKind) {}
};
