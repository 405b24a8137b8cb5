// The voice packet, payload of command 1000: a 12-byte header and one Opus packet.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint8_t kVoicePacketVersion = 1;
constexpr uint8_t kVoiceCodecOpus = 1;
constexpr uint8_t kVoiceFlagTalkSpurtStart = 0x01;
constexpr size_t kVoiceHeaderBytes = 12;
// The largest packet Opus can make for one frame.
constexpr size_t kMaxOpusPacketBytes = 1275;

struct VoicePacket
{
    uint8_t bVersion = kVoicePacketVersion;
    uint8_t bCodec = kVoiceCodecOpus;
    uint16_t wSender = 0;     // the sender's user index
    uint16_t wSequence = 0;   // one more per packet sent, wrapping
    uint32_t dwTimestamp = 0; // capture time in samples of 16 kHz
    uint8_t bFlags = 0;
    std::vector<uint8_t> opus;
};

std::vector<uint8_t> EncodeVoicePacket(const VoicePacket& packet);
// False for a short header, another version or codec, or an Opus part that is empty or too long.
bool DecodeVoicePacket(const uint8_t* pData, size_t nLen, VoicePacket& packet);
