// A file another member pushes reaches the control bar with the sender's name and two chat
// notices; its chunks never reach past the payload whatever length the descriptor claims.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/PushReceiveFeature.h"
#include "tests/session/RecordedNotices.h"

namespace
{
constexpr uint16_t kMe = 2;
constexpr uint16_t kBob = 4;
constexpr uint16_t kStranger = 9;

struct RecordedPushView : IPushReceiveView
{
    bool bControlBar = true;
    std::vector<std::u16string> calls;
    const uint8_t* pData = nullptr;

    bool BeginPushReceive(uint16_t wPushId, const std::u16string& szSender, const std::u16string& szFile,
                          uint32_t dwSize) override
    {
        calls.push_back(u"begin " + Number(wPushId) + u" " + szSender + u" " + szFile + u" " +
                        Number(dwSize));
        return bControlBar;
    }
    void OnPushCancelled(uint16_t wPushId) override { calls.push_back(u"cancel " + Number(wPushId)); }
    void OnPushData(const uint8_t* p, size_t n) override
    {
        pData = p;
        calls.push_back(u"data " + Number(n));
    }
    static std::u16string Number(size_t n)
    {
        std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }
};

struct Fixture
{
    CRoomState room;
    RecordedNotices notices;
    RecordedPushView view;
    CPushReceiveFeature push{room, notices, view};

    explicit Fixture(bool bInRoom = true)
    {
        if (!bInRoom) return;
        room.info.wRoomIndex = 7;
        room.wMyChannel = kMe;
        S_ROOMUSERINFO bob;
        bob.channel = kBob;
        bob.Name = u"Bob";
        room.users.AddUser(bob);
    }
};
} // namespace

TEST(PushReceiveFeature, AnotherMembersPushBeginsOnTheControlBar)
{
    struct
    {
        const char* pszCase;
        bool bInRoom;
        bool bControlBar;
        uint16_t wSender;
        std::vector<std::u16string> calls;
        std::vector<std::u16string> notices;
    } cases[] = {
        {"from a member",
         true,
         true,
         kBob,
         {u"begin 5 Bob plan.pdf 1234"},
         {u"<IDS_MSG_PUSH_MAN>", u"Bob <IDS_MSG_PUSHRECV_START>"}},
        {"from someone who left",
         true,
         true,
         kStranger,
         {u"begin 5  plan.pdf 1234"},
         {u"<IDS_MSG_PUSH_MAN>", u" <IDS_MSG_PUSHRECV_START>"}},
        {"no control bar", true, false, kBob, {u"begin 5 Bob plan.pdf 1234"}, {}},
        {"my own push", true, true, kMe, {}, {}},
        {"no room", false, true, kBob, {}, {}},
    };
    for (const auto& c : cases)
    {
        Fixture f(c.bInRoom);
        f.view.bControlBar = c.bControlBar;
        f.push.OnPushBegin(QNPushBegin{5, c.wSender, 1234, u"plan.pdf"});
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.notices, f.notices.chatNotices) << c.pszCase;
    }
}

TEST(PushReceiveFeature, CancelReachesTheControlBarInARoomOnly)
{
    for (bool bInRoom : {true, false})
    {
        Fixture f(bInRoom);
        f.push.OnPushCancel(5);
        EXPECT_EQ(bInRoom ? std::vector<std::u16string>{u"cancel 5"} : std::vector<std::u16string>{},
                  f.view.calls);
    }
}

TEST(PushReceiveFeature, ChunkLengthIsTheDescriptorsBoundedByThePayload)
{
    const uint8_t payload[] = {5, 0, 'a', 'b', 'c', 'd', 'e'};
    const QNPushChunk chunk{payload + 2, 5};
    struct
    {
        bool bInRoom;
        uint32_t dwExtra;
        std::vector<std::u16string> calls;
    } cases[] = {
        {true, 3, {u"data 3"}},
        {true, 5, {u"data 5"}},
        {true, 0xFFFFFFFFu, {u"data 5"}}, // a claimed length past the payload
        {false, 3, {}},
    };
    for (const auto& c : cases)
    {
        Fixture f(c.bInRoom);
        QNPacketDesc desc;
        desc.dwExtra = c.dwExtra;
        desc.pData = payload;
        desc.nLength = sizeof(payload);
        f.push.OnPushChunk(INFO_PUSH_CHUNK, desc, chunk);
        EXPECT_EQ(c.calls, f.view.calls) << c.dwExtra;
        if (!c.calls.empty())
        {
            EXPECT_EQ(payload + 2, f.view.pData);
        }
    }
}
