// The chat input's rules.
#include "confclient/people/ChatInput.h"

namespace
{
bool IsListener(uint16_t wLevel)
{
    return (wLevel & 0xFF) % 10 == 4;
}
} // namespace

ChatInputMode ChatInputModeOf(const SChatInputRights& r)
{
    if (r.bPlayerMode) return CHATINPUT_HIDDEN;
    if (IsListener(r.wMyLevel)) return CHATINPUT_DISABLED;
    if (!r.bControlRight && !r.bPresenter && !r.bRoomChatRight) return CHATINPUT_DISABLED;
    return CHATINPUT_ENABLED;
}

SChatEnter ChatEnterOf(const std::u16string& szInput, const std::u16string& szEnableHint,
                       const std::u16string& szDisableHint, uint16_t wMyLevel)
{
    SChatEnter enter;
    if (szInput.empty() || szInput == szEnableHint || szInput == szDisableHint || IsListener(wMyLevel))
        return enter;
    enter.command = ParseChatCommand(szInput, wMyLevel);
    enter.action = enter.command.id == SChatCommand::NONE ? SChatEnter::SEND : SChatEnter::LOCAL;
    return enter;
}
