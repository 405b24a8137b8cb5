// A log window that keeps its own copy of the text and aborts on a range outside it.
#pragma once
#include <cstdlib>
#include <string>

#include "confclient/people/ChatLog.h"

struct MirrorView : IChatLogView
{
    std::u16string text;
    void InsertText(uint32_t nPos, const std::u16string& s, uint32_t) override
    {
        if (nPos > text.size()) std::abort();
        text.insert(nPos, s);
    }
    void DeleteText(SChatRange r) override
    {
        if (r.nStart > r.nEnd || r.nEnd > text.size()) std::abort();
        text.erase(r.nStart, r.nEnd - r.nStart);
    }
    void SetLink(SChatRange r, bool) override
    {
        if (r.nStart >= r.nEnd || r.nEnd > text.size()) std::abort();
    }
    void SetPicture(uint32_t nPos, const SChatPicture&) override
    {
        if (nPos > text.size()) std::abort();
        if (nPos == text.size())
            text.push_back(kChatPictureChar);
        else
            text[nPos] = kChatPictureChar;
    }
    void ScrollToEnd() override {}
};
