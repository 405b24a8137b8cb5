// Board capture as a mode over a fake system: the ways in and out, what the hooks swallow, and
// that the cursor and the hooks come back on every way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "confclient/room/BoardCapture.h"

namespace
{
struct FakeCaptureHost : ICaptureHost
{
    std::vector<std::string> calls;
    bool bHooksFail = false;
    bool bOverlayFails = false;
    bool bCursorReplaced = false;
    bool bHooked = false;
    void SetCaptureCursor(bool bOn) override
    {
        bCursorReplaced = bOn;
        calls.push_back(bOn ? "cursor" : "system cursors");
    }
    bool InstallHooks() override
    {
        calls.push_back("hooks");
        bHooked = !bHooksFail;
        return !bHooksFail;
    }
    void RemoveHooks() override
    {
        bHooked = false;
        calls.push_back("unhook");
    }
    bool CreateOverlay() override
    {
        calls.push_back("overlay");
        return !bOverlayFails;
    }
    void DestroyOverlay() override { calls.push_back("no overlay"); }
    S_CAPRECT WindowRect(uintptr_t hWindow) const override
    {
        return {static_cast<int>(hWindow), 20, 300, 200};
    }
    void ShowOverlayAt(const S_CAPRECT& rc) override
    {
        calls.push_back("overlay at " + std::to_string(rc.x));
    }
    void StartCaptureTimer() override { calls.push_back("timer"); }
    void PostEnd() override { calls.push_back("post end"); }
    void LoadCapturedPage() override { calls.push_back("load page"); }
    void ShowMainView() override { calls.push_back("show room"); }
};

const std::vector<std::string> kStart = {"cursor", "overlay", "hooks"};
const std::vector<std::string> kEnd = {"system cursors", "unhook", "no overlay", "show room"};

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

TEST(BoardCapture, ARightClickCapturesThePointedWindowOnce)
{
    FakeCaptureHost host;
    CBoardCapture capture(host);
    ASSERT_TRUE(capture.Start(true));
    EXPECT_FALSE(capture.Start(true)) << "one capture at a time";
    EXPECT_FALSE(capture.OnMouse(CBoardCapture::MOUSE_MOVE, 100, false));
    EXPECT_FALSE(capture.OnMouse(CBoardCapture::MOUSE_MOVE, 200, true)) << "a drag keeps the target";
    EXPECT_EQ(capture.Target(), 100u);
    EXPECT_TRUE(capture.OnMouse(CBoardCapture::MOUSE_RIGHT_DOWN, 100, false));
    EXPECT_TRUE(capture.OnMouse(CBoardCapture::MOUSE_RIGHT_UP, 100, false))
        << "swallowed, not captured again";
    EXPECT_TRUE(capture.OnCaptureTimer());
    EXPECT_FALSE(capture.OnCaptureTimer());
    capture.OnReport(true);
    EXPECT_FALSE(capture.Running());
    EXPECT_EQ(host.calls, Then(Then(kStart, {"overlay at 100", "timer", "load page"}), kEnd));
    EXPECT_FALSE(host.bCursorReplaced);
    EXPECT_FALSE(host.bHooked);
}

TEST(BoardCapture, EveryWayOutGivesTheCursorAndHooksBack)
{
    enum Way
    {
        ESCAPE,
        FAILED_CAPTURE,
        ROOM_CLOSED,
        BAR_DESTROYED,
    };
    for (Way way : {ESCAPE, FAILED_CAPTURE, ROOM_CLOSED, BAR_DESTROYED})
    {
        FakeCaptureHost host;
        {
            CBoardCapture capture(host);
            ASSERT_TRUE(capture.Start(true));
            capture.OnMouse(CBoardCapture::MOUSE_MOVE, 7, false);
            switch (way)
            {
            case ESCAPE:
                EXPECT_FALSE(capture.OnKey(true, 'A'));
                EXPECT_TRUE(capture.OnKey(true, 27));
                EXPECT_TRUE(capture.OnKey(false, 27));
                EXPECT_TRUE(capture.Running()) << "the bar ends it when the posted message arrives";
                capture.OnReport(false);
                break;
            case FAILED_CAPTURE:
                capture.OnMouse(CBoardCapture::MOUSE_RIGHT_DOWN, 7, false);
                capture.OnReport(false);
                break;
            case ROOM_CLOSED:
                capture.End();
                EXPECT_FALSE(capture.OnCaptureTimer());
                break;
            case BAR_DESTROYED:
                break;
            }
        }
        EXPECT_FALSE(host.bCursorReplaced) << way;
        EXPECT_FALSE(host.bHooked) << way;
        std::vector<std::string> tail(host.calls.end() - 4, host.calls.end());
        EXPECT_EQ(tail, kEnd) << way;
        EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "load page"), 0) << way;
        EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "post end"), way == ESCAPE ? 1 : 0) << way;
    }
}

TEST(BoardCapture, StartsOnlyWhenEverythingIsThere)
{
    FakeCaptureHost host;
    CBoardCapture capture(host);
    EXPECT_FALSE(capture.Start(false));
    EXPECT_TRUE(host.calls.empty());
    host.bHooksFail = true;
    EXPECT_FALSE(capture.Start(true));
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"cursor", "overlay", "hooks", "no overlay", "system cursors"}));
    host.calls.clear();
    host.bHooksFail = false;
    host.bOverlayFails = true;
    EXPECT_FALSE(capture.Start(true));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "overlay", "system cursors"}));
    EXPECT_FALSE(capture.OnKey(true, 27)) << "no mode, no swallowed key";
    EXPECT_FALSE(capture.OnMouse(CBoardCapture::MOUSE_RIGHT_DOWN, 1, false));
}
