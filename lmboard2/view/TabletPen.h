// A pen tablet's packets turned into board strokes: the pen moves the cursor, its first button
// draws with the current tool, its pressure widens the line and its eraser end erases. Also
// the rule that picks which driver versions are used.
#pragma once
#include <array>
#include <cstdint>

// One packet as the board's tablet context delivers it: x and y in board window pixels.
struct TabletPacket
{
    uint32_t dwButtons = 0;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t nPressure = 0;
    int32_t nAltitude = 0; // tenths of a degree; negative when the pen is turned over
};

// The driver's file version, its four parts joined as decimal digits ("1.0.4.9" reads 1049),
// is used only from 1043 to 1057.
bool TabletVersionAccepted(const std::array<uint16_t, 4>& version);

// The width of a pen or shape stroke at a pressure, from the width before the stroke.
uint8_t PressureWidth(uint8_t byWidth, uint32_t nPressure);

class ITabletOwner
{
public:
    virtual ~ITabletOwner() = default;
    // The system cursor moves to the point of the board window.
    virtual void MoveCursor(int x, int y) = 0;
    // When the window under the cursor is not the board, it is told of the press
    // (TabletSelectButton) and true is returned.
    virtual bool SelectOtherWindow() = 0;
    virtual uint8_t DrawMode() const = 0;
    // The tool changes without telling the host.
    virtual void SetDrawMode(uint8_t byMode) = 0;
    // ResultDrawMode: the host learns the tool the board now uses.
    virtual void ResultDrawMode(uint8_t byMode) = 0;
    virtual uint8_t PenWidth() const = 0;
    virtual void SetPenWidth(uint8_t byWidth) = 0;
    // A stroke of the current tool, as the left mouse button would draw it.
    virtual void StrokeDown(int x, int y) = 0;
    virtual void StrokeMove(int x, int y) = 0;
    virtual void StrokeUp(int x, int y) = 0;
};

class CTabletPen
{
public:
    explicit CTabletPen(ITabletOwner& owner) : m_owner(owner) {}
    void OnPacket(const TabletPacket& packet);
    bool InStroke() const { return m_bStroke; }

private:
    ITabletOwner& m_owner;
    bool m_bButton = false;    // the first button's state in the last packet
    bool m_bStroke = false;    // a stroke is being drawn
    bool m_bElsewhere = false; // the press went to another window
    uint8_t m_byWidth = 0;     // the pen width before the stroke
};
