// Menu template and toolbar resource readers; extra item images.
#include "confclient/toolkit/menurules/MenuResources.h"

#include "core/ByteReader.h"

namespace
{
constexpr uint16_t kTemplatePopup = 0x10;
constexpr uint16_t kTemplateEnd = 0x80;
constexpr int kMaxDepth = 16;

// A zero-terminated UTF-16 text; nothing when the data ends before the terminator.
std::optional<std::u16string> ReadText(ByteReader& in)
{
    std::u16string s;
    while (true)
    {
        uint16_t c = in.U16();
        if (!in.Ok()) return std::nullopt;
        if (c == 0) return s;
        s.push_back(static_cast<char16_t>(c));
    }
}

bool ReadLevel(ByteReader& in, int nDepth, std::vector<MenuTemplateItem>& out)
{
    if (nDepth > kMaxDepth) return false;
    while (true)
    {
        MenuTemplateItem item;
        item.nFlags = in.U16();
        if (!(item.nFlags & kTemplatePopup)) item.nId = in.U16();
        std::optional<std::u16string> text = ReadText(in);
        if (!in.Ok() || !text) return false;
        item.text = std::move(*text);
        if ((item.nFlags & kTemplatePopup) && !ReadLevel(in, nDepth + 1, item.children)) return false;
        bool bLast = item.nFlags & kTemplateEnd;
        out.push_back(std::move(item));
        if (bLast) return true;
    }
}
} // namespace

std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(const uint8_t* pData, size_t nLen)
{
    ByteReader in(pData, nLen);
    uint16_t nVersion = in.U16();
    uint16_t nOffset = in.U16();
    if (!in.Ok() || nVersion != 0) return std::nullopt;
    in.Skip(nOffset);
    std::vector<MenuTemplateItem> items;
    if (!in.Ok() || !ReadLevel(in, 0, items)) return std::nullopt;
    return items;
}

int ToolbarResource::ImageOffsetOf(uint16_t nCommand) const
{
    int nImage = 0;
    for (uint16_t id : items)
    {
        if (id == 0) continue;
        if (id == nCommand) return nImage;
        ++nImage;
    }
    return -1;
}

std::optional<ToolbarResource> ParseToolbarResource(const uint8_t* pData, size_t nLen)
{
    ByteReader in(pData, nLen);
    ToolbarResource tb;
    uint16_t nVersion = in.U16();
    tb.nWidth = in.U16();
    tb.nHeight = in.U16();
    uint16_t nCount = in.U16();
    if (!in.Ok() || nVersion != 1 || nCount > in.Remaining() / 2) return std::nullopt;
    tb.items.reserve(nCount);
    for (uint16_t i = 0; i < nCount; ++i)
        tb.items.push_back(in.U16());
    return tb;
}

void MakeWashedImage(std::vector<MenuColour>& pixels, MenuColour background)
{
    for (MenuColour& p : pixels)
        if (p != background) p = LightenColour(p, 0.3);
}

void MakeShadowImage(std::vector<MenuColour>& pixels, MenuColour background, MenuColour shadow)
{
    for (MenuColour& p : pixels)
        if (p != background) p = shadow;
}

void MakeGreyImage(std::vector<MenuColour>& pixels, MenuColour background, MenuColour buttonFace)
{
    for (MenuColour& p : pixels)
    {
        if (p == background) continue;
        double mean = ((p & 0xff) + ((p >> 8) & 0xff) + ((p >> 16) & 0xff)) / 3.0;
        p = LightenColour(buttonFace, mean / 255.0);
    }
}
