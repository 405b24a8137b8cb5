// The lobby dispatcher: every lobby command has a row, each row reaches its
// handler with the decoded record, and a refused payload is dropped once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/session/lobby/LobbyDispatcher.h"

namespace
{
std::string Narrow(const std::u16string& s)
{
    return std::string(s.begin(), s.end());
}

// Records each call as one line: the handler's name and the fields that matter.
class FakeLobbyHandler : public ILobbyHandler
{
public:
    std::vector<std::string> calls;

    void OnKeepAliveAnswer() override { calls.push_back("keep-alive"); }
    void OnSeedKeyAnswer() override { calls.push_back("seed-key"); }
    void OnLobbyUserLogin(const QNLobbyUser& u) override { calls.push_back("login " + User(u)); }
    void OnLobbyUserLogout(const QNLobbyUser& u) override { calls.push_back("logout " + User(u)); }
    void OnLobbyConfRecord(const QNLobbyConf& c) override { calls.push_back("conf " + Conf(c)); }
    void OnLobbyLoginAck(const QNLoginAck& a) override
    {
        calls.push_back("ack " + std::to_string(a.wLevel) + " " + std::to_string(a.wUserIndex) + " " +
                        Narrow(a.szName));
    }
    void OnLobbyLoginRefused() override { calls.push_back("refused"); }
    void OnLobbyBanishAnswer() override { calls.push_back("banish"); }
    void OnForcedLogout() override { calls.push_back("forced"); }
    void OnLobbyUserList(const std::vector<QNLobbyUser>& users) override
    {
        std::string s = "users";
        for (const QNLobbyUser& u : users)
            s += " " + User(u);
        calls.push_back(s);
    }
    void OnLobbyUserListChanged() override { calls.push_back("users-changed"); }
    void OnLobbyConfList(const std::vector<QNLobbyConf>& confs) override
    {
        std::string s = "confs";
        for (const QNLobbyConf& c : confs)
            s += " " + Conf(c);
        calls.push_back(s);
    }
    void OnInviteAccepted(const std::optional<uint16_t>& room) override
    {
        calls.push_back("invite " + (room ? std::to_string(*room) : std::string("none")));
    }
    void OnSystemOption(const QNSystemOption& o) override
    {
        calls.push_back("option " + Narrow(o.szDssAddress) + ":" + std::to_string(o.wDssPort));
    }
    void OnConfEntryText(const std::u16string& text) override { calls.push_back("entry " + Narrow(text)); }
    void OnAgendaLocked() override { calls.push_back("agenda-locked"); }
    void OnLobbyBroadcast(const uint32_t& value) override
    {
        calls.push_back("broadcast " + std::to_string(value));
    }
    void OnNetworkWarning() override { calls.push_back("network warning"); }
    void OnDroppedPayload(uint16_t wCommand, size_t n) override
    {
        calls.push_back("dropped " + std::to_string(wCommand) + " " + std::to_string(n));
    }

private:
    static std::string User(const QNLobbyUser& u)
    {
        return std::to_string(u.wUserIndex) + "/" + Narrow(u.szUserId);
    }
    static std::string Conf(const QNLobbyConf& c)
    {
        return std::to_string(c.wRoomIndex) + "/" + Narrow(c.szTitle);
    }
};

Bytes Of(void (*encode)(const QNLobbyUser&, Bytes&), const QNLobbyUser& u)
{
    Bytes b;
    encode(u, b);
    return b;
}

Bytes Cut(Bytes b, size_t n)
{
    b.resize(n);
    return b;
}
} // namespace

TEST(LobbyDispatcher, EveryLobbyCommandHasARowAndOnlyThose)
{
#define QN_COMMAND(code, name, cipher, table, list)                                                          \
    if (IsLobbyCommand(code))                                                                                \
    {                                                                                                        \
        EXPECT_TRUE(HasLobbyRow(code)) << #name << " has no lobby row";                                      \
    }
#include "confclient/network/QNCommands.def"
#undef QN_COMMAND
    for (uint32_t c = 0; c <= 0xFFFF; ++c)
        if (HasLobbyRow(static_cast<uint16_t>(c)))
        {
            EXPECT_TRUE(IsLobbyCommand(static_cast<uint16_t>(c))) << c << " is routed to the room";
            EXPECT_NE(nullptr, FindCommandInfo(static_cast<uint16_t>(c)))
                << c << " is not in the command list";
        }
}

