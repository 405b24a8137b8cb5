// Any bytes as a run of chat lines (461) and joins (323) from peers, interleaved with presenter
// requests, push progress and trims: every remembered range stays inside the log and on its
// word, and a peer's line adds exactly one line.
#include <cstdlib>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/people/ChatLog.h"
#include "fuzz/people/MirrorLogView.h"

namespace
{
void Check(const CChatLog& log, const MirrorView& view)
{
    const std::u16string& t = log.Text();
    if (t != view.text || log.LineCount() > kChatMaxLines) std::abort();
    auto on = [&t](SChatRange r, const std::u16string& word)
    {
        if (r.nEnd > t.size() || t.compare(r.nStart, r.nEnd - r.nStart, word) != 0) std::abort();
    };
    for (const CChatLog::SRequest& req : log.Requests())
    {
        on(req.permit, u"Permit");
        on(req.deny, u"Deny");
    }
    if (log.CancelShown()) on(log.CancelRange(), u"Cancel");
    uint32_t nPos = log.ProgressPosition();
    if (nPos != kChatNoPosition && (nPos < 5 || nPos >= t.size() || t[nPos - 5] != u'\r')) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    MirrorView view;
    CChatLog log(view, [] { return CChatLog::SClock{1, 2, 3}; });
    std::vector<std::u16string> names;
    size_t i = 0;
    while (i + 2 <= nSize)
    {
        uint8_t op = pData[i];
        size_t nChunk = std::min<size_t>(pData[i + 1] * 4u, nSize - i - 2);
        std::vector<uint8_t> chunk(pData + i + 2, pData + i + 2 + nChunk); // exact size
        i += 2 + nChunk;
        switch (op % 8)
        {
        case 0:
        case 1:
        {
            QNChat chat;
            if (!DecodeChat(chunk.data(), chunk.size(), chat)) break;
            if (chat.szText.size() > kMaxChatUnits) std::abort();
            std::u16string name =
                names.empty() ? u" " : ChatOneLine(names[chat.wSenderUserIndex % names.size()]);
            size_t nBreaks = 0;
            for (char16_t c : log.Text())
                nBreaks += c == u'\r';
            bool bFirst = log.Text().empty();
            log.AddMessage(CHATLINE_CHAT, ChatOneLine(chat.szText), name, chat.dwColour);
            size_t nAfter = 0;
            for (char16_t c : log.Text())
                nAfter += c == u'\r';
            // One more line, unless the trim took 200 (the first line may lose nothing but breaks).
            if (!bFirst && nAfter != nBreaks + 1 && nAfter != nBreaks + 1 - kChatTrimLines) std::abort();
            break;
        }
        case 2:
        {
            QNRoomUser user;
            if (!DecodeRoomUser(chunk.data(), chunk.size(), user)) break;
            names.push_back(user.szName);
            log.AddMessage(CHATLINE_JOINLEAVE, ChatOneLine(user.szName), u"", 0);
            break;
        }
        case 3:
            log.AddPresenterRequest((names.empty() ? u"" : ChatOneLine(names.back())) +
                                        u" asks. Permit / Deny",
                                    u"Permit", u"Deny", static_cast<uint16_t>(nChunk));
            break;
        case 4:
            log.UpdatePushProgress(static_cast<int>(nChunk % 110), u"t", u"Done", u"Recv", u"Cancel",
                                   nChunk & 1);
            break;
        case 5:
            log.EndPushProgress(u"Cancelled");
            break;
        case 6:
            log.RemovePresenterRequest(static_cast<uint16_t>(nChunk));
            break;
        default:
            for (size_t n = 0; n < nChunk * 8; ++n)
                log.AddMessage(CHATLINE_RED, u"x", u"", 0);
            break;
        }
        Check(log, view);
    }
    return 0;
}
