// Any bytes as the payload of every inbound command: the shared decoders and the
// session record must read within bounds and never keep more than 500 users.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNFrameCodec.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/transport/QNSessionRecord.h"

namespace
{
class CNullQueue : public IFrameQueue
{
public:
    void QueueFrame(std::vector<uint8_t>) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> copy(pData, pData + nSize); // exact size: a read past it is caught
    const uint8_t* p = copy.data();
    QNLoginRequest login;
    QNLoginAck ack;
    QNLobbyUser user;
    QNLobbyConf conf;
    std::vector<QNLobbyUser> users;
    std::vector<QNLobbyConf> confs;
    QNSystemOption option;
    QNConfOpen open;
    QNRoomInfo room;
    QNConfJoin join;
    QNRoomUser roomUser;
    QNRoomRights rights;
    QNViewMode view;
    QNRoomState state;
    QNChat chat;
    DecodeLogin(p, nSize, login);
    DecodeLoginAck(p, nSize, ack);
    DecodeLobbyUser(p, nSize, user);
    DecodeLobbyConf(p, nSize, conf);
    DecodeUserList(p, nSize, users);
    DecodeConfList(p, nSize, confs);
    DecodeSystemOption(p, nSize, option);
    DecodeConfOpen(p, nSize, open);
    DecodeRoomInfo(p, nSize, room);
    DecodeConfJoin(p, nSize, join);
    DecodeRoomUser(p, nSize, roomUser);
    DecodeRoomRights(p, nSize, rights);
    DecodeViewMode(p, nSize, view);
    DecodeRoomState(p, nSize, state);
    if (DecodeChat(p, nSize, chat) && chat.szText.size() > kMaxChatUnits) __builtin_trap();

    CNullQueue queue;
    CQNFrameCodec codec(queue, nullptr);
    CQNSessionRecord record;
    for (uint16_t c :
         {ACK_SEED_KEY, ACK_LOBY_LOGIN, INFO_USER_LOGIN, INFO_USER_LOGOUT, DAT_LOBY_USERLIST, ACK_CONF_OPEN,
          ACK_CONF_JOIN, INFO_CONF_JOIN, INFO_CONF_QUIT, INFO_CONF_CLOSE, INFO_CONF_DELETE})
        record.Update(c, p, nSize, codec);
    if (record.UserCount() > kMaxSessionUsers) __builtin_trap();
    return 0;
}
