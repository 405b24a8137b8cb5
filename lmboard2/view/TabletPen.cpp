// The tablet pen's state machine and the driver version rule.
#include "lmboard2/view/TabletPen.h"

#include <algorithm>
#include <string>

#include "lmboard2/records/DrawRules.h"

namespace
{
constexpr int32_t kPenTurnedOver = -900;

bool WidthFollowsPressure(uint8_t byMode)
{
    return byMode == DRAW_PEN || IsLineMode(byMode) || IsShapeMode(byMode);
}
} // namespace

bool TabletVersionAccepted(const std::array<uint16_t, 4>& version)
{
    std::string digits;
    for (uint16_t part : version)
        digits += std::to_string(part);
    // More than four digits is far outside the range (and would not fit a number for long).
    if (digits.size() > 4) return false;
    int n = std::stoi(digits);
    return n >= 1043 && n <= 1057;
}

uint8_t PressureWidth(uint8_t byWidth, uint32_t nPressure)
{
    int nExtra = nPressure >= 900 ? 3 : nPressure >= 800 ? 2 : nPressure >= 700 ? 1 : 0;
    return static_cast<uint8_t>(std::min(byWidth + nExtra, 255));
}

void CTabletPen::OnPacket(const TabletPacket& packet)
{
    m_owner.MoveCursor(packet.x, packet.y);
    const bool bDown = (packet.dwButtons & 1) != 0;
    const bool bPressed = bDown && !m_bButton;
    m_bButton = bDown;
    // A press that went to another window draws nothing on the board until the pen lifts.
    if (bPressed && !m_bStroke && m_owner.SelectOtherWindow()) m_bElsewhere = true;
    if (m_bElsewhere)
    {
        m_bElsewhere = bDown;
        return;
    }

    if (m_owner.DrawMode() == DRAW_TEXT)
    {
        m_owner.SetDrawMode(DRAW_PEN);
        m_owner.ResultDrawMode(DRAW_PEN);
    }
    if (packet.nAltitude == kPenTurnedOver && !m_bStroke) m_owner.SetDrawMode(DRAW_ERASER);

    const uint8_t byMode = m_owner.DrawMode();
    if (bDown && packet.nPressure > 0)
    {
        if (!m_bStroke) m_byWidth = m_owner.PenWidth();
        if (WidthFollowsPressure(byMode)) m_owner.SetPenWidth(PressureWidth(m_byWidth, packet.nPressure));
        if (!m_bStroke)
        {
            m_bStroke = true;
            m_owner.ResultDrawMode(byMode);
            m_owner.StrokeDown(packet.x, packet.y);
        }
        else
            m_owner.StrokeMove(packet.x, packet.y);
    }
    else if (!bDown && m_bStroke)
    {
        m_bStroke = false;
        m_owner.StrokeUp(packet.x, packet.y);
        m_owner.SetPenWidth(m_byWidth);
    }
}
