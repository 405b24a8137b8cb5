// What the program's notice box decides without a window: its answers, button places, time-out
// and the seconds its reconnection text counts down.
#pragma once
#include <array>
#include <cstdint>

// How a box is shown: 0 waits for the user; 1, 2, 3 do not wait (2 is the session's one notice,
// 3 asks whether to share a desktop); 4 waits and counts the reconnection down.
enum NoticeBoxMode : int
{
    NOTICEBOX_MODAL = 0,
    NOTICEBOX_MODELESS = 1,
    NOTICEBOX_NOTICE = 2,
    NOTICEBOX_SHARE_QUESTION = 3,
    NOTICEBOX_RECONNECT = 4,
};

// The answers of a box that waits: its first, second and third button.
enum NoticeBoxAnswer : int
{
    NOTICEBOX_FIRST = 1,
    NOTICEBOX_SECOND = 2,
    NOTICEBOX_THIRD = 3,
};

// The control ids of the three buttons.
constexpr int kNoticeButtonOk = 1;
constexpr int kNoticeButtonCancel = 2;
constexpr int kNoticeButtonThird = 1040;

bool NoticeBoxWaits(int nMode);
// The answer of the button that ended a waiting box: OK first, Cancel second, anything else third
// (the third button, or the room closing under the box).
int NoticeBoxAnswerOf(int nButtonId);

// The x of the first, second and third button of a box nBoxWidth wide with nCount (1..3) buttons
// nButtonWidth wide and nGap apart, centred; 0 for a button that is absent. A reconnection box
// moves its first button 30 pixels left.
std::array<int, 3> NoticeButtonPlaces(int nCount, int nBoxWidth, int nButtonWidth, int nGap, int nMode);

// What the box does when its time-out passes.
enum class NoticeTimeout
{
    EndFirst, // a waiting box ends as if its first button were pressed
    Cancel,   // the desktop-share question counts as declined, then closes
    Close,    // a box that does not wait closes
};
NoticeTimeout NoticeTimeoutAction(int nMode);

// The seconds a reconnection box shows: its time-out less the whole seconds since it started,
// never below 0. Tick counts wrap.
int ReconnectSecondsLeft(uint16_t wTimeout, uint32_t dwStartTicks, uint32_t dwNowTicks);

// Escape acts as the third button only on a box that has one.
bool EscapeIsThirdButton(int nCount);

// The desktop-share answer code of the share question's first button, from the session's sharing
// user and requested sharer (65535: nobody): 0 when neither is set (the local user becomes the
// sharer), 2 when only a sharer was requested, 3 when someone shares.
int ShareAcceptCode(uint16_t wSharingUser, uint16_t wRequestedSharer);
// The code of the share question's Cancel (and of its time-out).
constexpr int kShareDeclineCode = 1;
