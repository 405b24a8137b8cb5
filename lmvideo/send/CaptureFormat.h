// The camera format choice: what each kind of capture format makes of a picture, which of a
// device's capabilities are tried and in what order, and the frame interval asked of it.
#pragma once
#include <cstdint>
#include <vector>

// Kinds of capture format, better ones higher.
enum ECaptureType : int32_t
{
    CAPTURE_NONE = 0,
    CAPTURE_MJPG = 1,
    CAPTURE_RGB565 = 2,
    CAPTURE_RGB555 = 3,
    CAPTURE_RGB24 = 4,
    CAPTURE_RGB32 = 5,
    CAPTURE_UYVY = 6,
    CAPTURE_YUY2 = 7,
    CAPTURE_I420 = 8,
};

// What the capture path makes of a picture of one kind.
struct S_CAPTUREFORMAT
{
    const wchar_t* szName; // the pixel format of the pictures handed on
    int64_t nBytes;        // a captured picture's byte count (MJPEG: of the decoded picture)
    bool bFlip;            // rows arrive bottom-up
    bool bMjpeg;           // pictures arrive as JPEG and are decoded first
};

S_CAPTUREFORMAT LMCaptureFormat(int32_t nType, int32_t nWidth, int32_t nHeight);

// One capability of the device as its stream configuration reports it.
struct S_CAPTURECAPABILITY
{
    int32_t nType;        // ECaptureType; CAPTURE_NONE for a subtype we do not take
    bool bVideoInfo;      // the format block is a video-info header
    int32_t nWidth;       // of the bitmap header
    int32_t nHeight;      // of the bitmap header, as signed there
    int64_t nMinInterval; // 100-ns units
    int64_t nMaxInterval;
};

struct S_CAPTURECANDIDATE
{
    int32_t nType;
    int32_t nCapability; // index into the device's capabilities
    int64_t nMinInterval;
    int64_t nMaxInterval;
};

// The capabilities of exactly the capture size in a format we take, best first: higher kind,
// then the smaller maximum frame interval. Empty when there is none.
std::vector<S_CAPTURECANDIDATE> LMCaptureCandidates(const std::vector<S_CAPTURECAPABILITY>& capabilities,
                                                    int32_t nWidth, int32_t nHeight);

// The average frame interval to ask of a candidate under a frame-rate limit; 0 keeps the
// device's own (no limit, or one faster than the device allows).
int64_t LMLimitedInterval(int32_t nFrameRateLimit, const S_CAPTURECANDIDATE& candidate);

// The device to open: an index outside the devices found selects the first.
int32_t LMCaptureDeviceIndex(int32_t nIndex, int32_t nCount);

// A crossbar route: the input pin wanted and the video-decoder output pin it goes to (-1: none).
struct S_CROSSBARROUTE
{
    int32_t nInput;  // the last input of the requested physical type
    int32_t nOutput; // the first output of the video-decoder type
};

inline constexpr int32_t LM_PHYSCONN_VIDEO_DECODER = 12;

// The route for a requested physical connector type, from the physical types of the crossbar's
// input and output pins in pin order.
S_CROSSBARROUTE LMCrossbarRoute(const std::vector<int32_t>& inputTypes,
                                const std::vector<int32_t>& outputTypes, int32_t nRequestedType);
