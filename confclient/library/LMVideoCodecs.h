// The codec objects' interfaces, their picture records and the encoder's output record.
// Every operation returns nonzero on success; on failure the object's last error says why.
#pragma once
#include "confclient/library/LMObject.h"

#include <cstdint>

// A picture's layout, passed by value. A negative height means rows stored bottom-up (as a
// target: write them so); a negative width as a flip target mirrors the rows.
struct S_LMPICTURE
{
    int32_t nWidth;
    int32_t nHeight;
    const wchar_t* szFormat; // a pixel-format name (LMPixelFormat.h)
    int32_t nKeyFrame;       // the encoder's key-frame request; other objects ignore it
};

// What a decoder says of the picture it wrote.
struct S_DECODEDFRAME
{
    int32_t nWidth;
    int32_t nHeight;
    const wchar_t* szFormat; // owned by the decoder
    int32_t bKeyFrame;
};

inline constexpr int LM_MAX_ENCODED_UNITS = 1024;

// An encoder's result: the units lie back to back in the output buffer.
struct S_ENCODEROUTPUT
{
    uint32_t nCount;
    uint32_t nSizes[LM_MAX_ENCODED_UNITS];
    uint32_t bKeyFrame;
};

class ILMVideoDecoder : public virtual ILMObject
{
public:
    // Decodes one block (nFlags 0) into packed planar 4:2:0 of width x height x 3 / 2 bytes.
    // Fails with LM_E_NOPICTURE when the data was taken but no picture is ready yet, and with
    // LM_E_BUFFERTOOSMALL when nCapacity cannot hold the picture.
    virtual int Decode(const uint8_t* pSource, int32_t nLength, int32_t nFlags, uint8_t* pOutput,
                       int32_t nCapacity, S_DECODEDFRAME* pFrame) = 0;
};

// The RTP decoders are video decoders, so one object answers both holders.
class IIppH264RtpDecoder : public virtual ILMVideoDecoder
{
};
class IIppH263RtpDecoder : public virtual ILMVideoDecoder
{
};

class ILMVideoEncoder : public virtual ILMObject
{
public:
    // Takes an option text such as "speed=1;" or "speed=1;compat;".
    virtual int SetOptions(const wchar_t* szOptions) = 0;
    // Frame rate, bits per second, the largest unit in bytes, picture size.
    virtual int Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth,
                     int32_t nHeight) = 0;
    // Encodes one picture (its nKeyFrame asks for a key frame) into pOutput and describes the
    // units in pResult.
    virtual int Encode(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE picture, int32_t nCapacity,
                       uint8_t* pOutput, S_ENCODEROUTPUT* pResult) = 0;
};

class IIppColorSpaceConverter : public virtual ILMObject
{
public:
    // Converts a picture from one format to another of the same size.
    virtual int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                        int32_t nTargetBytes, S_LMPICTURE target) = 0;
};

class IIppResizer : public virtual ILMObject
{
public:
    // Scales a picture to the target's size (and format).
    virtual int Resize(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                       int32_t nTargetBytes, S_LMPICTURE target) = 0;
};

class IIppFlipper : public virtual ILMObject
{
public:
    // Copies a picture into the target's layout: a negative target height turns it upside down,
    // a negative target width mirrors it.
    virtual int Flip(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                     int32_t nTargetBytes, S_LMPICTURE target) = 0;
};

class IIppMjpegDecoder : public virtual ILMObject
{
public:
    // Decodes one JPEG picture (nFlags 0) into planar 4:2:0. On entry pPicture gives the
    // largest size pOutput holds; a larger picture is refused. On success it holds the size
    // decoded and the format name.
    virtual int Decode(const uint8_t* pSource, int32_t nLength, int32_t nFlags, uint8_t* pOutput,
                       S_LMPICTURE* pPicture) = 0;
};

class IXiphSpeexEncoder : public virtual ILMObject
{
public:
    // Sample rate in Hz and frame length in milliseconds.
    virtual int Init(int32_t nSampleRate, int32_t nFrameMilliseconds) = 0;
    // Encodes one frame of 16-bit samples (nFlags 0) into at most nSpace bytes.
    virtual int Encode(const uint8_t* pSamples, int32_t nBytes, int32_t nFlags, uint8_t* pOutput,
                       int32_t nSpace, int32_t* pnWritten) = 0;
};
