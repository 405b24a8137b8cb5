// LMLibrary01U's decoders: MJPEG, and H.264 and H.263 from RTP (kinds 4 and 3) or from RTP or
// plain streams (kinds 8 and 7).
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/codecs/CodecReport.h"
#include "lmvideo/codecs/MjpegDecoder.h"
#include "lmvideo/codecs/VideoDecoder.h"
#include "lmvideo/library01/Library01Source.h"

namespace
{
class CMjpegDecoder : public CLMObjectImpl, public IIppMjpegDecoder
{
public:
    int Decode(const uint8_t* pSource, int32_t nLength, int32_t, uint8_t* pOutput,
               S_LMPICTURE* pPicture) override
    {
        if (!pPicture)
            return SetError(kCodecInvalidArgument, kLibrary01Source, __LINE__, L"no picture record");
        int32_t width = 0, height = 0;
        if (!m_decoder.Decode(pSource, nLength, pOutput, pPicture->nWidth, pPicture->nHeight, width, height))
            return ReportCodecError(*this, m_decoder, kLibrary01Source, __LINE__);
        pPicture->nWidth = width;
        pPicture->nHeight = height;
        pPicture->szFormat = LM_FMT_YUV420;
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    MjpegDecoder m_decoder;
};

// One object answers both the plain decoder's and its RTP holder's interface.
template <class RtpInterface> class CVideoDecoder : public CLMObjectImpl, public RtpInterface
{
public:
    CVideoDecoder(VideoCodec codec, bool bPlainStreams) : m_decoder(codec, bPlainStreams) {}

    int Decode(const uint8_t* pSource, int32_t nLength, int32_t, uint8_t* pOutput, int32_t nCapacity,
               S_DECODEDFRAME* pFrame) override
    {
        if (!pFrame) return SetError(kCodecInvalidArgument, kLibrary01Source, __LINE__, L"no frame record");
        DecodedPicture picture;
        if (!m_decoder.Decode(pSource, nLength, pOutput, nCapacity, picture))
            return ReportCodecError(*this, m_decoder, kLibrary01Source, __LINE__);
        pFrame->nWidth = picture.nWidth;
        pFrame->nHeight = picture.nHeight;
        pFrame->szFormat = LM_FMT_YUV420;
        pFrame->bKeyFrame = picture.bKey;
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    VideoDecoder m_decoder;
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetMjpegDecoder()
{
    return new CMjpegDecoder;
}

extern "C" __declspec(dllexport) ILMObject* GetH264RtpDecoder()
{
    return new CVideoDecoder<IIppH264RtpDecoder>(VideoCodec::H264, false);
}

extern "C" __declspec(dllexport) ILMObject* GetH264Decoder()
{
    return new CVideoDecoder<IIppH264RtpDecoder>(VideoCodec::H264, true);
}

extern "C" __declspec(dllexport) ILMObject* GetH263RtpDecoder()
{
    return new CVideoDecoder<IIppH263RtpDecoder>(VideoCodec::H263, false);
}

extern "C" __declspec(dllexport) ILMObject* GetH263Decoder()
{
    return new CVideoDecoder<IIppH263RtpDecoder>(VideoCodec::H263, true);
}
