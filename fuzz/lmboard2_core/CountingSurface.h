// A drawing surface that only looks at what it is given, so that the sanitizers see
// every field replay hands over.
#pragma once
#include <filesystem>

#include "lmboard2/pagefile/BoardPageStore.h"

class CCountingSurface : public IPageTarget
{
public:
    void ClearToBackground() override { ++nCalls; }
    void DrawLine(const DrawStyle& s, DrawPt a, DrawPt b) override { Add(s.dwColor + a.x + b.y); }
    void DrawRectangle(const DrawStyle& s, DrawBox b) override { Add(s.dwFill + b.right); }
    void DrawEllipse(const DrawStyle& s, DrawBox b) override { Add(s.dwFill + b.bottom); }
    void DrawTriangle(const DrawStyle& s, const std::array<DrawPt, 3>& p) override { Add(p[0].x + p[2].y); }
    void Erase(DrawBox b) override { Add(b.left); }
    void DrawText(const DrawRecord& r) override
    {
        for (char16_t c : r.text)
            Add(c);
        for (char16_t c : r.font.lfFaceName)
            Add(c);
    }
    void PlaceStamp(DrawPt p) override { Add(p.x); }
    void MovePointer(DrawPt p) override { Add(p.y); }
    void ScrollTo(DrawPt p) override { Add(p.x); }
    void SetZoom(uint16_t n) override { Add(n); }
    void OpenBrowser(const std::u16string (&s)[4]) override
    {
        for (const auto& str : s)
            Add(str.size());
    }
    bool DrawPicture(const std::filesystem::path&) override { return (++nCalls & 1) != 0; }
    void FillWhite(int w, int h) override { Add(w + h); }

    uint64_t nSum = 0;
    uint64_t nCalls = 0;

private:
    void Add(uint64_t v)
    {
        nSum += v;
        ++nCalls;
    }
};
