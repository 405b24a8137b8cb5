// The modeless box: shown without waiting, owned, closed by its OK, and gone with its owner.
#include <gtest/gtest.h>

#include "confclient/session/maindlg/ModelessBox.h"
#include "ResourceIds.h"
#include "tests/winui/TestResources.h"
#include "winui/Dialog.h"

namespace
{
std::wstring TextOf(HWND h)
{
    wchar_t buf[256] = {};
    ::GetWindowTextW(h, buf, 255);
    return buf;
}

bool GoneSoon(HWND h)
{
    for (int i = 0; i < 100 && ::IsWindow(h); ++i)
        PumpMessages(20);
    return !::IsWindow(h);
}
} // namespace

TEST(ModelessBox, ShowsWithoutWaitingAndClosesByItsButtonOrWithItsOwner)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    CDialog owner;
    ASSERT_TRUE(owner.Create(IDD_CONTROL_SAMPLE));
    owner.ShowWindow(SW_SHOW);

    HWND hBox = ShowModelessBox(owner.m_hWnd, L"The room is locked.", L"Quillon");
    ASSERT_NE(nullptr, hBox);
    EXPECT_TRUE(::IsWindowVisible(hBox));
    EXPECT_EQ(owner.m_hWnd, ::GetWindow(hBox, GW_OWNER));
    EXPECT_EQ(L"Quillon", TextOf(hBox));
    EXPECT_EQ(L"The room is locked.", TextOf(::GetDlgItem(hBox, IDC_MODELESSBOX_TEXT)));
    // The owner still takes input while the box is up.
    EXPECT_TRUE(owner.IsWindowEnabled());

    // OK posted from outside, as a test or a user's click would.
    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(GoneSoon(hBox));

    // Two boxes at once; the owner going takes both.
    HWND hFirst = ShowModelessBox(owner.m_hWnd, L"one", L"Quillon");
    HWND hSecond = ShowModelessBox(owner.m_hWnd, L"two", L"Quillon");
    ASSERT_TRUE(hFirst && hSecond);
    owner.DestroyWindow();
    EXPECT_TRUE(GoneSoon(hFirst));
    EXPECT_TRUE(GoneSoon(hSecond));
    PumpMessages(50); // the boxes' objects are freed from the loop
}
