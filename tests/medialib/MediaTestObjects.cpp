// The native codec objects for the media library's tests, and the file reader.
#include "tests/medialib/MediaTestObjects.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/codecs/SpeexEncoder.h"

#include <cwchar>
#include <fstream>
#include <iterator>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

std::atomic<int> CTestCodecLoader::nResizes{0};

namespace
{
class CTestConverter : public CLMObjectImpl, public IIppColorSpaceConverter
{
public:
    int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_converter.Convert(pSource, nSourceBytes, source, pTarget, nTargetBytes, target, true))
            return SetError(LM_E_INVALIDCODEC, L"test", __LINE__, L"%hs", m_converter.ErrorText().c_str());
        return 1;
    }

private:
    PictureConverter m_converter;
};

class CTestResizer : public CLMObjectImpl, public IIppResizer
{
public:
    int Resize(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
               int32_t nTargetBytes, S_LMPICTURE target) override
    {
        ++CTestCodecLoader::nResizes;
        if (!m_converter.Convert(pSource, nSourceBytes, source, pTarget, nTargetBytes, target, false))
            return SetError(LM_E_INVALIDCODEC, L"test", __LINE__, L"%hs", m_converter.ErrorText().c_str());
        return 1;
    }

private:
    PictureConverter m_converter;
};

class CTestSpeex : public CLMObjectImpl, public IXiphSpeexEncoder
{
public:
    int Init(int32_t nSampleRate, int32_t nFrameMilliseconds) override
    {
        return m_encoder.Init(nSampleRate, nFrameMilliseconds) ? 1 : 0;
    }
    int Encode(const uint8_t* pSamples, int32_t nBytes, int32_t, uint8_t* pOutput, int32_t nSpace,
               int32_t* pnWritten) override
    {
        return pnWritten && m_encoder.Encode(pSamples, nBytes, pOutput, nSpace, *pnWritten) ? 1 : 0;
    }

private:
    SpeexEncoder m_encoder;
};

ILMObject* MakeConverter()
{
    return new CTestConverter;
}
ILMObject* MakeResizer()
{
    return new CTestResizer;
}
ILMObject* MakeSpeex()
{
    return new CTestSpeex;
}
int gLibraryHandle;
} // namespace

