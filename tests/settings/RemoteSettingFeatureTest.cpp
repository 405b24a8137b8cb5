// A remote setting changes the frame rate or the video stop in the room state; any other is
// noticed in the chat with the setter's room name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "confclient/settings/RemoteSettingFeature.h"
#include "tests/session/RecordedNotices.h"

namespace
{
struct LogLines : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};

// The sound notice's text carries the setter's name where the language table puts "%s".
struct FormatNotices : RecordedNotices
{
    std::u16string Text(const char* pszKey) const override
    {
        if (std::strcmp(pszKey, "IDMS_AUDIO_REMOTECTRL") == 0) return u"%s set your sound";
        return RecordedNotices::Text(pszKey);
    }
};
} // namespace

TEST(RemoteSettingFeature, FrameRateAndVideoStopAreKeptOtherSettingsNoticed)
{
    constexpr uint16_t kChief = 2;
    struct
    {
        const char* pszCase;
        QNRemoteSetting setting;
        uint32_t dwFrameRate;
        uint32_t dwVideoStop;
        std::vector<std::u16string> notices;
        std::vector<std::string> log;
    } cases[] = {
        {"frame rate",
         {REMOTESETTING_FRAMERATE, kChief, 30},
         30,
         1,
         {},
         {"2 [INFO_CONF_REMOTESETTING] SendFrame old:15, new:30"}},
        {"video stop",
         {REMOTESETTING_VIDEOSTOP, kChief, 0},
         15,
         0,
         {},
         {"2 [INFO_CONF_REMOTESETTING] VideoStop old:1, new:0"}},
        {"sound",
         {REMOTESETTING_AUDIO, kChief, 5},
         15,
         1,
         {u"Chief set your sound"},
         {"2 [INFO_CONF_REMOTESETTING] Chief set your sound"}},
        {"another selector",
         {9, kChief, 5},
         15,
         1,
         {u"Chief set your sound"},
         {"2 [INFO_CONF_REMOTESETTING] Chief set your sound"}},
        {"setter who left",
         {REMOTESETTING_AUDIO, 6, 5},
         15,
         1,
         {u" set your sound"},
         {"2 [INFO_CONF_REMOTESETTING]  set your sound"}},
    };
    for (const auto& c : cases)
    {
        CRoomState room;
        S_ROOMUSERINFO chief;
        chief.channel = kChief;
        chief.Name = u"Chief";
        room.users.AddUser(chief);
        room.dwFrameRate = 15;
        room.dwVideoStop = 1;
        FormatNotices notices;
        LogLines log;
        CRemoteSettingFeature feature(room, notices, &log);
        RoomHandlers handlers{.pRemoteSetting = &feature};

        Bytes payload;
        EncodeRemoteSetting(c.setting, payload);
        QNPacketDesc desc;
        desc.pData = payload.data();
        desc.nLength = static_cast<uint32_t>(payload.size());
        DispatchRoomCommand(handlers, &log, INFO_CONF_REMOTESETTING, desc);

        EXPECT_EQ(c.dwFrameRate, room.dwFrameRate) << c.pszCase;
        EXPECT_EQ(c.dwVideoStop, room.dwVideoStop) << c.pszCase;
        EXPECT_EQ(c.notices, notices.chatNotices) << c.pszCase;
        EXPECT_EQ(c.log, log.lines) << c.pszCase;
    }
}
