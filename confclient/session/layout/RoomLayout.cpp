// Layout table, room types and the room rectangle.
#include "confclient/session/layout/RoomLayout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
std::vector<std::u16string_view> SplitCommas(std::u16string_view s)
{
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (true)
    {
        size_t comma = s.find(u',', start);
        parts.push_back(s.substr(start, comma == s.npos ? s.npos : comma - start));
        if (comma == s.npos) break;
        start = comma + 1;
    }
    return parts;
}

// Field i of a comma list as a number; a missing field counts as 0.
int32_t IntField(std::u16string_view s, size_t i)
{
    std::vector<std::u16string_view> parts = SplitCommas(s);
    return i < parts.size() ? ParseInt(parts[i]) : 0;
}

S_RGB16 ReadColour(const std::u16string& text, S_RGB16 fallback)
{
    if (text.empty()) return fallback;
    return {static_cast<uint16_t>(IntField(text, 0)), static_cast<uint16_t>(IntField(text, 1)),
            static_cast<uint16_t>(IntField(text, 2))};
}

std::u16string ToU16(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}
} // namespace

int32_t ParseInt(std::u16string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
        ++i;
    bool bNegative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) bNegative = s[i++] == u'-';
    int64_t v = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
    {
        v = v * 10 + (s[i] - u'0');
        if (v > INT32_MAX) return bNegative ? INT32_MIN : INT32_MAX;
    }
    return static_cast<int32_t>(bNegative ? -v : v);
}

void CLayoutTable::Load(std::u16string_view rawText,
                        const std::function<std::u16string(const std::u16string&)>& lookup)
{
    m_meter = {109, 63, 155};
    m_meterBack = {30, 110, 190};
    if (rawText.empty()) return;
    m_meter = ReadColour(lookup(u"VOICEPEKMETER"), m_meter);
    m_meterBack = ReadColour(lookup(u"VOICEPEKMETERBACK"), m_meterBack);

    for (int i = 1; i <= kMaxRoomType; ++i)
    {
        std::u16string section = ToU16("[" + std::to_string(i) + "]");
        if (rawText.find(section) == std::u16string_view::npos) continue;
        if (!m_records[i]) m_records[i] = std::make_unique<CRoomInfo>();
        CRoomInfo& r = *m_records[i];
        std::u16string prefix = ToU16(std::to_string(i) + "_");
        r.VideoCount = ParseInt(lookup(prefix + u"VideoCount"));
        r.VideoWidthLineCount = ParseInt(lookup(prefix + u"VideoWidthLineCount"));
        r.VideoHeightLineCount = ParseInt(lookup(prefix + u"VideoHeightLineCount"));
        r.BigVideoCount = ParseInt(lookup(prefix + u"BigVideoCount"));
        r.BigRemainVideoCount = ParseInt(lookup(prefix + u"BigRemainVideoCount"));
        std::u16string normal = lookup(prefix + u"NomalVideoSendSize");
        std::u16string big = lookup(prefix + u"BigVideoSendSize");
        r.NomalVideoSendSize[0] = IntField(normal, 0);
        r.NomalVideoSendSize[1] = IntField(normal, 1);
        r.BigVideoSendSize[0] = IntField(big, 0);
        r.BigVideoSendSize[1] = IntField(big, 1);
    }
}

const CRoomInfo* CLayoutTable::GetLayoutInfo(uint16_t nType, uint16_t nCurrentType) const
{
    uint16_t t = (nType >= 1 && nType <= kMaxRoomType) ? nType : nCurrentType;
    return (t >= 1 && t <= kMaxRoomType) ? m_records[t].get() : nullptr;
}

uint16_t VideoCountOfType(uint16_t nType)
{
    switch (nType)
    {
    case 1:
    case 10:
    case 20:
    case 24:
    case 50:
        return 2;
    case 2:
    case 3:
        return 4;
    case 4:
        return 9;
    case 6:
        return 16;
    case 7:
        return 43;
    case 8:
        return 0; // the document room
    case 11:
        return 3;
    case 12:
    case 13:
    case 22:
        return 1;
    case 14:
    case 25:
        return 6;
    case 15:
    case 21:
    case 23:
    case 26:
        return 10;
    case 16:
    case 27:
        return 13;
    case 17:
        return 25;
    case 18:
        return 30;
    case 19:
        return 36;
    case 28:
        return 19;
    case 29:
        return 22;
    case 30:
        return 5;
    case 31:
        return 7;
    case 32:
        return 33;
    case 33:
        return 46;
    case 34:
        return 49;
    default:
        return 65535;
    }
}

int ClampViewCount(int nCount)
{
    return std::clamp(nCount, 0, 49);
}

S_ROOMPOSITION ComputeRoomPosition(std::u16string_view saved, const S_RECT& work, const S_RECT& screen)
{
    S_ROOMPOSITION pos{};
    bool bUseSaved = false;
    if (!saved.empty() && SplitCommas(saved).size() >= 5)
    {
        pos.bMaximized = IntField(saved, 0) == 1;
        int64_t left = IntField(saved, 1), top = IntField(saved, 2), width = IntField(saved, 3),
                height = IntField(saved, 4);
        pos.rect = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + width),
                    static_cast<int32_t>(top + height)};
        bUseSaved = left >= screen.left && left + width <= int64_t(screen.left) + screen.Width() &&
                    left != 0 && width > 0 && top >= screen.top &&
                    top + height <= int64_t(screen.top) + screen.Height() && top != 0 && height > 0;
    }
    const int32_t W = work.Width(), H = work.Height();
    if (!bUseSaved)
    {
        pos.rect = {W / 2 - 512, H / 2 - 369, W / 2 + 512, H / 2 + 369};
        if (pos.rect.left < 0 || W == 1024) pos.rect.left = 0;
        if (pos.rect.top < 0 || H == 738) pos.rect.top = 0;
    }
    if (pos.rect.Width() > W || pos.rect.Height() > H) pos.rect = {0, 0, W, H};
    return pos;
}

std::u16string FormatRoomPosition(const S_ROOMPOSITION& pos)
{
    std::string s = std::to_string(pos.bMaximized ? 1 : 0) + "," + std::to_string(pos.rect.left) + "," +
                    std::to_string(pos.rect.top) + "," + std::to_string(pos.rect.Width()) + "," +
                    std::to_string(pos.rect.Height());
    return ToU16(s);
}
