// A log window that keeps its own copy of the text and its link marks, as a rich edit would.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "confclient/people/ChatLog.h"

struct FakeLogView : IChatLogView
{
    std::u16string text;
    std::vector<bool> link;
    std::vector<uint32_t> colours; // colour of each InsertText
    int nScrolls = 0;

    void InsertText(uint32_t nPos, const std::u16string& s, uint32_t dwColour) override
    {
        ASSERT_LE(nPos, text.size());
        text.insert(nPos, s);
        link.insert(link.begin() + nPos, s.size(), false);
        colours.push_back(dwColour);
    }
    void DeleteText(SChatRange r) override
    {
        ASSERT_LE(r.nEnd, text.size());
        text.erase(r.nStart, r.nEnd - r.nStart);
        link.erase(link.begin() + r.nStart, link.begin() + r.nEnd);
    }
    void SetLink(SChatRange r, bool bLink) override
    {
        ASSERT_LE(r.nEnd, text.size());
        for (uint32_t i = r.nStart; i < r.nEnd; ++i)
            link[i] = bLink;
    }
    void SetPicture(uint32_t nPos, const SChatPicture&) override
    {
        ASSERT_LE(nPos, text.size());
        if (nPos == text.size())
        {
            text.push_back(kChatPictureChar);
            link.push_back(false);
        }
        else
            text[nPos] = kChatPictureChar;
    }
    void ScrollToEnd() override { ++nScrolls; }

    bool AllLinked(SChatRange r) const
    {
        for (uint32_t i = r.nStart; i < r.nEnd; ++i)
            if (!link[i]) return false;
        return !r.Empty();
    }
    size_t LinkedCount() const { return static_cast<size_t>(std::count(link.begin(), link.end(), true)); }
};
