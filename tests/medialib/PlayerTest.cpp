// The movie player natively over movies Debian's ffmpeg made: Load's statuses and values, pictures
// and sound packets at their times, seek, pause, the end, and broken files.
#include "lmlibrary10/core/VideoShare.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "tests/medialib/MediaTestObjects.h"

#include <gtest/gtest.h>

#include <speex/speex.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <unistd.h>
#include <string>
#include <vector>

namespace
{
constexpr int32_t kSourceId = 0x01020304;

struct S_PICTURE
{
    int32_t nSeconds, nWidth, nHeight, nBytes;
    int32_t nStamp; // the pattern's frame number, -1 when unreadable
    double dPsnr;   // luma against the pattern's frame of that number
};

double PatternPsnr(const uint8_t* pLuma, int nWidth, int nHeight, int32_t nStamp)
{
    if (nStamp < 0) return 0;
    std::vector<uint8_t> source(PatternBytes(nWidth, nHeight));
    if (!MakeStampedPattern(static_cast<uint32_t>(nStamp), nWidth, nHeight, source.data())) return 0;
    double dSum = 0;
    for (int i = 0; i < nWidth * nHeight; ++i)
        dSum += (pLuma[i] - source[i]) * (pLuma[i] - source[i]);
    return dSum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * nWidth * nHeight / dSum);
}
struct S_PACKET
{
    std::vector<uint8_t> bytes;
    int32_t nSeconds;
};

class CPlayerEvents : public ILMVideoShareCB
{
public:
    void OnError(int32_t, const wchar_t*) override { ADD_FAILURE() << "OnError is never called"; }
    void OnVideoFrame(const uint8_t* pData, int32_t nBytes, int32_t nSeconds, int32_t nWidth, int32_t nHeight,
                      const wchar_t* szFormat) override
    {
        signal.Notify(
            [&]
            {
                if (!pData)
                {
                    EXPECT_STREQ(szFormat, L"00NONE");
                    ++nVideoEnds;
                    return;
                }
                EXPECT_STREQ(szFormat, L"12YUV420");
                const int32_t nStamp = ReadPatternStamp(pData, nWidth, nHeight);
                pictures.push_back(
                    {nSeconds, nWidth, nHeight, nBytes, nStamp, PatternPsnr(pData, nWidth, nHeight, nStamp)});
            });
    }
    void OnAudio(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) override
    {
        signal.Notify(
            [&]
            {
                if (!pData)
                    ++nAudioEnds;
                else
                    packets.push_back({std::vector<uint8_t>(pData, pData + nBytes), nSeconds});
            });
    }
    template <class F> auto Locked(F f)
    {
        std::lock_guard<std::mutex> guard(signal.Lock());
        return f();
    }

    CTestSignal signal;
    std::vector<S_PICTURE> pictures;
    std::vector<S_PACKET> packets;
    int nVideoEnds = 0, nAudioEnds = 0;
};

std::wstring Movie(const char* szName)
{
    // Made by the build, or kept beside the test's source.
    std::string path = std::string(QUILLON_MOVIES) + "/" + szName;
    if (access(path.c_str(), F_OK) != 0) path = std::string(QUILLON_TEST_SOURCE) + "/" + szName;
    return std::wstring(path.begin(), path.end());
}

struct PlayerFixture : ::testing::Test
{
    ~PlayerFixture() override { pPlayer->Destroy(); }

