// Outbound command builders: one per command, each filling its payload through
// the shared codec and queuing the frame.
#include <algorithm>
#include <cstring>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "core/ByteWriter.h"

namespace
{
// Sent before the server has given the user an index.
bool IsLoginCommand(uint16_t c)
{
    return c == CMD_SEED_KEY || c == CMD_LOBY_LOGIN || c == CMD_LOBY_LOGIN_EX || c == CMD_LOBY_BANISH;
}
} // namespace

bool CQNInterface::SendCommand(uint16_t wCommand, uint16_t wSub, const uint8_t* pPayload, size_t nLen)
{
    // The key frame is the first on the wire: nothing is queued before it.
    if (!m_bKeySent) return false;
    if (!IsLoginCommand(wCommand) && m_record.MyUserIndex() == kNoIndex) return false;
    if (nLen > kMaxFrameLength - kFrameHeaderSize - SeedCipher::kBlockSize)
    {
        LogF(Host(), LOG_ERROR, "[SEND] command %u with %u bytes is too long", wCommand,
             static_cast<unsigned>(nLen));
        return false;
    }
    std::vector<uint8_t> frame(kFrameHeaderSize + nLen);
    BuildPacketHeader(wCommand, static_cast<uint32_t>(nLen), frame.data(), wSub);
    if (nLen) std::memcpy(frame.data() + kFrameHeaderSize, pPayload, nLen);
    if (IsRecordableCommand(wCommand)) RecordFrame(wCommand, pPayload, nLen, false);
    return m_codec.EncryptAndQueue(wCommand, frame.data(), nLen);
}

bool CQNInterface::SendKeepAlive()
{
    const uint8_t b = 0;
    return SendCommand(CMD_KEEP_ALIVE, 0, &b, 1);
}

bool CQNInterface::SendLogin(const std::u16string& szUserId, const std::u16string& szSecond, uint16_t wValue,
                             bool bPanel)
{
    Bytes p;
    EncodeLogin({szUserId, szSecond, wValue, static_cast<uint16_t>(bPanel ? 1 : 0)}, p);
    return SendCommand(bPanel ? CMD_LOBY_LOGIN_EX : CMD_LOBY_LOGIN, 0, p.data(), p.size());
}

bool CQNInterface::SendCmd220(const std::u16string& szUserId)
{
    Bytes p;
    ByteWriter(p).Utf16Field(szUserId, kIdUnits);
    return SendCommand(CMD_LOBY_BANISH, 0, p.data(), p.size());
}

bool CQNInterface::SendConfOpen(const QNConfOpen& open)
{
    Bytes p;
    EncodeConfOpen(open, p);
    return SendCommand(CMD_CONF_OPEN, 0, p.data(), p.size());
}

bool CQNInterface::SendConfJoin(uint16_t wRoomIndex, const std::u16string& szConfCode,
                                const std::u16string& szPassword)
{
    Bytes p;
    EncodeConfJoin({wRoomIndex, szConfCode, szPassword}, p);
    return SendCommand(CMD_CONF_JOIN, 0, p.data(), p.size());
}

bool CQNInterface::SendConfQuit()
{
    // Leaving drops what the room no longer needs, but an upload or a messenger
    // file that is under way goes on.
    ClearSendQueues(false);
    Bytes p;
    EncodeU16(m_record.RoomIndex(), p);
    bool bSent = SendCommand(CMD_CONF_QUIT, 0, p.data(), p.size());
    m_record.LeaveRoom();
    return bSent;
}

bool CQNInterface::SendChatText(uint32_t dwColour, const std::u16string& szText)
{
    Bytes p;
    EncodeChat({m_record.MyUserIndex(), dwColour, szText}, p);
    return SendCommand(CMD_CONF_CHAT, 0, p.data(), p.size());
}

bool CQNInterface::SendAvState(uint32_t dwState)
{
    Bytes p;
    EncodeU32(dwState, p);
    return SendCommand(CMD_CONF_AVSTATE, 0, p.data(), p.size());
}

