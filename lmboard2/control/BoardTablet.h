// The board window's pen tablet: the driver, the context opened on the board window with its
// size, and the packets it posts turned into strokes of the view.
#pragma once
#include <filesystem>

#include "lmboard2/control/TabletDriver.h"
#include "lmboard2/view/BoardEvents.h"
#include "lmboard2/view/TabletPen.h"

class CLMView;

class CBoardTablet final : public ITabletOwner
{
public:
    CBoardTablet(CLMView& view, IBoardEvents& events) : m_view(view), m_events(events) {}
    ~CBoardTablet() override;

    // Loads the driver from driverFolder; when it is usable and reports a device, opens the
    // context on the view's window. False when the board has no tablet (the library is then
    // unloaded or left unused).
    bool Start(const std::filesystem::path& driverFolder);
    // The view's size changed: the context is reopened for the new size.
    void Resize();
    // The packet message: wParam the packet's serial number, lParam the context.
    void OnPacket(WPARAM wParam, LPARAM lParam);
    const std::string& DeviceName() const { return m_deviceName; }

    // ITabletOwner
    void MoveCursor(int x, int y) override;
    bool SelectOtherWindow() override;
    uint8_t DrawMode() const override;
    void SetDrawMode(uint8_t byMode) override;
    void ResultDrawMode(uint8_t byMode) override { m_events.ResultDrawMode(byMode); }
    uint8_t PenWidth() const override;
    void SetPenWidth(uint8_t byWidth) override;
    void StrokeDown(int x, int y) override;
    void StrokeMove(int x, int y) override;
    void StrokeUp(int x, int y) override;

private:
    void OpenContext();
    void CloseContext();

    CLMView& m_view;
    IBoardEvents& m_events;
    CWintab m_wintab;
    HCTX m_hCtx = nullptr;
    SIZE m_size{0, 0};
    std::string m_deviceName;
    CTabletPen m_pen{*this};
};
