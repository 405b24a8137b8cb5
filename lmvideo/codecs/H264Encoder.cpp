// H.264 encoding through openh264, packetized by our RFC 6184 packetizer.
#include "lmvideo/codecs/H264Encoder.h"

#include <random>
#include <sstream>

#include <wels/codec_api.h>

#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/codecs/EncodedUnits.h"
#include "lmvideo/rtp/RtpPacket.h"

namespace
{
// A compat slice must fit one unit with its RTP header; openh264 may overshoot its limit a
// little, so it gets less than the whole room.
constexpr unsigned kCompatSliceBytes = kRtpMaxUnitBytes - 12 - 100;
} // namespace

H264Encoder::H264Encoder() = default;

H264Encoder::~H264Encoder()
{
    Close();
}

void H264Encoder::Close()
{
    if (m_pEncoder)
    {
        m_pEncoder->Uninitialize();
        WelsDestroySVCEncoder(m_pEncoder);
        m_pEncoder = nullptr;
    }
}

bool H264Encoder::SetOptions(const std::string& options)
{
    int speed = 0;
    bool compat = false;
    std::istringstream in(options);
    std::string item;
    while (std::getline(in, item, ';'))
    {
        if (item.empty()) continue;
        if (item == "compat")
            compat = true;
        else if (item.rfind("speed=", 0) == 0 && item.size() == 7 && item[6] >= '0' && item[6] <= '9')
            speed = item[6] - '0';
        else
            return Fail(kCodecInvalidArgument, "unknown option '" + item + "'");
    }
    m_nSpeed = speed;
    m_bCompat = compat;
    return true;
}

bool H264Encoder::Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth,
                       int32_t nHeight)
{
    if (nFrameRate <= 0 || nFrameRate > kMaxFrameRate || nBitRate <= 0 || nBitRate > kMaxBitRate)
        return Fail(kCodecInvalidArgument, "frame rate or bit rate out of range");
    if (nMaxUnit < static_cast<int32_t>(kRtpMaxUnitBytes))
        return Fail(kCodecInvalidArgument, "units are up to 1350 bytes");
    if (nWidth <= 0 || nHeight <= 0 || nWidth % 2 || nHeight % 2 || nWidth > kMaxPictureSide ||
        nHeight > kMaxPictureSide)
        return Fail(kCodecInvalidArgument, "picture size out of range or odd");
    Close();
    if (WelsCreateSVCEncoder(&m_pEncoder) != 0 || !m_pEncoder)
        return Fail(kCodecFailed, "openh264 made no encoder");
    SEncParamExt param{};
    m_pEncoder->GetDefaultParams(&param);
    param.iUsageType = CAMERA_VIDEO_REAL_TIME;
    param.iPicWidth = nWidth;
    param.iPicHeight = nHeight;
    param.fMaxFrameRate = static_cast<float>(nFrameRate);
    param.iTargetBitrate = nBitRate;
    param.iMaxBitrate = UNSPECIFIED_BIT_RATE;
    param.iRCMode = RC_BITRATE_MODE;
    param.bEnableFrameSkip = false;
    param.uiIntraPeriod = static_cast<unsigned>(nFrameRate) * 10;
    param.iMultipleThreadIdc = 1;
    param.iEntropyCodingModeFlag = 0; // CAVLC: baseline
    param.iComplexityMode = m_nSpeed >= 1 ? LOW_COMPLEXITY : MEDIUM_COMPLEXITY;
    param.iSpatialLayerNum = 1;
    param.iTemporalLayerNum = 1;
    SSpatialLayerConfig& layer = param.sSpatialLayers[0];
    layer.iVideoWidth = nWidth;
    layer.iVideoHeight = nHeight;
    layer.fFrameRate = static_cast<float>(nFrameRate);
    layer.iSpatialBitrate = nBitRate;
    layer.iMaxSpatialBitrate = UNSPECIFIED_BIT_RATE;
    layer.uiProfileIdc = PRO_BASELINE;
    if (m_bCompat)
    {
        layer.sSliceArgument.uiSliceMode = SM_SIZELIMITED_SLICE;
        layer.sSliceArgument.uiSliceSizeConstraint = kCompatSliceBytes;
        param.uiMaxNalSize = kCompatSliceBytes;
    }
    else
        layer.sSliceArgument.uiSliceMode = SM_SINGLE_SLICE;
    if (m_pEncoder->InitializeExt(&param) != 0)
    {
        Close();
        return Fail(kCodecFailed, "openh264 refused the settings");
    }
    int format = videoFormatI420;
    m_pEncoder->SetOption(ENCODER_OPTION_DATAFORMAT, &format);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nFrameRate = nFrameRate;
    m_nFrames = 0;
    m_picture.assign(static_cast<size_t>(nWidth) * nHeight * 3 / 2, 0);
    std::random_device random;
    m_pPacketizer = std::make_unique<H264Packetizer>(random(), static_cast<uint16_t>(random()), m_bCompat);
    return true;
}

