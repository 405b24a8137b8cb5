// The memo pad's rules: which keys count as a change, and the save question asked before a
// command that would drop unsaved text.
#pragma once
#include <functional>

// The most characters the memo holds; a longer file is refused rather than cut.
constexpr long kMemoTextLimit = 4L * 1024 * 1024;

// The answers of the three-button save question.
enum MemoSaveAnswer
{
    MEMO_SAVE = 1,
    MEMO_DISCARD = 2,
    MEMO_CANCEL = 3,
};

// Whether a key pressed in the memo (a Windows virtual-key code) changes its text: moving,
// modifier, lock and function keys F1-F10 do not.
bool MemoKeyModifies(unsigned nVirtualKey);
// The key the memo swallows (Ctrl+Break's code).
constexpr unsigned kMemoSwallowedKey = 3;

class CMemoModel
{
public:
    bool IsModified() const { return m_bModified; }
    void OnKey(unsigned nVirtualKey);
    // A save ended: only a successful one clears the change.
    void OnSaved(bool bSaved);
    // Whether a command that replaces the text may go on. Unchanged text goes on without a
    // question; else ask() answers: save (on only when save() succeeded), discard, or cancel.
    bool ConfirmSave(const std::function<int()>& ask, const std::function<bool()>& save);

private:
    bool m_bModified = false;
};
