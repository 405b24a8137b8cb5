// Speex encoding through libspeex.
#include "lmvideo/codecs/SpeexEncoder.h"

#include <cstring>

#include <speex/speex.h>

SpeexEncoder::~SpeexEncoder()
{
    Close();
}

void SpeexEncoder::Close()
{
    if (m_pState) speex_encoder_destroy(m_pState);
    if (m_pBits)
    {
        speex_bits_destroy(static_cast<SpeexBits*>(m_pBits));
        delete static_cast<SpeexBits*>(m_pBits);
    }
    m_pState = m_pBits = nullptr;
}

bool SpeexEncoder::Init(int32_t nSampleRate, int32_t nFrameMilliseconds)
{
    const SpeexMode* mode = nSampleRate == 8000    ? &speex_nb_mode
                            : nSampleRate == 16000 ? &speex_wb_mode
                            : nSampleRate == 32000 ? &speex_uwb_mode
                                                   : nullptr;
    if (!mode) return Fail(kCodecInvalidArgument, "sample rate not 8000, 16000 or 32000");
    if (nFrameMilliseconds != 20) return Fail(kCodecInvalidArgument, "Speex frames are 20 ms");
    Close();
    m_pState = speex_encoder_init(mode);
    if (!m_pState) return Fail(kCodecFailed, "libspeex made no encoder");
    auto* bits = new SpeexBits;
    speex_bits_init(bits);
    m_pBits = bits;
    int quality = kQuality, rate = nSampleRate;
    speex_encoder_ctl(m_pState, SPEEX_SET_QUALITY, &quality);
    speex_encoder_ctl(m_pState, SPEEX_SET_SAMPLING_RATE, &rate);
    speex_encoder_ctl(m_pState, SPEEX_GET_FRAME_SIZE, &m_nFrameSamples);
    m_samples.assign(static_cast<size_t>(m_nFrameSamples), 0);
    return true;
}

bool SpeexEncoder::Encode(const uint8_t* pSamples, int32_t nBytes, uint8_t* pOutput, int32_t nSpace,
                          int32_t& nWritten)
{
    if (!m_pState) return Fail(LM_E_NOTINITIALIZED, "The object is not initialized.");
    if (!pSamples || nBytes != m_nFrameSamples * 2)
        return Fail(kCodecInvalidArgument, "not one frame of samples");
    if (!pOutput || nSpace <= 0) return Fail(kCodecInvalidArgument, "no output");
    for (int i = 0; i < m_nFrameSamples; ++i)
        m_samples[i] = static_cast<int16_t>(pSamples[2 * i] | pSamples[2 * i + 1] << 8);
    auto* bits = static_cast<SpeexBits*>(m_pBits);
    speex_bits_reset(bits);
    speex_encode_int(m_pState, m_samples.data(), bits);
    const int need = speex_bits_nbytes(bits);
    if (need > nSpace) return Fail(LM_E_BUFFERTOOSMALL, "output space too small for the frame");
    nWritten = speex_bits_write(bits, reinterpret_cast<char*>(pOutput), nSpace);
    return true;
}