bool H264Encoder::Encode(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& picture,
                         int32_t nCapacity, uint8_t* pOutput, S_ENCODEROUTPUT& result)
{
    if (!m_pEncoder) return Fail(LM_E_NOTINITIALIZED, "The object is not initialized.");
    RtpUnitWriter units = UnitsInto(pOutput, nCapacity, result);
    SSourcePicture source{};
    source.iColorFormat = videoFormatI420;
    source.iPicWidth = m_nWidth;
    source.iPicHeight = m_nHeight;
    PictureLayout given;
    std::string why;
    if (picture.nWidth == m_nWidth && picture.nHeight == m_nHeight &&
        PixelFormatOf(picture.szFormat) == AV_PIX_FMT_YUV420P)
    {
        // Already what the encoder takes: no copy.
        if (!LayOutPicture(pSource, nSourceBytes, picture, given, why))
            return Fail(kCodecInvalidArgument, "source: " + why);
    }
    else
    {
        const S_LMPICTURE target{m_nWidth, m_nHeight, LM_FMT_YUV420, 0};
        if (!m_converter.Convert(pSource, nSourceBytes, picture, m_picture.data(),
                                 static_cast<int32_t>(m_picture.size()), target, false))
            return Fail(m_converter.ErrorCode(), m_converter.ErrorText());
        LayOutPicture(m_picture.data(), static_cast<int32_t>(m_picture.size()), target, given, why);
    }
    for (int i = 0; i < 3; ++i)
    {
        source.pData[i] = given.data[i];
        source.iStride[i] = given.stride[i];
    }
    if (picture.nKeyFrame) m_pEncoder->ForceIntraFrame(true);
    source.uiTimeStamp = m_nFrames * 1000 / m_nFrameRate;
    SFrameBSInfo info{};
    if (m_pEncoder->EncodeFrame(&source, &info) != cmResultSuccess)
        return Fail(kCodecFailed, "openh264 could not encode the picture");
    const uint32_t timestamp = static_cast<uint32_t>(m_nFrames * 90000 / m_nFrameRate);
    ++m_nFrames;
    if (info.eFrameType == videoFrameTypeSkip || info.eFrameType == videoFrameTypeInvalid)
        return true; // nothing to send this time

    m_accessUnit.clear();
    for (int i = 0; i < info.iLayerNum; ++i)
    {
        const SLayerBSInfo& layer = info.sLayerInfo[i];
        size_t bytes = 0;
        for (int n = 0; n < layer.iNalCount; ++n)
            bytes += static_cast<size_t>(layer.pNalLengthInByte[n]);
        m_accessUnit.insert(m_accessUnit.end(), layer.pBsBuf, layer.pBsBuf + bytes);
    }
    if (!m_pPacketizer->Packetize(m_accessUnit.data(), m_accessUnit.size(), timestamp, units))
        return units.Ok() ? Fail(kCodecFailed, "the picture does not split into units")
                          : Fail(LM_E_BUFFERTOOSMALL, "output buffer or record too small");
    result.nCount = static_cast<uint32_t>(units.UnitCount());
    result.bKeyFrame = info.eFrameType == videoFrameTypeIDR;
    return true;
}
