// The chat's local slash commands.
#include "confclient/people/ChatCommands.h"

#include <algorithm>
#include <climits>

#include "core/TextNoCase.h"

namespace
{
bool StartsNoCase(std::u16string_view line, std::u16string_view word)
{
    return line.size() >= word.size() && EqualsNoCase(line.substr(0, word.size()), word);
}

std::u16string_view After(std::u16string_view line, size_t nChars)
{
    return nChars < line.size() ? line.substr(nChars) : std::u16string_view();
}

// The number after the command word, clamped; the default when nothing follows.
int32_t Clamped(std::u16string_view line, size_t nWord, int32_t nMax, int32_t nDefault)
{
    std::u16string_view rest = After(line, nWord);
    if (rest.empty()) return nDefault;
    return std::clamp(ChatDecimal(rest), 0, nMax);
}
} // namespace

int32_t ChatDecimal(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) bNegative = text[i++] == u'-';
    int64_t nValue = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        nValue = std::min<int64_t>(nValue * 10 + (text[i] - u'0'), int64_t(INT32_MAX) + 1);
    if (bNegative) nValue = -nValue;
    return static_cast<int32_t>(std::clamp<int64_t>(nValue, INT32_MIN, INT32_MAX));
}

SChatCommand ParseChatCommand(const std::u16string& szLine, uint16_t wMyLevel)
{
    SChatCommand cmd;
    if ((wMyLevel & 0xFF) % 10 == 4) return cmd; // the level byte
    std::u16string_view line(szLine);
    struct Exact
    {
        const char16_t* pszWord;
        SChatCommand::Id id;
    };
    static const Exact kExact[] = {{u"/state", SChatCommand::STATE},     {u"/time", SChatCommand::TIME},
                                   {u"/profile", SChatCommand::PROFILE}, {u"/video", SChatCommand::VIDEO},
                                   {u"/voice", SChatCommand::VOICE},     {u"/reset", SChatCommand::RESET}};
    for (const Exact& e : kExact)
        if (EqualsNoCase(line, e.pszWord))
        {
            cmd.id = e.id;
            return cmd;
        }
    if (StartsNoCase(line, u"/bitrate"))
    {
        cmd.id = SChatCommand::BITRATE;
        cmd.nValue = Clamped(line, 8, 5000, 0);
    }
    else if (StartsNoCase(line, u"/JQ"))
    {
        cmd.id = SChatCommand::JQ;
        cmd.nValue = Clamped(line, 3, 9, 6);
    }
    else if (StartsNoCase(line, u"/MF"))
    {
        cmd.id = SChatCommand::MF;
        cmd.nValue = Clamped(line, 3, 6, 3);
    }
    else if (StartsNoCase(line, u"/COLOR"))
    {
        cmd.id = SChatCommand::COLOR;
        cmd.nValue = Clamped(line, 6, 2, 0);
    }
    else if (StartsNoCase(line, u"/wmv"))
    {
        cmd.id = SChatCommand::WMV;
        size_t nBlank = line.find(u' ');
        std::u16string_view field =
            nBlank == std::u16string_view::npos ? std::u16string_view() : line.substr(nBlank + 1);
        field = field.substr(0, field.find(u' '));
        cmd.nValue = ChatDecimal(field);
    }
    else if (StartsNoCase(line, u"/codec"))
    {
        cmd.id = SChatCommand::CODEC;
        if (line.size() > 6)
        {
            std::u16string_view rest = After(line, 7);
            size_t nComma = rest.find(u',');
            std::u16string a(rest.substr(0, nComma));
            std::u16string b(nComma == std::u16string_view::npos ? std::u16string_view()
                                                                 : rest.substr(nComma + 1));
            cmd.szArg = b == u"0" ? u"speed=" + a + u";" : u"speed=" + a + u";crf=" + b + u";";
        }
    }
    else if (StartsNoCase(line, u"/sendsize"))
    {
        cmd.id = SChatCommand::SENDSIZE;
        if (line.size() > 9)
        {
            std::u16string_view rest = After(line, 10);
            size_t nX = rest.find(u'x');
            cmd.szArg = std::u16string(rest);
            cmd.nWidth = ChatDecimal(rest.substr(0, nX));
            cmd.nHeight = nX == std::u16string_view::npos ? 0 : ChatDecimal(rest.substr(nX + 1));
        }
    }
    else if (StartsNoCase(line, u"/dsprofile"))
    {
        cmd.id = SChatCommand::DSPROFILE;
        if (line.size() > 10)
        {
            cmd.nValue = ChatDecimal(After(line, 11));
            cmd.bIgnored = cmd.nValue < 0 || cmd.nValue > 2;
        }
    }
    return cmd;
}
