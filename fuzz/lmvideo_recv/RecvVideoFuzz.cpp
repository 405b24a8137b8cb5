// The receive engine driven by any sequence of blocks, pauses, decoder changes, renderer changes
// and draws. Its decoder takes the blocks through the real RTP and stream front and makes a
// picture of each access unit (of a size the unit's bytes choose, hostile ones included); the
// renderers and the window are small stand-ins. At the end every record is drawn or freed and
// the slots and in-flight count are back at zero.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"
#include "lmvideo/recv/RecvVideo.h"
#include "lmvideo/rtp/VideoInputFront.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

namespace
{
class CFrontDecoder : public CLMObjectImpl, public ILMVideoDecoder
{
public:
    int Decode(const uint8_t* pSource, int32_t nLength, int32_t, uint8_t* pOutput, int32_t nCapacity,
               S_DECODEDFRAME* pFrame) override
    {
        if (m_pending.data.empty())
        {
            m_front.Push(pSource, static_cast<size_t>(nLength));
            if (!m_front.Pop(m_pending)) return SetError(LM_E_NOPICTURE, L"Front", 1, L"no picture yet");
        }
        const std::vector<uint8_t>& d = m_pending.data;
        // Mostly small honest sizes; now and then a claim the output cannot hold.
        int32_t nWidth = 16 * (1 + d[d.size() / 2] % 8), nHeight = 16 * (1 + d.back() % 4);
        if (d.size() % 13 == 0) nWidth = -nWidth;
        if (d.size() % 17 == 0) nHeight = 0x7FFF;
        if (d.size() % 19 == 0) nWidth = 4096, nHeight = 2304; // asks for more room
        const int64_t nBytes = int64_t{nWidth} * nHeight * 3 / 2;
        if (nBytes > nCapacity && nHeight != 0x7FFF)
            return SetError(LM_E_BUFFERTOOSMALL, L"Front", 2, L"room");
        if (nBytes > 0) memset(pOutput, d[0], static_cast<size_t>(std::min<int64_t>(nBytes, nCapacity)));
        *pFrame = {nWidth, nHeight, LM_FMT_YUV420, m_pending.bKey};
        m_pending = AccessUnit{};
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    VideoInputFront m_front{VideoCodec::H264};
    AccessUnit m_pending;
};

class CPlainConverter : public CLMObjectImpl, public IIppColorSpaceConverter
{
public:
    int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (LMPictureBytes(source.szFormat, source.nWidth, source.nHeight) > nSourceBytes ||
            LMPictureBytes(target.szFormat, target.nWidth, target.nHeight) > nTargetBytes)
            return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), L"Plain", 1, L"sizes");
        memset(pTarget, pSource[0], static_cast<size_t>(nTargetBytes));
        return SetError(0, nullptr, 0, nullptr);
    }
};

int g_nRendererInits = 0; // every other Init fails

class CPlainRenderer : public CLMObjectImpl, public ILMRenderer
{
public:
    int Init(HWND__*) override { return ++g_nRendererInits % 2; }
    int Redraw(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int Draw(int32_t nBytes, const uint8_t* pData, int32_t, int32_t) override
    {
        // Touch every byte handed over, so that a short picture shows.
        volatile uint8_t sum = 0;
        for (int32_t i = 0; i < nBytes; ++i)
            sum = sum + pData[i];
        return SetError(0, nullptr, 0, nullptr);
    }
    int Resize(int32_t, int32_t) override { return 1; }
    int Reset(int32_t) override { return 1; }
    HWND__* GetWindow() override { return nullptr; }
    int Check() override { return 1; }
    int16_t GetBitsPerPixel() override { return 32; }
    int SetMemoryType(int32_t) override { return 1; }
    int32_t GetMemoryType() override { return 0; }
    int SetName(const wchar_t*) override { return 1; }
    int SetNameVisible(int) override { return 1; }
    int SetPeakLevel(int16_t) override { return 1; }
    int SetPeakMeterVisible(int) override { return 1; }
    int SetFont(const wchar_t*, int16_t, int16_t) override { return 1; }
    int SetNameBigger(int) override { return 1; }
    int SetPosition(int16_t) override { return 1; }
};

ILMObject* MakeFrontDecoder()
{
    return new CFrontDecoder;
}
ILMObject* MakeConverter()
{
    return new CPlainConverter;
}
ILMObject* MakeRenderer()
{
    return new CPlainRenderer;
}

class CFuzzLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t*) override { return this; }
    LMFactoryFunction FindFactory(void*, const wchar_t* szFactory) override
    {
        const std::wstring name = szFactory;
        if (name == L"GetH264RtpDecoder" || name == L"GetH264Decoder") return &MakeFrontDecoder;
        if (name == L"GetColorSpaceConverter") return &MakeConverter;
        if (name.find(L"Renderer") != std::wstring::npos) return &MakeRenderer;
        LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
};

