// The room main window's key and drop rules.
#include "confclient/room/RoomMainInput.h"
#include "confclient/media/RecordFileName.h"
#include "core/TextNoCase.h"

namespace
{
// Virtual keys, as the platform numbers them.
constexpr unsigned kVkReturn = 0x0D, kVkLeft = 0x25, kVkDown = 0x28, kVkV = 'V';
} // namespace

MainKeyRoute MainViewKeyOf(unsigned nKey, const S_MAINKEYSTATE& s)
{
    // Return reaches the edited field, or the full-screen board's own handling.
    if (nKey == kVkReturn) return s.bEditFocus || s.bFullScreen ? MAINKEY_DIALOG_ONLY : MAINKEY_ROOM;
    // Arrows and V (pasted with Ctrl, typed with AltGr) belong to the field or the board's web
    // page, not to the View menu's Alt+V; a recording played back has neither to serve.
    bool bArrowOrV = (nKey >= kVkLeft && nKey <= kVkDown) || nKey == kVkV;
    if (bArrowOrV && !s.bPlayer && (s.bEditFocus || s.bBoardWebMode)) return MAINKEY_DIALOG_ONLY;
    return MAINKEY_ROOM;
}

DropAction DroppedFileAction(const std::u16string& szPath, bool bPlayer, bool bRvEdition)
{
    if (!bPlayer) return DROP_IGNORE;
    if (szPath.size() > kMaxDroppedPath) return DROP_UNSUPPORTED;
    // The extension follows the last dot of the file name, not of a folder.
    size_t nDot = szPath.find_last_of(u'.');
    size_t nSlash = szPath.find_last_of(u"\\/");
    if (nDot == std::u16string::npos || (nSlash != std::u16string::npos && nDot < nSlash))
        return DROP_UNSUPPORTED;
    return EqualsNoCase(std::u16string_view(szPath).substr(nDot + 1), PlayerExtension(bRvEdition))
               ? DROP_PLAY
               : DROP_UNSUPPORTED;
}