TEST(LobbyDispatcher, EachCommandReachesItsHandlerOnceOrIsDroppedOnce)
{
    QNLobbyUser alice;
    alice.wUserIndex = 7;
    alice.szUserId = u"alice";
    QNLobbyUser bob;
    bob.wUserIndex = 8;
    bob.szUserId = u"bob";
    QNLobbyConf room;
    room.wRoomIndex = 3;
    room.szTitle = u"Maths";
    QNLoginAck ack;
    ack.wLevel = 2;
    ack.wUserIndex = 7;
    ack.szName = u"Alice";
    QNSystemOption option;
    option.szDssAddress = u"10.0.0.1";
    option.wDssPort = 9000;

    const Bytes user = Of(EncodeLobbyUser, alice);
    Bytes users, confs, conf, ackBytes, optionBytes;
    EncodeUserList({alice, bob}, users);
    EncodeConfList({room}, confs);
    EncodeLobbyConf(room, conf);
    EncodeLoginAck(ack, ackBytes);
    EncodeSystemOption(option, optionBytes);
    const Bytes entry = {3, 0, '5', 0, '\n', 0, 'X', 0};

    struct
    {
        uint16_t wCommand;
        Bytes payload;
        std::vector<std::string> calls;
    } cases[] = {
        {ACK_KEEP_ALIVE, {}, {"keep-alive"}},
        {ACK_SEED_KEY, Bytes(128, 1), {"seed-key"}},
        {INFO_USER_LOGIN, user, {"login 7/alice"}},
        {INFO_USER_LOGIN, Cut(user, 3), {"dropped 100 3"}},
        {INFO_USER_LOGOUT, user, {"logout 7/alice"}},
        {INFO_USER_LOGOUT, {}, {"dropped 101 0"}},
        {INFO_CONF_RECORD_LOBBY, conf, {"conf 3/Maths"}},
        {INFO_CONF_RECORD_LOBBY,
         Cut(conf, conf.size() - 1),
         {"dropped 120 " + std::to_string(conf.size() - 1)}},
        {ACK_LOBY_LOGIN, ackBytes, {"ack 2 7 Alice"}},
        // A short login answer still logs in, its missing fields at their defaults.
        {ACK_LOBY_LOGIN, {}, {"ack 0 65535 "}},
        {NAK_LOBY_LOGIN, {}, {"refused"}},
        {ACK_LOBY_BANISH, {}, {"banish"}},
        {INFO_LOBY_FORCED_LOGOUT, {}, {"forced"}},
        {DAT_LOBY_USERLIST, users, {"users 7/alice 8/bob"}},
        {DAT_LOBY_USERLIST,
         Cut(users, users.size() - 2),
         {"dropped 231 " + std::to_string(users.size() - 2)}},
        {INFO_LOBY_USERLIST_CHANGED, {}, {"users-changed"}},
        {DAT_LOBY_CONFLIST, confs, {"confs 3/Maths"}},
        {DAT_LOBY_CONFLIST, Cut(confs, 1), {"dropped 241 1"}},
        {INFO_LOBY_INVITE_ACCEPTED, {9, 0}, {"invite 9"}},
        // An invitation without a room is answered as a failed join, not dropped.
        {INFO_LOBY_INVITE_ACCEPTED, {9}, {"invite none"}},
        {INFO_SERVER_NOTICE, optionBytes, {"option 10.0.0.1:9000"}},
        {INFO_SYSTEM_OPTION, optionBytes, {"option 10.0.0.1:9000"}},
        {INFO_SYSTEM_OPTION, Cut(optionBytes, 4), {"dropped 251 4"}},
        {INFO_LOBY_CONF_ENTRY, entry, {"entry 5\nX"}},
        {INFO_LOBY_CONF_ENTRY, Cut(entry, 6), {"dropped 261 6"}},
        {NAK_LOBY_AGENDALOCK, {}, {"agenda-locked"}},
        {INFO_LOBY_BROADCAST, {1, 2, 0, 0}, {"broadcast 513"}},
        {INFO_LOBY_BROADCAST, {1, 2}, {"dropped 271 2"}},
        {CMD_SEED_KEY, Bytes(16, 0), {}},
        {INFO_NETWORK_STATE, {}, {"network warning"}},
        {INFO_CONF_CLOSE, {3, 0}, {}},
        {272, {}, {}},
    };
    for (const auto& c : cases)
    {
        FakeLobbyHandler handler;
        DispatchLobbyCommand(c.wCommand, c.payload.empty() ? nullptr : c.payload.data(), c.payload.size(),
                             handler);
        EXPECT_EQ(c.calls, handler.calls) << "command " << c.wCommand << ", " << c.payload.size() << " bytes";
    }
}

TEST(LobbyDispatcher, ANullPayloadReadsAsEmptyWhateverItsLength)
{
    FakeLobbyHandler handler;
    DispatchLobbyCommand(INFO_USER_LOGIN, nullptr, 40, handler);
    DispatchLobbyCommand(INFO_LOBY_BROADCAST, nullptr, 4, handler);
    EXPECT_EQ((std::vector<std::string>{"dropped 100 0", "dropped 271 0"}), handler.calls);
}
