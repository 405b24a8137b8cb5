// Frames of the control-panel port: an outside panel drives the program with
// ASCII keyword commands and hears answers back (docs/control-panel.md).
//   '@', type ('C' command to the program, 'A' answer to the panel),
//   u16 little-endian body length, body: keyword [' ' arguments]
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr uint8_t kPanelFrameMark = '@';
constexpr size_t kPanelHeaderSize = 4;
constexpr size_t kMaxPanelBody = 1024;

enum class PanelFrameType : char
{
    Command = 'C',
    Answer = 'A',
};

struct S_PANELFRAME
{
    PanelFrameType type = PanelFrameType::Command;
    std::string keyword;   // upper-case ASCII letters
    std::string arguments; // the rest of the body after one blank; may be empty
};

std::vector<uint8_t> EncodePanelFrame(const S_PANELFRAME& frame);

// An answer frame: keyword and a decimal value.
std::vector<uint8_t> EncodePanelAnswer(std::string_view keyword, long value);

// Cuts a byte stream into frames. A wrong mark byte, an unknown type, a body
// over kMaxPanelBody, a non-printable body or a keyword that is not upper-case
// letters drops everything held: the panel must start over with a fresh frame.
class CPanelFrameReader
{
public:
    // Adds received bytes; returns the frames completed by them.
    std::vector<S_PANELFRAME> Feed(const uint8_t* pData, size_t nLen);
    size_t Held() const { return m_held.size(); }
    unsigned DroppedCount() const { return m_nDropped; }

private:
    std::vector<uint8_t> m_held;
    unsigned m_nDropped = 0;
};
