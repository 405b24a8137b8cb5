// Reading and writing the voice packet through the bounded byte reader and writer.
#include "volumora/core/VoicePacket.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

std::vector<uint8_t> EncodeVoicePacket(const VoicePacket& packet)
{
    std::vector<uint8_t> out;
    out.reserve(kVoiceHeaderBytes + packet.opus.size());
    ByteWriter w(out);
    w.U8(packet.bVersion).U8(packet.bCodec).U16(packet.wSender).U16(packet.wSequence);
    w.U32(packet.dwTimestamp).U8(packet.bFlags).U8(0);
    w.Bytes(packet.opus.data(), packet.opus.size());
    return out;
}

bool DecodeVoicePacket(const uint8_t* pData, size_t nLen, VoicePacket& packet)
{
    ByteReader rd(pData, nLen);
    packet.bVersion = rd.U8();
    packet.bCodec = rd.U8();
    packet.wSender = rd.U16();
    packet.wSequence = rd.U16();
    packet.dwTimestamp = rd.U32();
    packet.bFlags = rd.U8();
    rd.Skip(1);
    if (!rd.Ok() || packet.bVersion != kVoicePacketVersion || packet.bCodec != kVoiceCodecOpus) return false;
    size_t nOpus = rd.Remaining();
    if (nOpus == 0 || nOpus > kMaxOpusPacketBytes) return false;
    packet.opus.assign(rd.Current(), rd.Current() + nOpus);
    return true;
}