class CFuzzPort : public IRecvVideoPort
{
public:
    bool PostFrame(S_RECVFRAME* pFrame, int32_t) override
    {
        if (bFail) return false;
        posted.push_back(pFrame);
        return true;
    }
    void ShowWindowAsync() override {}
    void FireKeyframeReceived() override {}
    void WaitBeforeRetry(uint32_t) override {}

    std::deque<S_RECVFRAME*> posted;
    bool bFail = false;
};

class CQuietBroadcaster : public ILMVideoBroadcaster
{
public:
    void Broadcast(const wchar_t*) override {}
};

// Reads the next byte, or 0 past the end.
struct SReader
{
    const uint8_t* p;
    size_t n;
    uint8_t Next() { return n ? (--n, *p++) : 0; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzLoader loader;
    CFuzzPort port;
    CQuietBroadcaster broadcaster;
    CLMRendererCount renderers(broadcaster);
    g_nRendererInits = 0;
    {
        CRecvVideo video(port, {&renderers, {9, 0}, &loader});
        video.LoadCodec(L"dec", 4);
        SReader in{data, size};
        while (in.n)
        {
            const uint8_t op = in.Next();
            switch (op % 10)
            {
            case 0:
            case 1:
            case 2:
            {
                // A block of up to 255 bytes, as the host hands over one packet.
                const size_t n = std::min<size_t>(in.Next(), in.n);
                video.OnRecvData(in.p, static_cast<int32_t>(n), 0, 0);
                in.p += n;
                in.n -= n;
                break;
            }
            case 3:
                video.SetPause(op & 0x10);
                break;
            case 4:
                video.LoadCodec(L"dec", (op >> 4) % 10);
                break;
            case 5:
                if (!port.posted.empty())
                {
                    video.DrawPosted(port.posted.front());
                    port.posted.pop_front();
                }
                break;
            case 6:
            {
                const int32_t nWidth = in.Next() - 8, nHeight = in.Next() - 8;
                const int32_t nLength = (in.Next() << 4) - 64;
                static uint8_t picture[4096 + 64];
                video.OnRecvData(picture, std::min<int32_t>(nLength, sizeof picture), nWidth, nHeight);
                break;
            }
            case 7:
                if (op & 0x10)
                    video.ChooseRenderer(nullptr, 0);
                else
                    video.ReleaseRenderer(op & 0x20);
                break;
            case 8:
                video.RemoveUser();
                video.SetVideoFlip(op & 0x10, 0);
                break;
            case 9:
                port.bFail = op & 0x10;
                break;
            }
        }
        // Half the records are drawn, the rest go with the engine.
        while (port.posted.size() > 1)
        {
            video.DrawPosted(port.posted.front());
            port.posted.pop_front();
        }
        if (port.posted.empty() && (video.GetInFlight() != 0 || video.GetSlotsUsed() != 0)) abort();
        if (video.GetOutstanding() != port.posted.size() ||
            video.GetInFlight() != int32_t(port.posted.size()))
            abort();
    }
    if (renderers.GetCount() != 0) abort();
    return 0;
}
