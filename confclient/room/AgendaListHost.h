// IAgendaListHost: what the agenda list asks of the room: the local user's rights, the board's
// mode and page calls, the delete question and notices.
#pragma once
#include <string>

#include "confclient/boardhost/AgendaListRules.h"

class IAgendaListHost
{
public:
    virtual ~IAgendaListHost() = default;
    // The local user's rights, the recording flag and the level word.
    virtual SAgendaRights AgendaListRights() const = 0;
    // The room main window's board mode (1 while the board shows a web page).
    virtual int AgendaBoardMode() const = 0;
    // The board shows that page (and the control bar is sized again outside board mode 0).
    virtual void ShowBoardPage(int nIndex) = 0;
    // The two-button question "IDS_BOARD_DELETE" with the page count. Gone: the room closed
    // under the question and the list with it.
    enum class Answer
    {
        Delete,
        Keep,
        Gone,
    };
    virtual Answer ConfirmPageDelete(int nCount) = 0;
    // The board's DeletePageCheck; its answer, DeletePage(0), comes back to SendPendingDeletes.
    virtual void DeletePageCheck() = 0;
    // The board's SendDeletePage for one page name.
    virtual void SendDeletePage(bool bLastFile, const std::u16string& szName) = 0;
    // A file dropped on the list: the board loads it as a document (slide shows not opened as such).
    virtual void LoadDroppedFile(const std::wstring& szPath) = 0;
    // A text of the keyed text table.
    virtual std::wstring AgendaText(const char* pszKey) const = 0;
    // A one-button notice by text key, not waited for.
    virtual void AgendaNotice(const char* pszKey) = 0;
};
