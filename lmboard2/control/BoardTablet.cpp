// The board's pen tablet context and its packets.
#include "lmboard2/control/BoardTablet.h"

#include <vector>

#include "lmboard2/control/LMView.h"

CBoardTablet::~CBoardTablet()
{
    CloseContext();
}

bool CBoardTablet::Start(const std::filesystem::path& driverFolder)
{
    if (!m_wintab.LoadTablet(driverFolder)) return false;
    if (!m_wintab.WTInfoA(0, 0, nullptr))
    {
        m_wintab.UnloadWintab();
        return false;
    }
    UINT cb = m_wintab.WTInfoA(kWtiDevices, kDvcName, nullptr);
    std::vector<char> name(cb + 1, '\0');
    if (cb) m_wintab.WTInfoA(kWtiDevices, kDvcName, name.data());
    m_deviceName = name.data();
    OpenContext();
    return m_hCtx != nullptr;
}

void CBoardTablet::OpenContext()
{
    CloseContext();
    WT_LOGCONTEXTA lc{};
    WT_AXIS x{}, y{};
    if (!m_wintab.WTInfoA(kWtiDefContext, 0, &lc) || !m_wintab.WTInfoA(kWtiDevices, kDvcX, &x) ||
        !m_wintab.WTInfoA(kWtiDevices, kDvcY, &y))
        return;
    RECT rc{};
    GetClientRect(m_view.Hwnd(), &rc);
    m_size = {rc.right, rc.bottom};
    lc.lcOptions |= kCxoMessages;
    lc.lcPktData = kBoardPacketData;
    lc.lcPktMode = 0; // absolute
    lc.lcMoveMask = kBoardPacketData;
    lc.lcInOrgX = 0;
    lc.lcInOrgY = 0;
    lc.lcInExtX = x.axMax;
    lc.lcInExtY = y.axMax;
    lc.lcOutOrgX = 0;
    lc.lcOutOrgY = 0;
    lc.lcOutExtX = m_size.cx + m_view.TopMargin();
    lc.lcOutExtY = -m_size.cy; // y grows downwards
    m_hCtx = m_wintab.WTOpenA(m_view.Hwnd(), &lc, TRUE);
}

void CBoardTablet::CloseContext()
{
    if (m_hCtx && m_wintab.WTClose) m_wintab.WTClose(m_hCtx);
    m_hCtx = nullptr;
}

void CBoardTablet::Resize()
{
    if (!m_hCtx) return;
    RECT rc{};
    GetClientRect(m_view.Hwnd(), &rc);
    if (rc.right != m_size.cx || rc.bottom != m_size.cy) OpenContext();
}

void CBoardTablet::OnPacket(WPARAM wParam, LPARAM lParam)
{
    HCTX hCtx = reinterpret_cast<HCTX>(lParam);
    WT_BOARD_PACKET pkt{};
    if (!m_hCtx || hCtx != m_hCtx || !m_wintab.WTPacket(hCtx, static_cast<UINT>(wParam), &pkt)) return;
    m_pen.OnPacket(
        TabletPacket{pkt.pkButtons, pkt.pkX, pkt.pkY, pkt.pkNormalPressure, pkt.pkOrientation.orAltitude});
}

void CBoardTablet::MoveCursor(int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(m_view.Hwnd(), &pt);
    SetCursorPos(pt.x, pt.y);
}

bool CBoardTablet::SelectOtherWindow()
{
    POINT pt{};
    GetCursorPos(&pt);
    HWND hUnder = WindowFromPoint(pt);
    HWND hBoard = m_view.Hwnd();
    if (hUnder == hBoard || IsChild(hBoard, hUnder)) return false;
    m_events.TabletSelectButton(reinterpret_cast<intptr_t>(hUnder));
    return true;
}

uint8_t CBoardTablet::DrawMode() const
{
    return static_cast<uint8_t>(m_view.DrawMode());
}

void CBoardTablet::SetDrawMode(uint8_t byMode)
{
    m_view.SetDrawMode(byMode);
}

uint8_t CBoardTablet::PenWidth() const
{
    return m_view.LineThick();
}

void CBoardTablet::SetPenWidth(uint8_t byWidth)
{
    m_view.SetStrokeWidth(byWidth);
}

void CBoardTablet::StrokeDown(int x, int y)
{
    m_view.PointerInput(WM_LBUTTONDOWN, x, y, false);
}

void CBoardTablet::StrokeMove(int x, int y)
{
    m_view.PointerInput(WM_MOUSEMOVE, x, y, false);
}

void CBoardTablet::StrokeUp(int x, int y)
{
    m_view.PointerInput(WM_LBUTTONUP, x, y, false);
}
