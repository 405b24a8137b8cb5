// The room's hot keys, checked against the menu items they stand for.
#include "confclient/room/RoomHotKeys.h"

#include <string_view>

std::optional<S_HOTKEY> RoomHotKeyOf(unsigned nVirtualKey, bool bCtrl, bool bAlt, bool bShift)
{
    // One modifier of the two, no Shift: Ctrl+Alt is AltGr on many keyboards, a typed character.
    if (bShift || bCtrl == bAlt || nVirtualKey < 'A' || nVirtualKey > 'Z') return std::nullopt;
    const char cKey = static_cast<char>(nVirtualKey);
    const std::string_view keys = bAlt ? "FVDT" : "OSPDE";
    if (keys.find(cKey) == std::string_view::npos) return std::nullopt;
    return S_HOTKEY{cKey, bAlt};
}

namespace
{
bool Enabled(const std::vector<S_MENUITEM>& menu, int nId)
{
    const S_MENUITEM* pItem = FindMenuItem(menu, nId);
    return pItem && pItem->bEnabled;
}
} // namespace

std::optional<S_HOTKEYRUN> HotKeyRun(const S_HOTKEY& key, bool bGermanTexts, const S_MENUCONDITIONS& c)
{
    if (key.bAlt)
    {
        // In a recording's playback only the File menu drops.
        switch (key.cKey)
        {
        case 'F':
            return S_HOTKEYRUN{0, S_HOTKEYRUN::FILE_MENU};
        case 'V':
            if (!c.bPlayback) return S_HOTKEYRUN{0, S_HOTKEYRUN::VIEW_MENU};
            return std::nullopt;
        case 'D':
            if (!c.bPlayback) return S_HOTKEYRUN{0, S_HOTKEYRUN::DRAW_MENU};
            return std::nullopt;
        case 'T':
            if (!c.bPlayback) return S_HOTKEYRUN{0, S_HOTKEYRUN::TOOL_MENU};
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }
    int nCommand = 0;
    switch (key.cKey)
    {
    case 'O':
        nCommand = MENU_ID_FILE_OPEN;
        break;
    case 'S':
        nCommand = MENU_ID_FILE_SAVE;
        break;
    case 'P': // printing is Ctrl+D ("drucken") with the German texts
    case 'D':
        if ((key.cKey == 'D') != bGermanTexts) return std::nullopt;
        nCommand = MENU_ID_FILE_PRINT;
        break;
    case 'E':
        if (c.bPlayback || !Enabled(DrawMenu(), MENU_ID_ERASE_ALL)) return std::nullopt;
        return S_HOTKEYRUN{MENU_ID_ERASE_ALL};
    default:
        return std::nullopt;
    }
    if (!Enabled(FileMenu(c), nCommand)) return std::nullopt;
    return S_HOTKEYRUN{nCommand};
}
