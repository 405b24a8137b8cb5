// LMLibrary01U's encoders: H.263 in RTP units (kind 1) and Speex.
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/codecs/CodecReport.h"
#include "lmvideo/codecs/H263Encoder.h"
#include "lmvideo/codecs/SpeexEncoder.h"
#include "lmvideo/library01/Library01Source.h"

namespace
{
class CH263RtpEncoder : public CLMObjectImpl, public ILMVideoEncoder
{
public:
    // H.263 has no settings beyond Init's: any option text is taken.
    int SetOptions(const wchar_t*) override { return SetError(0, nullptr, 0, nullptr); }

    int Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth, int32_t nHeight) override
    {
        if (!m_encoder.Init(nFrameRate, nBitRate, nMaxUnit, nWidth, nHeight))
            return ReportCodecError(*this, m_encoder, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

    int Encode(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE picture, int32_t nCapacity,
               uint8_t* pOutput, S_ENCODEROUTPUT* pResult) override
    {
        if (!pResult) return SetError(kCodecInvalidArgument, kLibrary01Source, __LINE__, L"no output record");
        if (!m_encoder.Encode(pSource, nSourceBytes, picture, nCapacity, pOutput, *pResult))
            return ReportCodecError(*this, m_encoder, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    H263Encoder m_encoder;
};

class CSpeexEncoder : public CLMObjectImpl, public IXiphSpeexEncoder
{
public:
    int Init(int32_t nSampleRate, int32_t nFrameMilliseconds) override
    {
        if (!m_encoder.Init(nSampleRate, nFrameMilliseconds))
            return ReportCodecError(*this, m_encoder, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

    int Encode(const uint8_t* pSamples, int32_t nBytes, int32_t, uint8_t* pOutput, int32_t nSpace,
               int32_t* pnWritten) override
    {
        if (!pnWritten) return SetError(kCodecInvalidArgument, kLibrary01Source, __LINE__, L"no byte count");
        if (!m_encoder.Encode(pSamples, nBytes, pOutput, nSpace, *pnWritten))
            return ReportCodecError(*this, m_encoder, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    SpeexEncoder m_encoder;
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetH263RtpEncoder()
{
    return new CH263RtpEncoder;
}

extern "C" __declspec(dllexport) ILMObject* GetSpeexEncoder()
{
    return new CSpeexEncoder;
}
