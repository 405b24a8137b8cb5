// The voice codec over libopus.
#include "volumora/core/OpusCodec.h"

#include <algorithm>
#include <opus/opus.h>

#include "volumora/core/VoiceFormat.h"
#include "volumora/core/VoicePacket.h"

namespace
{
constexpr int kBitrate = 24000;
// FEC is only written when the encoder expects loss.
constexpr int kExpectedLossPercent = 10;
} // namespace

COpusEncoder::COpusEncoder()
{
    int nError = 0;
    m_pEncoder = opus_encoder_create(kVoiceSampleRate, 1, OPUS_APPLICATION_VOIP, &nError);
    if (nError != OPUS_OK)
    {
        m_pEncoder = nullptr;
        return;
    }
    opus_encoder_ctl(m_pEncoder, OPUS_SET_BITRATE(kBitrate));
    opus_encoder_ctl(m_pEncoder, OPUS_SET_VBR(1));
    opus_encoder_ctl(m_pEncoder, OPUS_SET_INBAND_FEC(1));
    opus_encoder_ctl(m_pEncoder, OPUS_SET_PACKET_LOSS_PERC(kExpectedLossPercent));
    opus_encoder_ctl(m_pEncoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
}

COpusEncoder::~COpusEncoder()
{
    if (m_pEncoder) opus_encoder_destroy(m_pEncoder);
}

bool COpusEncoder::Encode(const int16_t* pFrame, std::vector<uint8_t>& packet)
{
    packet.resize(kMaxOpusPacketBytes);
    if (!m_pEncoder)
    {
        packet.clear();
        return false;
    }
    int n = opus_encode(m_pEncoder, pFrame, static_cast<int>(kVoiceFrameSamples), packet.data(),
                        static_cast<opus_int32>(packet.size()));
    packet.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}

COpusDecoder::COpusDecoder()
{
    int nError = 0;
    m_pDecoder = opus_decoder_create(kVoiceSampleRate, 1, &nError);
    if (nError != OPUS_OK) m_pDecoder = nullptr;
}

COpusDecoder::~COpusDecoder()
{
    if (m_pDecoder) opus_decoder_destroy(m_pDecoder);
}

void COpusDecoder::Decode(const std::vector<uint8_t>& packet, int16_t* pFrame)
{
    Run(&packet, false, pFrame);
}

void COpusDecoder::DecodeFec(const std::vector<uint8_t>& nextPacket, int16_t* pFrame)
{
    Run(&nextPacket, true, pFrame);
}

void COpusDecoder::Conceal(int16_t* pFrame)
{
    Run(nullptr, false, pFrame);
}

void COpusDecoder::Run(const std::vector<uint8_t>* pPacket, bool bFec, int16_t* pFrame)
{
    const int nFrame = static_cast<int>(kVoiceFrameSamples);
    int n = -1;
    if (m_pDecoder)
    {
        const unsigned char* p = pPacket ? pPacket->data() : nullptr;
        opus_int32 nLen = pPacket ? static_cast<opus_int32>(pPacket->size()) : 0;
        n = opus_decode(m_pDecoder, p, nLen, pFrame, nFrame, bFec ? 1 : 0);
        // A packet of another duration than one frame is not ours: conceal its frame.
        if (n != nFrame && pPacket) n = opus_decode(m_pDecoder, nullptr, 0, pFrame, nFrame, 0);
    }
    if (n != nFrame) std::fill(pFrame, pFrame + kVoiceFrameSamples, int16_t{0});
}
