// A drawing surface that writes down every call as one line of text.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "lmboard2/records/DrawSurface.h"

class CRecordingSurface : public IDrawSurface
{
public:
    void ClearToBackground() override { Add("clear"); }
    void DrawLine(const DrawStyle& s, DrawPt a, DrawPt b) override
    {
        Add("line " + Style(s) + " " + P(a) + "-" + P(b));
    }
    void DrawRectangle(const DrawStyle& s, DrawBox b) override { Add("rect " + Style(s) + " " + B(b)); }
    void DrawEllipse(const DrawStyle& s, DrawBox b) override { Add("ellipse " + Style(s) + " " + B(b)); }
    void DrawTriangle(const DrawStyle& s, const std::array<DrawPt, 3>& p) override
    {
        Add("triangle " + Style(s) + " " + P(p[0]) + " " + P(p[1]) + " " + P(p[2]));
    }
    void Erase(DrawBox b) override { Add("erase " + B(b)); }
    void DrawText(const DrawRecord& r) override { Add("text " + std::to_string(r.text.size())); }
    void PlaceStamp(DrawPt p) override { Add("stamp " + P(p)); }
    void MovePointer(DrawPt p) override { Add("pointer " + P(p)); }
    void ScrollTo(DrawPt p) override { Add("scroll " + P(p)); }
    void SetZoom(uint16_t n) override { Add("zoom " + std::to_string(n)); }
    void OpenBrowser(const std::u16string (&s)[4]) override { Add("browser " + std::to_string(s[0].size())); }

    std::vector<std::string> calls;

private:
    void Add(std::string s) { calls.push_back(std::move(s)); }
    static std::string P(DrawPt p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    static std::string B(DrawBox b) { return P({b.left, b.top}) + ":" + P({b.right, b.bottom}); }
    static std::string Style(const DrawStyle& s)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%06x/%06x a%d w%d%s%s", s.dwColor, s.dwFill, s.byAlpha, s.byWidth,
                      s.bFluorescent ? " fl" : "", s.bFilled ? " fill" : "");
        return buf;
    }
};
