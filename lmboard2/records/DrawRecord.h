// One drawing record read from its bytes (u16 length, type, fields, terminator 13),
// every field within the record's own length; a malformed record reads as nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/boardbase/BoardRecord.h"

struct BoardPoint
{
    uint16_t x = 0;
    uint16_t y = 0;
    bool operator==(const BoardPoint&) const = default;
};

// One line of a record 167: signed coordinates.
struct BoardSegment
{
    BoardPen pen;
    int16_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct DrawRecord
{
    uint8_t byType = 0;
    size_t nSize = 0; // bytes the record occupies: length + 2

    BoardPen pen;                   // 169, 171
    uint8_t byShape = 0;            // 171: the draw mode of the figure
    BoardPoint pt;                  // 162, 163, 170; the start (x0, y0) of 169 and 171
    std::vector<BoardPoint> points; // 164, 169, 171

    uint32_t dwTextColor = 0; // 165
    uint16_t rcText[4] = {};  // 165: left, top, right, bottom
    S_BOARD_LOGFONT font;     // 165: face name always terminated
    std::u16string text;      // 165

    uint8_t byZoomIndex = 0;            // 166, below kZoomPresetCount
    std::vector<BoardSegment> segments; // 167
    std::u16string browser[4];          // 168: address and three further strings
};

// Reads the record at pData (nAvail bytes from its length field). Nothing when the
// length is outside 2..8192 or passes nAvail, the type is unknown, or the fields do
// not fit the length exactly (strings must end within it).
std::optional<DrawRecord> ParseDrawRecord(const uint8_t* pData, size_t nAvail);

// Zoom values of the 166 presets, by index.
constexpr int kZoomPresetCount = 10;
constexpr uint16_t kZoomPresets[kZoomPresetCount] = {25, 50, 75, 100, 125, 150, 200, 300, 4096, 8192};
