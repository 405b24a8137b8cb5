// The board preview's placement, page and layout rules.
#include "confclient/boardhost/PreviewRules.h"

#include <algorithm>
#include <charconv>

namespace
{
constexpr int kMinWidth = 500;
constexpr int kMinHeight = 200;
constexpr int kBorder = 4;

bool OnLeft(int nEdge)
{
    return nEdge == EDGE_LEFT || nEdge == EDGE_TOP_LEFT || nEdge == EDGE_BOTTOM_LEFT;
}
bool OnRight(int nEdge)
{
    return nEdge == EDGE_RIGHT || nEdge == EDGE_TOP_RIGHT || nEdge == EDGE_BOTTOM_RIGHT;
}
bool OnTop(int nEdge)
{
    return nEdge == EDGE_TOP || nEdge == EDGE_TOP_LEFT || nEdge == EDGE_TOP_RIGHT;
}
bool OnBottom(int nEdge)
{
    return nEdge == EDGE_BOTTOM || nEdge == EDGE_BOTTOM_LEFT || nEdge == EDGE_BOTTOM_RIGHT;
}
} // namespace

PreviewPos ParsePreviewPos(const std::string& text)
{
    int values[4] = {};
    size_t nStart = 0;
    for (int i = 0; i < 4 && nStart <= text.size(); i++)
    {
        size_t nEnd = text.find(',', nStart);
        if (nEnd == std::string::npos) nEnd = text.size();
        const char* pEnd = text.data() + nEnd;
        int n = 0;
        auto [ptr, ec] = std::from_chars(text.data() + nStart, pEnd, n);
        if (ec == std::errc() && ptr == pEnd) values[i] = n;
        nStart = nEnd + 1;
    }
    return PreviewPos{values[0], values[1], values[2], values[3]};
}

PreviewPos PlacePreview(const PreviewPos& stored, const PreviewBox& view, const PreviewBox& work)
{
    const int nHalfLeft = view.left / 2;
    const int nTop2 = view.top + 54;
    const int w0 = (view.right - nHalfLeft) / 2;
    PreviewPos pos = stored;
    if (pos.x < 1 || pos.x >= work.Width()) pos.x = w0 + nHalfLeft;
    if (pos.y <= 0 || pos.y >= work.Height()) pos.y = nTop2 + 5;
    if (pos.cx < view.right - w0 - nHalfLeft || pos.cx > work.Width()) pos.cx = w0;
    if (pos.cy < view.bottom - (view.bottom - nTop2) / 2 - nTop2 || pos.cy > work.Height())
        pos.cy = view.bottom - nTop2 - 5;
    return pos;
}

PreviewPageButtons PreviewButtonState(int nCount, int nCurrent)
{
    if (nCount <= 1) return {};
    return PreviewPageButtons{nCurrent >= 1, nCurrent < nCount - 1};
}

std::optional<int> PreviewKeyPage(PreviewKey key, int nCurrent, int nCount)
{
    if (nCount <= 0) return std::nullopt;
    int n = nCurrent;
    switch (key)
    {
    case PreviewKey::Next:
        n = nCurrent + 1;
        break;
    case PreviewKey::Back:
        n = nCurrent - 1;
        break;
    case PreviewKey::First:
        n = 0;
        break;
    case PreviewKey::Last:
        n = nCount - 1;
        break;
    }
    if (n < 0 || n >= nCount || n == nCurrent) return std::nullopt;
    return n;
}

PreviewControlPlaces PreviewLayout(int cx)
{
    PreviewControlPlaces p;
    p.comboWidth = std::min(cx - 170, 270);
    p.comboX = cx - p.comboWidth - 130;
    p.nextX = cx - 130;
    p.previousX = cx - 100;
    p.minimizeX = cx - 58;
    p.maximizeX = cx - 40;
    p.closeX = cx - 22;
    return p;
}

int PreviewEdgeAt(int x, int y, int cx, int cy)
{
    const bool bLeft = x < kBorder, bRight = x >= cx - kBorder;
    const bool bTop = y < kBorder, bBottom = y >= cy - kBorder;
    if (bTop) return bLeft ? EDGE_TOP_LEFT : bRight ? EDGE_TOP_RIGHT : EDGE_TOP;
    if (bBottom) return bLeft ? EDGE_BOTTOM_LEFT : bRight ? EDGE_BOTTOM_RIGHT : EDGE_BOTTOM;
    if (bLeft) return EDGE_LEFT;
    if (bRight) return EDGE_RIGHT;
    return 0;
}

PreviewBox ResizePreview(const PreviewBox& window, int nEdge, int cursorX, int cursorY,
                         const PreviewBox& work)
{
    const int nMaxWidth = std::max(kMinWidth, work.Width());
    const int nMaxHeight = std::max(kMinHeight, work.Height());
    PreviewBox box = window;
    if (OnLeft(nEdge)) box.left = std::clamp(cursorX, box.right - nMaxWidth, box.right - kMinWidth);
    if (OnRight(nEdge)) box.right = std::clamp(cursorX, box.left + kMinWidth, box.left + nMaxWidth);
    if (OnTop(nEdge)) box.top = std::clamp(cursorY, box.bottom - nMaxHeight, box.bottom - kMinHeight);
    if (OnBottom(nEdge)) box.bottom = std::clamp(cursorY, box.top + kMinHeight, box.top + nMaxHeight);
    return box;
}