bool CQNInterface::SendPresenterRequest(const QNPresenterRequest& r)
{
    Bytes p;
    EncodePresenterRequest(r, p);
    return SendCommand(CMD_CONF_PRESENTER, 0, p.data(), p.size());
}

bool CQNInterface::SendInviteReply(uint16_t wSender, uint16_t wInviter, bool bAccept)
{
    Bytes p;
    EncodeInviteReply({bAccept ? kInviteReplyAccepted : 0u, wSender, wInviter}, p);
    return SendCommand(CMD_MSG_INVITEREPLY, kNoIndex, p.data(), p.size());
}

bool CQNInterface::SendMessengerText(uint16_t wSender, uint16_t wReceiver, const std::u16string& szText)
{
    Bytes p;
    EncodeMessage({wSender, szText, wReceiver}, p);
    return SendCommand(CMD_MSG_TEXT, kNoIndex, p.data(), p.size());
}

bool CQNInterface::SendInvite(uint32_t dwRoomIndex, uint16_t wSender, uint16_t wReceiver)
{
    Bytes p;
    EncodeInvitation({dwRoomIndex, wSender, wReceiver}, p);
    return SendCommand(CMD_MSG_INVITE, kNoIndex, p.data(), p.size());
}

bool CQNInterface::SendUserOption(const QNUserOption& option)
{
    Bytes p;
    EncodeUserOption(option, p);
    return SendCommand(CMD_CONF_USEROPTION, 0, p.data(), p.size());
}

bool CQNInterface::SendRecorderStateQuery()
{
    Bytes p;
    EncodeU16(m_record.RoomIndex(), p);
    return SendCommand(CMD_CONF_RECORDERSTATE, 0, p.data(), p.size());
}

bool CQNInterface::SendRecordState(bool bOn, uint16_t wUser)
{
    Bytes p;
    EncodeRecordState({static_cast<uint8_t>(bOn ? 1 : 0), wUser}, p);
    return SendCommand(CMD_CONF_RECORD, 0, p.data(), p.size());
}

bool CQNInterface::SendCmd544()
{
    return SendCommand(CMD_CONF_RECORDERSTATE, 0, nullptr, 0);
}

bool CQNInterface::SendVoice(const uint8_t* p, size_t n, uint8_t bFlag)
{
    if (bFlag != 2) return SendCommand(DAT_VOICE, 0, p, n);
    if (GetRecordState() != 1) return false;
    RecordFrame(DAT_VOICE, p, n, false);
    return true;
}

bool CQNInterface::SendAudioSettings(const QNAudioSettings& r)
{
    Bytes p;
    EncodeAudioSettings(r, p);
    return SendCommand(CMD_CONF_AUDIOSETTINGS, 0, p.data(), p.size());
}

bool CQNInterface::SendVideo(uint16_t wCommand, const uint8_t* p, size_t n)
{
    if (wCommand != DAT_VIDEO && wCommand != DAT_VIDEO_FRAME && wCommand != DAT_VIDEO_2020 &&
        wCommand != DAT_VIDEO_2030)
        return false;
    return SendCommand(wCommand, 0, p, n);
}

bool CQNInterface::SendMovieVideo(const uint8_t* p, size_t n)
{
    return SendCommand(DAT_MOVIE_VIDEO, 0, p, n);
}
bool CQNInterface::SendMovieAudio(const uint8_t* p, size_t n)
{
    return SendCommand(DAT_MOVIE_AUDIO, 0, p, n);
}

bool CQNInterface::SendBoardData(uint16_t wCommand, const uint8_t* p, size_t n)
{
    if (wCommand != DAT_BOARD_ROOM && wCommand != DAT_BOARD_LOBBY) return false;
    return SendCommand(wCommand, 0, p, n);
}

bool CQNInterface::SendPushFile(uint16_t wSender, uint32_t dwSize, const std::u16string& szName)
{
    Bytes p;
    EncodePushFile({wSender, dwSize, szName}, p);
    return SendCommand(CMD_PUSH_BEGIN, 0, p.data(), p.size());
}

