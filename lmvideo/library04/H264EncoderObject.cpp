// LMLibrary04U.dll: the H.264 encoder in RTP units (kind 2) over openh264.
#include <string>

#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/codecs/CodecReport.h"
#include "lmvideo/codecs/H264Encoder.h"

namespace
{
const wchar_t kSource[] = L"LMLibrary04";

class CH264RtpEncoder : public CLMObjectImpl, public ILMVideoEncoder
{
public:
    int SetOptions(const wchar_t* szOptions) override
    {
        if (!szOptions) return SetError(kCodecInvalidArgument, kSource, __LINE__, L"no option text");
        // The options are plain ASCII; anything else is refused by the parser.
        std::string options;
        for (const wchar_t* p = szOptions; *p; ++p)
            options += *p < 0x80 ? static_cast<char>(*p) : '?';
        if (!m_encoder.SetOptions(options)) return ReportCodecError(*this, m_encoder, kSource, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

    int Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth, int32_t nHeight) override
    {
        if (!m_encoder.Init(nFrameRate, nBitRate, nMaxUnit, nWidth, nHeight))
            return ReportCodecError(*this, m_encoder, kSource, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

    int Encode(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE picture, int32_t nCapacity,
               uint8_t* pOutput, S_ENCODEROUTPUT* pResult) override
    {
        if (!pResult) return SetError(kCodecInvalidArgument, kSource, __LINE__, L"no output record");
        if (!m_encoder.Encode(pSource, nSourceBytes, picture, nCapacity, pOutput, *pResult))
            return ReportCodecError(*this, m_encoder, kSource, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    H264Encoder m_encoder;
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetH264RtpEncoder()
{
    return new CH264RtpEncoder;
}
