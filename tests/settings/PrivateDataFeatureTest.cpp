// The private data's load fills the room state; a refused load or save is told with its
// reason, except the one that only means nothing was saved yet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "confclient/settings/PrivateDataFeature.h"
#include "tests/session/RecordedNotices.h"
#include "tests/core/TestLogs.h"

namespace
{
struct PrivateData
{
    CRoomState room;
    RecordedNotices notices;
    LogLines log;
    CPrivateDataFeature feature{room, notices, &log};
    RoomHandlers handlers{.pPrivateData = &feature};

    void Dispatch(uint16_t wCommand, const Bytes& payload, uint32_t dwExtra = 0)
    {
        QNPacketDesc desc;
        desc.pData = payload.empty() ? nullptr : payload.data();
        desc.nLength = static_cast<uint32_t>(payload.size());
        desc.dwExtra = dwExtra;
        DispatchRoomCommand(handlers, &log, wCommand, desc);
    }
};

Bytes PhoneBook(uint16_t wKind, const std::u16string& szText)
{
    Bytes out;
    EncodePrivateData(QNPrivateData{wKind, szText}, out);
    return out;
}
} // namespace

TEST(PrivateDataFeature, LoadedTextReplacesTheKeptOne)
{
    struct
    {
        const char* pszCase;
        Bytes payload;
        std::u16string szKept;
        std::string szLog;
    } cases[] = {
        {"phone book", PhoneBook(2, u"Ann 123"), u"Ann 123", "2 [PRIVATE_DATA] 7 characters"},
        {"another kind", PhoneBook(3, u"Ann 123"), u"old",
         "1 [ROOM] command 901: payload of 20 bytes dropped"},
        {"no length", {2, 0, 0, 0}, u"old", "1 [ROOM] command 901: payload of 4 bytes dropped"},
    };
    for (const auto& c : cases)
    {
        PrivateData d;
        d.room.szPrivateData = u"old";
        d.Dispatch(ACK_PRIVATE_LOADDATA, c.payload);
        EXPECT_EQ(c.szKept, d.room.szPrivateData) << c.pszCase;
        EXPECT_EQ(std::vector<std::string>{c.szLog}, d.log.lines) << c.pszCase;
        EXPECT_TRUE(d.notices.boxes.empty()) << c.pszCase;
    }
}

TEST(PrivateDataFeature, RefusalShowsItsTextAndReason)
{
    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        uint32_t dwReason;
        std::vector<std::u16string> boxes;
        std::vector<std::string> log;
    } cases[] = {
        {"load refused",
         NAK_PRIVATE_LOADDATA,
         1405,
         {u"<IDS_MSG_PHONE_LOADFAIL> (1405)"},
         {"4 [NAK_PRIVATE_LOADDATA] <IDS_MSG_PHONE_LOADFAIL>"}},
        {"save refused",
         NAK_PRIVATE_SAVEDATA,
         7,
         {u"<IDS_MSG_PHONE_SAVEFAIL> (7)"},
         {"4 [NAK_PRIVATE_SAVEDATA] <IDS_MSG_PHONE_SAVEFAIL>"}},
        {"nothing saved yet", NAK_PRIVATE_LOADDATA, 1406, {}, {}},
        {"nothing saved yet, on save", NAK_PRIVATE_SAVEDATA, 1406, {}, {}},
    };
    for (const auto& c : cases)
    {
        PrivateData d;
        d.room.szPrivateData = u"kept";
        d.Dispatch(c.wCommand, {}, c.dwReason);
        EXPECT_EQ(c.boxes, d.notices.boxes) << c.pszCase;
        EXPECT_EQ(c.log, d.log.lines) << c.pszCase;
        EXPECT_EQ(u"kept", d.room.szPrivateData) << c.pszCase;
    }
}
