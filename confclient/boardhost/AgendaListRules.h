// The agenda list's rules over the agenda tree's model: who may go to and delete pages, when a
// chosen page is shown, which pages a delete takes, what a rename and a dropped path may be, and
// what player mode lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/boardhost/AgendaModel.h"

struct SAgendaRights
{
    bool bControl = false; // the room's control right
    bool bDraw = false;    // the drawing right
    bool bPlayer = false;  // a recording plays
    uint16_t wLevel = 0;   // the own level word: its low byte modulo 10 is the grade
};

// The Delete and F2 keys are the list's only for a user with the control or the drawing right.
bool AgendaTakesKeys(const SAgendaRights& r);
// Going to a page and deleting pages: a right, no recording playing, and a grade other than 4.
bool MayChangeAgenda(const SAgendaRights& r);
// A chosen page is shown unless it is already the current one; forced, or while the board shows
// a web page (board mode 1), it is shown again.
bool ShowsChosenPage(int nIndex, int nCurrent, int nBoardMode, bool bForce);

// What a delete of the model's selection asks for. The walk widens the model's selection: a page
// of a kind-15 document takes its whole document, a document all its pages.
struct AgendaDeletePlan
{
    const char* pszRefusal = nullptr;  // a notice's text key; null otherwise
    int nCount = 0;                    // pages selected (items without children)
    std::vector<std::u16string> names; // the page names to delete, in the list's order
};
AgendaDeletePlan PlanAgendaDelete(CAgendaModel& model);

// A label edit's new text: null when it may be asked for, else the refusal's text key.
const char* AgendaRenameRefusal(const std::u16string& text);

// In player mode the whiteboard (a page whose document title is the whiteboard's text) is
// listed once; bListed remembers that it was. Anything else is listed.
bool ListsPageHeader(bool bPlayer, const S_BOARD_FILEHDR& hdr, const std::u16string& szWhiteboard,
                     bool& bListed);

// Whether the page of that index (negative: nCurrent) is of kind 15.
bool IsPageKind15(const CAgendaModel& model, int nIndex, int nCurrent);

// A path dropped on the list, by its file attributes (0xFFFFFFFF when it cannot be read).
enum class DroppedPath
{
    Load,    // a file: the board loads it
    Folder,  // a folder, whatever its other attributes
    Missing, // nothing there
};
DroppedPath ClassifyDroppedPath(uint32_t dwAttributes);
