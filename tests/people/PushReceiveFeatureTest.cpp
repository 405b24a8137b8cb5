// Another member's push reaches the control bar with the sender's user index and name; the own
// push coming back and anything outside a room go nowhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/people/PushReceiveFeature.h"

namespace
{
constexpr uint16_t kMeChannel = 2;
constexpr uint16_t kMe = 20;
constexpr uint16_t kBob = 40;
constexpr uint16_t kStranger = 90;

std::u16string Number(size_t n)
{
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

struct RecordedPushView : IPushReceiveView
{
    std::vector<std::u16string> calls;

    bool BeginPushReceive(uint16_t wSender, const std::u16string& szSender, const std::u16string& szFile,
                          uint32_t dwSize) override
    {
        calls.push_back(u"begin " + Number(wSender) + u" " + szSender + u" " + szFile + u" " +
                        Number(dwSize));
        return true;
    }
    void OnPushCancelled(uint16_t wSender, const std::u16string& szSender) override
    {
        calls.push_back(u"cancel " + Number(wSender) + u" " + szSender);
    }
    void OnPushData(uint16_t wSender, const uint8_t*, size_t n) override
    {
        calls.push_back(u"data " + Number(wSender) + u" " + Number(n));
    }
};

struct Fixture
{
    CRoomState room;
    RecordedPushView view;
    CPushReceiveFeature push{room, view};

    explicit Fixture(bool bInRoom)
    {
        if (!bInRoom) return;
        room.info.wRoomIndex = 7;
        room.wMyChannel = kMeChannel;
        S_ROOMUSERINFO me, bob;
        me.channel = kMeChannel;
        me.userIndex = kMe;
        bob.channel = 4;
        bob.userIndex = kBob;
        bob.Name = u"Bob";
        room.users.AddUser(me);
        room.users.AddUser(bob);
    }
};
} // namespace

TEST(PushReceiveFeature, AnotherMembersPushReachesTheControlBar)
{
    const uint8_t block[] = {1, 2, 3};
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint16_t wSender;
        std::vector<std::u16string> calls;
    } cases[] = {
        {"from a member", true, kBob, {u"begin 40 Bob plan.pdf 1234", u"data 40 3", u"cancel 40 Bob"}},
        {"from someone who left", true, kStranger, {u"begin 90  plan.pdf 1234", u"data 90 3", u"cancel 90 "}},
        {"my own push", true, kMe, {}},
        {"no room", false, kBob, {}},
    };
    for (const auto& c : cases)
    {
        Fixture f(c.bInRoom);
        f.push.OnPushBegin(QNPushFile{c.wSender, 1234, u"plan.pdf"});
        f.push.OnPushChunk(QNPushChunk{c.wSender, block, sizeof block});
        f.push.OnPushCancel(c.wSender);
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
    }
}