void* CTestCodecLoader::LoadLibraryByName(const wchar_t* szLibrary)
{
    if (wcscmp(szLibrary, L"LMLibrary01U.dll") != 0)
    {
        LMSetThreadError(LM_ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &gLibraryHandle;
}

LMFactoryFunction CTestCodecLoader::FindFactory(void*, const wchar_t* szFactory)
{
    if (wcscmp(szFactory, L"GetColorSpaceConverter") == 0) return MakeConverter;
    if (wcscmp(szFactory, L"GetResizer") == 0) return MakeResizer;
    if (wcscmp(szFactory, L"GetSpeexEncoder") == 0) return MakeSpeex;
    LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
    return nullptr;
}

S_FILEREAD ReadMediaFile(const std::string& sPath)
{
    S_FILEREAD result;
    AVFormatContext* pFormat = nullptr;
    if (avformat_open_input(&pFormat, sPath.c_str(), nullptr, nullptr) < 0) return result;
    if (avformat_find_stream_info(pFormat, nullptr) < 0)
    {
        avformat_close_input(&pFormat);
        return result;
    }
    result.bOpened = true;
    if (pFormat->duration != AV_NOPTS_VALUE) result.dDuration = pFormat->duration / 1e6;
    for (unsigned i = 0; i < pFormat->nb_streams; ++i)
    {
        const AVStream* pStream = pFormat->streams[i];
        S_STREAMREAD stream;
        stream.sCodec = avcodec_get_name(pStream->codecpar->codec_id);
        stream.nTimeBaseNum = pStream->time_base.num;
        stream.nTimeBaseDen = pStream->time_base.den;
        stream.nSampleRate = pStream->codecpar->sample_rate;
        stream.nWidth = pStream->codecpar->width;
        stream.nHeight = pStream->codecpar->height;
        if (pStream->duration != AV_NOPTS_VALUE)
            stream.dDuration = pStream->duration * av_q2d(pStream->time_base);
        if (pStream->avg_frame_rate.den) stream.dFrameRate = av_q2d(pStream->avg_frame_rate);
        result.streams.push_back(stream);
    }
    AVPacket* pPacket = av_packet_alloc();
    while (av_read_frame(pFormat, pPacket) >= 0)
    {
        S_STREAMREAD& stream = result.streams[static_cast<size_t>(pPacket->stream_index)];
        ++stream.nPackets;
        stream.pts.push_back(pPacket->pts);
        stream.keys.push_back((pPacket->flags & AV_PKT_FLAG_KEY) != 0);
        av_packet_unref(pPacket);
    }
    av_packet_free(&pPacket);
    avformat_close_input(&pFormat);
    return result;
}

S_FILEDECODE DecodeMediaFile(const std::string& sPath)
{
    S_FILEDECODE result;
    AVFormatContext* pFormat = nullptr;
    if (avformat_open_input(&pFormat, sPath.c_str(), nullptr, nullptr) < 0) return result;
    avformat_find_stream_info(pFormat, nullptr);
    AVCodecContext* contexts[2] = {};
    const int streams[2] = {av_find_best_stream(pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0),
                            av_find_best_stream(pFormat, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)};
    for (int k = 0; k < 2; ++k)
    {
        if (streams[k] < 0) continue;
        const AVCodecParameters* pParameters = pFormat->streams[streams[k]]->codecpar;
        contexts[k] = avcodec_alloc_context3(avcodec_find_decoder(pParameters->codec_id));
        avcodec_parameters_to_context(contexts[k], pParameters);
        avcodec_open2(contexts[k], nullptr, nullptr);
    }
    AVPacket* pPacket = av_packet_alloc();
    AVFrame* pFrame = av_frame_alloc();
    const auto drain = [&](int k)
    {
        const AVRational timeBase = pFormat->streams[streams[k]]->time_base;
        while (avcodec_receive_frame(contexts[k], pFrame) >= 0)
        {
            const double dTime = pFrame->best_effort_timestamp * av_q2d(timeBase);
            if (k == 0)
            {
                double dSum = 0;
                for (int y = 0; y < pFrame->height; ++y)
                    for (int x = 0; x < pFrame->width; ++x)
                        dSum += pFrame->data[0][y * pFrame->linesize[0] + x];
                result.pictures.emplace_back(dTime, dSum / (pFrame->width * pFrame->height));
            }
            else if (pFrame->format == AV_SAMPLE_FMT_FLTP)
            {
                if (result.sound.empty()) result.dSoundStart = dTime;
                result.nSampleRate = pFrame->sample_rate;
                const float* pSamples = reinterpret_cast<const float*>(pFrame->data[0]);
                result.sound.insert(result.sound.end(), pSamples, pSamples + pFrame->nb_samples);
            }
            av_frame_unref(pFrame);
        }
    };
    while (av_read_frame(pFormat, pPacket) >= 0)
    {
        for (int k = 0; k < 2; ++k)
            if (contexts[k] && pPacket->stream_index == streams[k])
            {
                avcodec_send_packet(contexts[k], pPacket);
                drain(k);
            }
        av_packet_unref(pPacket);
    }
    for (int k = 0; k < 2; ++k)
        if (contexts[k])
        {
            avcodec_send_packet(contexts[k], nullptr);
            drain(k);
            avcodec_free_context(&contexts[k]);
        }
    av_frame_free(&pFrame);
    av_packet_free(&pPacket);
    avformat_close_input(&pFormat);
    return result;
}

std::vector<uint8_t> ReadBytes(const std::string& sPath)
{
    std::ifstream file(sPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
