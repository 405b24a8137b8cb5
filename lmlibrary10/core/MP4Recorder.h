// The MP4 writer of the recorder thread: one mpeg4 video and one aac audio stream in the mp4
// muxer's plain layout (ftyp, free, mdat from byte 36, moov at the end).
#pragma once
#include "confclient/library/LMMediaLibrary.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;

// What the recorder thread is started with.
struct S_MP4RECORDERSTART
{
    int32_t nOutputWidth = 0;
    int32_t nOutputHeight = 0;
    int32_t nVideoKbps = 0;
    int32_t nAudioKbps = 0;
    int32_t nFrameRate = 0;
    int32_t nSampleRate = 0;
    std::string sPath; // UTF-8
    ILMMP4RecorderCB* pCallback = nullptr;
};

class CMP4Recorder
{
public:
    // The accumulation buffer of audio not yet encoded: 4 MiB.
    static constexpr size_t kAudioBufferBytes = 4 * 1024 * 1024;
    static constexpr int kGopSize = 12;

    CMP4Recorder() = default;
    // Frees everything without a trailer: a recording that was not stopped stays unfinished.
    ~CMP4Recorder();
    CMP4Recorder(const CMP4Recorder&) = delete;
    CMP4Recorder& operator=(const CMP4Recorder&) = delete;

    // Opens the file and writes the header; on success keeps the callback and calls OnOpened.
    bool Open(const S_MP4RECORDERSTART& start);
    bool IsOpen() const { return m_bOpened; }
    ILMMP4RecorderCB* Callback() const { return m_pCallback; }

    // Encodes one planar 4:2:0 picture of the output size as frame number nFrame of the time
    // line; short buffers are refused.
    void WriteVideo(const uint8_t* pPicture, size_t nBytes, int64_t nFrame);
    // Appends nSilenceBytes of silence and then the samples, and writes every whole encoder
    // frame. Audio that arrives while the file is not open is discarded.
    void WriteAudio(const uint8_t* pSamples, size_t nBytes, size_t nSilenceBytes);
    // Drains both encoders, writes the trailer and closes the file; true when a file was open.
    bool Close();

private:
    bool OpenStreams(const S_MP4RECORDERSTART& start);
    bool Encode(AVCodecContext* pContext, AVStream* pStream, AVFrame* pFrame);
    void Free();

    bool m_bOpened = false;
    AVFormatContext* m_pFormat = nullptr;
    AVStream* m_pVideoStream = nullptr;
    AVStream* m_pAudioStream = nullptr;
    AVCodecContext* m_pVideoCodec = nullptr;
    AVCodecContext* m_pAudioCodec = nullptr;
    AVFrame* m_pVideoFrame = nullptr;
    AVFrame* m_pAudioFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    int m_nAudioFrameSize = 0;
    int64_t m_nAudioSamples = 0; // samples written: the next audio frame's time stamp
    std::vector<uint8_t> m_audio;
    ILMMP4RecorderCB* m_pCallback = nullptr;
};
