// A room-notices fake for feature tests: a text is its key in angle brackets, so a test sees
// which key was used; every notice line and box is kept.
#pragma once
#include <string>
#include <vector>

#include "confclient/session/roomstate/RoomNotices.h"

struct RecordedNotices : IRoomNotices
{
    std::vector<std::u16string> chatNotices;
    std::vector<std::u16string> boxes;

    std::u16string Text(const char* pszKey) const override
    {
        std::u16string key(u"<");
        for (const char* p = pszKey; *p; ++p)
            key.push_back(static_cast<char16_t>(*p));
        return key + u">";
    }
    void AddChatNotice(const std::u16string& szText, int) override { chatNotices.push_back(szText); }
    void ShowBox(const std::u16string& szText) override { boxes.push_back(szText); }
};