    S_VIDEOSHAREINFO Load(const char* szName)
    {
        S_VIDEOSHAREINFO info{-1, -1, -1, -1, -1, -1};
        EXPECT_TRUE(pPlayer->Load(Movie(szName).c_str(), &info.nDuration));
        return info;
    }
    // GetPlayTime tells no one when it changes: looked at every 10 ms, within a generous bound.
    bool PollPlayTime(const std::function<bool(int32_t, int32_t)>& ready)
    {
        for (int i = 0; i < 2000; ++i)
        {
            int32_t nSeconds = -1, bPlaying = -1;
            pPlayer->GetPlayTime(&nSeconds, &bPlaying);
            if (ready(nSeconds, bPlaying)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    bool Rewound()
    {
        return PollPlayTime([](int32_t nSeconds, int32_t bPlaying)
                            { return nSeconds == 0 && bPlaying == 0; });
    }
    bool WaitEnds()
    {
        return events.signal.WaitUntil([&] { return events.nVideoEnds >= 1 && events.nAudioEnds >= 1; });
    }

    CTestCodecLoader loader;
    CPlayerEvents events;
    CVideoShare2* pPlayer = new CVideoShare2(&loader);
};

TEST_F(PlayerFixture, LoadTellsStatusesAndValues)
{
    ASSERT_TRUE(pPlayer->Init(&events, kSourceId, 2));
    EXPECT_FALSE(pPlayer->Init(&events, kSourceId, 2)) << "a second Init";
    struct Row
    {
        const char* szName;
        S_VIDEOSHAREINFO info;
    };
    const Row rows[] = {
        {"clip.mp4", {3, 0, 0, 320, 240, 25}}, {"clip.avi", {3, 0, 0, 320, 240, 30}},
        {"clip.asf", {3, 0, 0, 320, 240, 25}}, {"video.mp4", {3, 1, 0, 320, 240, 25}},
        {"audio.wav", {3, 0, 1, 0, 0, 0}},     {"odd.mp4", {1, 1, 0, 320, 240, 25}},
        {"text.mp4", {0, 4, 4, 0, 0, 0}},      {"truncated.mp4", {0, 4, 4, 0, 0, 0}},
        {"missing.mp4", {0, 4, 4, 0, 0, 0}},
    };
    for (const Row& row : rows)
    {
        const S_VIDEOSHAREINFO info = Load(row.szName);
        EXPECT_EQ(0, memcmp(&info, &row.info, sizeof(info)))
            << row.szName << ": " << info.nDuration << " " << info.nAudioStatus << " " << info.nVideoStatus
            << " " << info.nWidth << " " << info.nHeight << " " << info.nFrameRate;
    }
    // Damaged files still give statuses and play to an end without harm. The transport stream
    // (found by the fuzzer) changes its sound's rate and channels on the way.
    // Each file is loaded at once after the one before told its ends, often before that one
    // rewound: a new movie's end is told again.
    for (const char* szName : {"audio.wav", "changing-sound.ts", "flipped.avi"})
    {
        Load(szName);
        EXPECT_TRUE(pPlayer->Play());
        EXPECT_TRUE(WaitEnds()) << szName;
        events.Locked([&] { events.nVideoEnds = events.nAudioEnds = 0; });
    }
}

TEST_F(PlayerFixture, PlaysPicturesAndSoundToOneEnd)
{
    ASSERT_TRUE(pPlayer->Init(&events, kSourceId, 2));
    const S_VIDEOSHAREINFO info = Load("clip.mp4");
    ASSERT_EQ(info.nVideoStatus, 0);
    EXPECT_TRUE(pPlayer->Play());
    ASSERT_TRUE(WaitEnds());
    // The player rewinds once the end was delivered.
    ASSERT_TRUE(Rewound());
    events.Locked(
        [&]
        {
            EXPECT_EQ(events.nVideoEnds, 1);
            EXPECT_EQ(events.nAudioEnds, 1);
            EXPECT_EQ(events.pictures.size(), 75u);
            int32_t nLast = 0;
            for (const S_PICTURE& picture : events.pictures)
            {
                EXPECT_EQ(picture.nWidth, 320);
                EXPECT_EQ(picture.nBytes, 320 * 240 * 3 / 2);
                EXPECT_GE(picture.nSeconds, nLast);
                nLast = picture.nSeconds;
            }
            EXPECT_EQ(nLast, 2);
            // Sound only where it beeps: 100 ms of each second, about three 40 ms packets.
            EXPECT_GE(events.packets.size(), 6u);
            EXPECT_LE(events.packets.size(), 15u);
            SpeexBits bits;
            speex_bits_init(&bits);
            void* pDecoder = speex_decoder_init(&speex_wb_mode);
            for (size_t i = 0; i < events.packets.size(); ++i)
            {
                const std::vector<uint8_t>& p = events.packets[i].bytes;
                EXPECT_GT(p.size(), 12u);
                EXPECT_EQ(p[0], 0x80);
                EXPECT_EQ(p[1], i == 0 ? 0xE1 : 0x61) << "the first packet after Play is marked";
                EXPECT_EQ((p[2] << 8) | p[3], static_cast<int>(i));
                EXPECT_EQ(static_cast<uint32_t>((p[4] << 24) | (p[5] << 16) | (p[6] << 8) | p[7]), 640u * i);
                EXPECT_EQ((p[8] << 24) | (p[9] << 16) | (p[10] << 8) | p[11], kSourceId);
                // Two Speex frames of 320 samples (of equal size at a fixed quality); the beep is in them.
                const int nFrameBytes = static_cast<int>(p.size() - 12) / 2;
                int16_t pcm[320];
                int nPeak = 0;
                for (int frame = 0; frame < 2; ++frame)
                {
                    speex_bits_read_from(&bits,
                                         reinterpret_cast<const char*>(p.data() + 12 + frame * nFrameBytes),
                                         nFrameBytes);
                    EXPECT_EQ(speex_decode_int(pDecoder, &bits, pcm), 0);
                    for (int16_t v : pcm)
                        nPeak = std::max(nPeak, std::abs(static_cast<int>(v)));
                }
                EXPECT_LE(events.packets[i].nSeconds, 2);
                if (i > 0)
                {
                    EXPECT_GT(nPeak, 2000) << "packet " << i;
                }
            }
            speex_decoder_destroy(pDecoder);
            speex_bits_destroy(&bits);
            // The silence between the beeps keeps its time: each second's beep is stamped with it.
            for (int32_t nSecond = 0; nSecond < 3; ++nSecond)
                EXPECT_GE(std::count_if(events.packets.begin(), events.packets.end(),
                                        [&](const S_PACKET& packet) { return packet.nSeconds == nSecond; }),
                          2)
                    << "second " << nSecond;
        });
}

TEST_F(PlayerFixture, OddSizesBecomeEven)
{
    // 321 x 241 is delivered as 320 x 240, so the three planes keep their 4:2:0 layout.
    ASSERT_TRUE(pPlayer->Init(&events, kSourceId, 0));
    Load("odd.mp4");
    EXPECT_TRUE(pPlayer->Play());
    ASSERT_TRUE(WaitEnds());
    events.Locked(
        [&]
        {
            EXPECT_EQ(events.pictures.size(), 25u);
            for (const S_PICTURE& picture : events.pictures)
            {
                EXPECT_EQ(picture.nWidth, 320);
                EXPECT_EQ(picture.nHeight, 240);
                EXPECT_EQ(picture.nBytes, 320 * 240 * 3 / 2);
            }
        });
}

TEST_F(PlayerFixture, SeeksPausesAndEndsPastTheEnd)
{
    // clip.mp4 has key frames at 0 and 2 s only.
    ASSERT_TRUE(pPlayer->Init(&events, kSourceId, 0));
    Load("clip.mp4");
    // Forward from 0 to 1 s: to the next key frame, at 2 s (frame 50).
    EXPECT_TRUE(pPlayer->Seek(1));
    EXPECT_TRUE(pPlayer->Play());
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.pictures.size() >= 5; }));
    EXPECT_TRUE(pPlayer->Pause());
    ASSERT_TRUE(PollPlayTime([&](int32_t, int32_t bPlaying) { return bPlaying == 0; }));
    const size_t nPaused = events.Locked(
        [&]
        {
            EXPECT_EQ(events.pictures.front().nStamp, 50);
            for (const S_PICTURE& picture : events.pictures)
                EXPECT_GE(picture.nStamp, 50);
            for (const S_PACKET& packet : events.packets)
                EXPECT_GE(packet.nSeconds, 1);
            return events.pictures.size();
        });
    // Backward to 1 s: decoded from the key frame at 0 (pictures before the target that no other
    // refers to are skipped), delivered from frame 25 on, none missing. Paused, nothing arrives
    // until Play.
    EXPECT_TRUE(pPlayer->Seek(1));
    EXPECT_TRUE(pPlayer->SetVolume(200));
    EXPECT_FALSE(pPlayer->SetVolume(201));
    ASSERT_TRUE(PollPlayTime([&](int32_t nSeconds, int32_t) { return nSeconds == 1; }));
    events.Locked(
        [&]
        {
            EXPECT_EQ(events.pictures.size(), nPaused);
            events.pictures.clear();
            events.packets.clear();
        });
    EXPECT_TRUE(pPlayer->Play());
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.pictures.size() >= 8; }));
    events.Locked(
        [&]
        {
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(events.pictures[i].nStamp, 25 + i);
            EXPECT_EQ(events.pictures.front().nSeconds, 1);
        });
    // Past the end: one end signal per kind (the earlier run had its own), and back at 0.
    events.Locked([&] { events.nVideoEnds = events.nAudioEnds = 0; });
    pPlayer->SeekRelatively(10);
    ASSERT_TRUE(WaitEnds());
    ASSERT_TRUE(Rewound());
    EXPECT_EQ(events.Locked([&] { return events.nVideoEnds; }), 1);
    EXPECT_EQ(events.Locked([&] { return events.nAudioEnds; }), 1);
    // Play after the end starts again from frame 0.
    events.Locked([&] { events.pictures.clear(); });
    EXPECT_TRUE(pPlayer->Play());
    ASSERT_TRUE(events.signal.WaitUntil([&] { return !events.pictures.empty(); }));
    EXPECT_EQ(events.Locked([&] { return events.pictures.front().nStamp; }), 0);
}

TEST_F(PlayerFixture, SilenceGivesNoPacket)
{
    ASSERT_TRUE(pPlayer->Init(&events, kSourceId, 0));
    for (const char* szName : {"silence.wav", "loud.wav"})
    {
        const S_VIDEOSHAREINFO info = Load(szName);
        EXPECT_EQ(info.nVideoStatus, 1);
        EXPECT_TRUE(pPlayer->Play());
        ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nAudioEnds >= 1; })) << szName;
        events.Locked([&] { events.nAudioEnds = events.nVideoEnds = 0; });
    }
    // Only the loud second made packets: 25 of 40 ms.
    events.Locked([&] { EXPECT_NEAR(static_cast<double>(events.packets.size()), 25.0, 1.0); });
}
} // namespace
