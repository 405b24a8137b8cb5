// The notice box's rules: answers, button places, time-out, countdown and share codes.
#include "confclient/notices/NoticeBoxRules.h"

#include <algorithm>

bool NoticeBoxWaits(int nMode)
{
    return nMode == NOTICEBOX_MODAL || nMode == NOTICEBOX_RECONNECT;
}

int NoticeBoxAnswerOf(int nButtonId)
{
    if (nButtonId == kNoticeButtonOk) return NOTICEBOX_FIRST;
    if (nButtonId == kNoticeButtonCancel) return NOTICEBOX_SECOND;
    return NOTICEBOX_THIRD;
}

std::array<int, 3> NoticeButtonPlaces(int nCount, int nBoxWidth, int nButtonWidth, int nGap, int nMode)
{
    std::array<int, 3> x{0, 0, 0};
    if (nCount < 1) return x;
    if (nCount > 3) nCount = 3;
    const int nRow = nCount * nButtonWidth + (nCount - 1) * nGap;
    // 0 means "absent": a row as wide as the box still starts one pixel in.
    const int nLeft = std::max(1, (nBoxWidth - nRow) / 2);
    for (int i = 0; i < nCount; ++i)
        x[i] = nLeft + i * (nButtonWidth + nGap);
    if (nMode == NOTICEBOX_RECONNECT) x[0] = std::max(1, x[0] - 30);
    return x;
}

NoticeTimeout NoticeTimeoutAction(int nMode)
{
    if (NoticeBoxWaits(nMode)) return NoticeTimeout::EndFirst;
    if (nMode == NOTICEBOX_SHARE_QUESTION) return NoticeTimeout::Cancel;
    return NoticeTimeout::Close;
}

int ReconnectSecondsLeft(uint16_t wTimeout, uint32_t dwStartTicks, uint32_t dwNowTicks)
{
    const uint32_t dwElapsed = (dwNowTicks - dwStartTicks) / 1000;
    return dwElapsed >= wTimeout ? 0 : static_cast<int>(wTimeout - dwElapsed);
}

bool EscapeIsThirdButton(int nCount)
{
    return nCount >= 3;
}

int ShareAcceptCode(uint16_t wSharingUser, uint16_t wRequestedSharer)
{
    constexpr uint16_t kNobody = 0xFFFF;
    if (wSharingUser == kNobody && wRequestedSharer == kNobody) return 0;
    return wSharingUser == kNobody ? 2 : 3;
}
