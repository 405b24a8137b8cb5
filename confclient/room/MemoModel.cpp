// The memo pad's change flag and save question.
#include "confclient/room/MemoModel.h"

bool MemoKeyModifies(unsigned nVirtualKey)
{
    switch (nVirtualKey)
    {
    case 0x1B: // Esc
    case 0x10: // Shift
    case 0x11: // Ctrl
    case 0x21: // Page Up
    case 0x22: // Page Down
    case 0x23: // End
    case 0x24: // Home
    case 0x25: // Left
    case 0x26: // Up
    case 0x27: // Right
    case 0x28: // Down
    case 0x2D: // Insert
    case 0x90: // Num Lock
    case 0x91: // Scroll Lock
        return false;
    default:
        return nVirtualKey < 0x70 || nVirtualKey > 0x79; // F1-F10
    }
}

void CMemoModel::OnKey(unsigned nVirtualKey)
{
    if (MemoKeyModifies(nVirtualKey)) m_bModified = true;
}

void CMemoModel::OnSaved(bool bSaved)
{
    if (bSaved) m_bModified = false;
}

bool CMemoModel::ConfirmSave(const std::function<int()>& ask, const std::function<bool()>& save)
{
    if (!m_bModified) return true;
    switch (ask())
    {
    case MEMO_SAVE:
        OnSaved(save());
        return !m_bModified;
    case MEMO_DISCARD:
        m_bModified = false;
        return true;
    default:
        return false;
    }
}
