// Rules of the skinned controls that need no window: font styles, ampersands, word wrap, bar lengths,
// snake movement. Templates over the string type so that Win32 (wchar_t) and tests (char16_t) share them.
#pragma once
#include <string>

struct FontStyle
{
    int nWeight;
    bool bItalic;
    bool bUnderline;
    bool bStrikeOut;
};

// style = weight * 100 + flags; flag 2 italic, 4 underline, 8 strike-out.
FontStyle DecodeFontStyle(int style);

// Filled length of a bar of `extent` pixels at `pos` in [lower, upper]: truncated, kept within
// 0..extent, and 0 for an empty or reversed range.
int BarLength(int pos, int lower, int upper, int extent);

// Moves a snake head by `delta` along lower..upper+size. Without bounce it wraps to the start;
// with bounce it turns at either end and `dir` (+1 or -1) follows. Returns the new head position.
int SnakeStep(int pos, int delta, int lower, int upper, int size, bool bounce, int& dir);

// True for a text format that takes exactly one int ("%d") and otherwise only literal text and "%%".
template <class S> bool IsPositionFormat(const S& format)
{
    int ints = 0;
    for (size_t i = 0; i < format.size(); ++i)
    {
        if (format[i] != '%') continue;
        if (i + 1 >= format.size()) return false;
        if (format[i + 1] == 'd')
            ++ints;
        else if (format[i + 1] != '%')
            return false;
        ++i;
    }
    return ints == 1;
}

// Doubles every '&' so that a label shows it and forms no mnemonic.
template <class S> S EscapeAmpersands(const S& text)
{
    S out;
    out.reserve(text.size());
    for (auto c : text)
    {
        out.push_back(c);
        if (c == '&') out.push_back(c);
    }
    return out;
}

// Breaks `text` into lines no wider than `width` at spaces, measuring with `measure(line)`.
// A single word too wide stands on a line of its own; lines keep their trailing space.
template <class S, class Measure> S WrapWords(const S& text, int width, Measure measure)
{
    S result, line, rest = text;
    while (!rest.empty())
    {
        size_t space = rest.find(' ');
        S word = rest.substr(0, space);
        if (measure(line + word) > width)
        {
            if (line.empty())
            {
                line = word;
                rest.erase(0, word.size());
            }
            result += line;
            result.push_back('\n');
            size_t first = rest.find_first_not_of(' ');
            rest.erase(0, first == S::npos ? rest.size() : first);
            line.clear();
        }
        else
        {
            word.push_back(' ');
            line += word;
            if (rest.size() <= word.size())
            {
                result += line;
                break;
            }
            rest.erase(0, word.size());
        }
    }
    return result;
}