bool CQNInterface::SendPushData(uint16_t wSender, const uint8_t* p, size_t n)
{
    Bytes b;
    EncodePushChunk({wSender, p, n}, b);
    return SendCommand(DAT_PUSH_CHUNK, 0, b.data(), b.size());
}

bool CQNInterface::SendCmd522(uint16_t wSender)
{
    Bytes p;
    EncodeU16(wSender, p);
    return SendCommand(CMD_PUSH_CANCEL, 0, p.data(), p.size());
}

bool CQNInterface::SendRecordUpload(bool bLast, const uint8_t* p, size_t n)
{
    return SendCommand(bLast ? DAT_CONF_UPLOAD_END : DAT_CONF_UPLOAD, 0, p, n);
}

bool CQNInterface::SendFileOffer(uint16_t wSender, uint16_t wReceiver, const std::u16string& szName,
                                 uint32_t dwSize)
{
    Bytes p;
    EncodeFileOffer({dwSize, wSender, wReceiver, szName}, p);
    return SendCommand(CMD_MSG_FILEOFFER, kNoIndex, p.data(), p.size());
}

bool CQNInterface::SendFileReply(uint16_t wSender, uint16_t wReceiver, bool bAccept)
{
    Bytes p;
    EncodeFileReply({bAccept ? kFileReplyAccepted : 0u, wSender, wReceiver}, p);
    return SendCommand(CMD_MSG_FILEANSWER, kNoIndex, p.data(), p.size());
}

bool CQNInterface::SendFileData(uint16_t wSender, uint16_t wReceiver, const uint8_t* p, size_t n)
{
    Bytes b;
    EncodeFileData({wSender, wReceiver, p, n}, b);
    return SendCommand(DAT_MSG_FILE, wReceiver, b.data(), b.size());
}

bool CQNInterface::SendPhoneCall(const QNPhoneCall& call)
{
    Bytes p;
    EncodePhoneCall(call, p);
    return SendCommand(CMD_CALL, 0, p.data(), p.size());
}

bool CQNInterface::SendCmd810()
{
    return SendCommand(CMD_CALL_HANGUP, 0, nullptr, 0);
}

bool CQNInterface::SendCmd390(uint16_t wChannel)
{
    if (wChannel == kNoIndex) return false;
    Bytes p;
    EncodeU16(wChannel, p);
    return SendCommand(CMD_CONF_PRESIDER, 0, p.data(), p.size());
}

bool CQNInterface::SendUserRights(uint16_t wChannel, uint32_t dwRights)
{
    if (wChannel == kNoIndex) return false;
    Bytes p;
    EncodeU32(wChannel | ((dwRights & kRightsMask) << kRightsShift), p);
    return SendCommand(CMD_CONF_AVSTATE, 0, p.data(), p.size());
}

bool CQNInterface::SendBanish(uint16_t wUserIndex, uint16_t wChannel)
{
    if (wChannel == kNoIndex) return false;
    Bytes p;
    EncodeBanish({wChannel, wUserIndex, m_record.MyUserIndex()}, p);
    return SendCommand(CMD_CONF_BANISH, 0, p.data(), p.size());
}

bool CQNInterface::SendTerminalQuery()
{
    Bytes p;
    EncodeU16(kPrivateDataPhoneBook, p);
    return SendCommand(CMD_PRIVATE_LOADDATA, 0, p.data(), p.size());
}

bool CQNInterface::SendTerminalCall(const std::u16string& szText)
{
    Bytes p;
    EncodePrivateData({kPrivateDataPhoneBook, szText}, p);
    return SendCommand(CMD_PRIVATE_SAVEDATA, 0, p.data(), p.size());
}

bool CQNInterface::SendChannelMove(uint16_t wFrom, uint16_t wTo)
{
    if (wFrom == kNoIndex || wTo == kNoIndex || wFrom == wTo) return false;
    Bytes p;
    EncodeChannelMove({std::min(wFrom, wTo), std::max(wFrom, wTo)}, p);
    return SendCommand(CMD_CONF_CHGCHANNEL, 0, p.data(), p.size());
}
