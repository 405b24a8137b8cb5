// The control agent's command table and the conference-entry text of 261.
#include "confclient/session/agent/AgentCommands.h"

#include "core/ByteReader.h"

std::optional<AgentCommand> AgentCommandOf(uintptr_t wParam)
{
    if (wParam < static_cast<uintptr_t>(AgentCommand::Show) ||
        wParam > static_cast<uintptr_t>(AgentCommand::JoinRoom))
        return std::nullopt;
    return static_cast<AgentCommand>(wParam);
}

std::optional<std::u16string> DecodeConfEntryText(const uint8_t* p, size_t n)
{
    ByteReader r(p, n);
    uint16_t nUnits = r.U16();
    if (!r.Ok() || r.Remaining() < size_t(nUnits) * 2) return std::nullopt;
    std::u16string text;
    text.reserve(nUnits);
    for (uint16_t i = 0; i < nUnits; ++i)
        text.push_back(static_cast<char16_t>(r.U16()));
    return text;
}

std::optional<S_AGENTJOIN> ParseAgentJoinText(const std::u16string& text)
{
    size_t nl = text.find(u'\n');
    std::u16string_view szIndex = std::u16string_view(text).substr(0, nl);
    if (szIndex.empty() || szIndex.size() > 5) return std::nullopt;
    uint32_t n = 0;
    for (char16_t c : szIndex)
    {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + static_cast<uint32_t>(c - u'0');
    }
    if (n == 0 || n >= 65535) return std::nullopt;
    S_AGENTJOIN join;
    join.wRoomIndex = static_cast<uint16_t>(n);
    if (nl != std::u16string::npos) join.szConfCode = text.substr(nl + 1);
    return join;
}
