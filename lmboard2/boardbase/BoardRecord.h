// What the writer of drawing records and their reader share: record types, the
// limits of a record's length, and the pen that line, pen and shape records carry.
#pragma once
#include <cstddef>
#include <cstdint>

enum BoardRecordType : uint8_t
{
    REC_CLEAR = 161,
    REC_POINTER = 162,
    REC_SCROLL = 163,
    REC_ERASER = 164,
    REC_TEXT = 165,
    REC_ZOOM = 166,
    REC_SEGMENTS = 167,
    REC_BROWSER = 168,
    REC_PEN = 169,
    REC_STAMP = 170,
    REC_SHAPE = 171,
};

constexpr uint8_t kRecordTerminator = 13;
constexpr size_t kMinRecordLength = 2;    // type and terminator
constexpr size_t kMaxRecordLength = 8192; // longest record replay accepts
constexpr size_t kTextRecordFixed = 104;  // colour, box, LOGFONTW before a text record's text
constexpr size_t kLogFontSize = 92;
constexpr size_t kMaxTextUnits = 597; // the longest text whose record the page file keeps

// Pen of line, pen-stroke and shape records.
struct BoardPen
{
    uint8_t byFluorescent = 0; // 0 or 1: translucent
    uint32_t dwColor = 0;      // 0x00BBGGRR
    uint8_t byWidth = 1;       // pixels
};

// The font of a text record: a LOGFONTW field by field. The face name always ends
// with a terminator within its 32 units.
struct S_BOARD_LOGFONT
{
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char16_t lfFaceName[32] = {};
};
