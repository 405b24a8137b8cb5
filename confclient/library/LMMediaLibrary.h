// The media library's interfaces (LMLibrary10U.dll): the MP4 recorder and the movie-share
// player, with the callbacks their callers implement. Slots are in declaration order; every
// operation returning int returns nonzero on success.
#pragma once
#include "confclient/library/LMObject.h"

#include <cstdint>

// Told by the recorder, on its own thread, how the recording goes.
class ILMMP4RecorderCB
{
public:
    // Kept for the slot order; the recorder never calls it.
    virtual void OnReserved(int32_t nFirst, int32_t nSecond) = 0;
    // The file was opened and its header written.
    virtual void OnOpened() = 0;
    // One video frame was taken (written or not).
    virtual void OnVideoWritten() = 0;
    // One audio block was taken.
    virtual void OnAudioWritten() = 0;
    // The trailer was written and the file closed.
    virtual void OnClosed() = 0;

protected:
    ~ILMMP4RecorderCB() = default;
};

// Writes an MP4 file (one video, one audio stream) from bottom-up RGB frames and 16-bit mono
// audio, encoding on a recorder thread of its own. From GetMP4Recorder.
class ILMMP4Recorder : public virtual ILMObject
{
public:
    // Starts the recorder thread, which opens szPath; whether it opened is told by OnOpened.
    // Fails while a recording runs.
    virtual int Start(const wchar_t* szPath, int32_t nCaptureWidth, int32_t nCaptureHeight,
                      int32_t nOutputWidth, int32_t nOutputHeight, int32_t nVideoKbps, int32_t nAudioKbps,
                      int32_t nFrameRate, int32_t nSampleRate, ILMMP4RecorderCB* pCallback) = 0;
    // Hands over one bottom-up frame of the capture size at 16, 24 or 32 bits per pixel (low 16
    // bits of nBitsPerPixel). Nonzero also when the frame was dropped because the thread lags.
    virtual int AddVideoFrame(const uint8_t* pFrame, int32_t nBytes, int32_t nBitsPerPixel) = 0;
    // Hands over a block of 16-bit signed mono samples; nonzero also when dropped.
    virtual int AddAudio(const uint8_t* pSamples, int32_t nBytes) = 0;
    // Ends the recording: the thread writes the trailer and closes the file. 0 without a thread.
    virtual int Stop() = 0;
    // The path given to Start (null before).
    virtual const wchar_t* GetPath() = 0;
};

// Told by the movie player, on its playback thread, of pictures and sound at their times.
class ILMVideoShareCB
{
public:
    // Kept for the slot order; the player never calls it.
    virtual void OnError(int32_t nCode, const wchar_t* szText) = 0;
    // One picture (szFormat "12YUV420": Y, U, V planes) at nSeconds of the movie; a null picture
    // of format "00NONE" marks the end of the video.
    virtual void OnVideoFrame(const uint8_t* pData, int32_t nBytes, int32_t nSeconds, int32_t nWidth,
                              int32_t nHeight, const wchar_t* szFormat) = 0;
    // One sound packet: the 12-byte header, then two 20 ms Speex frames of 16 kHz sound. A null
    // packet marks the end of the sound.
    virtual void OnAudio(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) = 0;

protected:
    ~ILMVideoShareCB() = default;
};

// The six values Load fills in.
struct S_VIDEOSHAREINFO
{
    int32_t nDuration; // whole seconds, 0 when unknown
    int32_t nAudioStatus;
    int32_t nVideoStatus;
    int32_t nWidth;
    int32_t nHeight;
    int32_t nFrameRate; // rounded up
};

// Load's statuses for each kind of stream.
inline constexpr int32_t LM_SHARE_READY = 0;
inline constexpr int32_t LM_SHARE_NOSTREAM = 1;
inline constexpr int32_t LM_SHARE_NODECODER = 2;
inline constexpr int32_t LM_SHARE_NOSTREAMINFO = 3;
inline constexpr int32_t LM_SHARE_NOFILE = 4;

// Plays a movie file for sharing on two threads of its own. From GetVideoShare.
class ILMVideoShare : public virtual ILMObject
{
public:
    // Keeps the callback, the packets' source id and the queue reserve; starts the player thread.
    virtual int Init(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve) = 0;
    // Opens szPath, waiting up to 10 s; pInfo (six values) gets the statuses. Nonzero when the
    // player thread took the request.
    virtual int Load(const wchar_t* szPath, int32_t* pInfo) = 0;
    // The commands below are nonzero when a player thread took them.
    virtual int Play() = 0;
    virtual int Seek(int32_t nSeconds) = 0;
    virtual int Pause() = 0;
    virtual int Stop() = 0;
    // 0 to 200 percent; 0 above 200.
    virtual int SetVolume(int32_t nPercent) = 0;
    // The position in seconds and the play flag of the last pass.
    virtual int GetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying) = 0;
};

// The player with relative seeking. From GetVideoShare2.
class ILMVideoShare2 : public ILMVideoShare
{
public:
    // Seeks by a signed number of seconds from the present position; past the end it stops.
    virtual void SeekRelatively(int32_t nSeconds) = 0;
};
